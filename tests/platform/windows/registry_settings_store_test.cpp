// The settings in the registry: texts of any language kept as REG_SZ, and the values earlier
// versions wrote through the ANSI functions read back as they meant them.
#include "platform/windows/registry_settings_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/windows/wide_text.h"

namespace tallowby {
namespace {

constexpr char kKey[] = "Software\\Kestrelane Tests\\Settings";

class RegistrySettingsStoreTest : public ::testing::Test {
 protected:
  ~RegistrySettingsStoreTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
  RegistrySettingsStore store{kKey};
};

TEST_F(RegistrySettingsStoreTest, KeepsTextsOfAnyLanguageAsStrings) {
  const std::string texts[] = {"", "C:\\out\\",
                               // 予定表 (second bytes 0x5C in code page 932), Отчёт, Ω 가
                               "C:\\\xE4\xBA\x88\xE5\xAE\x9A\xE8\xA1\xA8\\",
                               "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82", "\xCE\xA9 \xEA\xB0\x80"};
  for (const std::string& text : texts) {
    store.Write("Text3", text);
    EXPECT_EQ(store.Read("Text3", "(default)"), text);
    DWORD type = 0;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kKey, "Text3", RRF_RT_ANY, &type, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  }
  EXPECT_EQ(store.Read("Text1", "100"), "100");  // not stored: the default
}

TEST_F(RegistrySettingsStoreTest, ReadsWhatEarlierVersionsWroteInTheCodePage) {
  // "café" in code page 1252, the code page these tests run in, as the ANSI functions wrote it.
  const char earlier[] = "caf\xE9";
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "Text3", REG_SZ, earlier, sizeof earlier),
            ERROR_SUCCESS);
  ASSERT_EQ(GetACP(), 1252U);
  EXPECT_EQ(store.Read("Text3", "(default)"), "caf\xC3\xA9");
}

}  // namespace
}  // namespace tallowby
