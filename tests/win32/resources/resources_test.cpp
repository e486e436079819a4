// Reads the program resources back from a built executable, the way Windows reads them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/windows/wine.h"

namespace {

const std::string kProgram = tallowby::testing::HostPath(TALLOWBY_EXE);
const std::string kIcon = tallowby::testing::HostPath(TALLOWBY_ICON);

using Bytes = std::vector<unsigned char>;

std::uint32_t Number(const Bytes& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
  return value;
}

class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(kProgram.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << kProgram;
  }
  void TearDown() override { FreeLibrary(module_); }

  Bytes Resource(LPCSTR type, WORD id) const {
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return {};
    const auto* data =
        static_cast<const unsigned char*>(LockResource(LoadResource(module_, found)));
    return Bytes(data, data + SizeofResource(module_, found));
  }

  std::vector<WORD> Names(LPCSTR type) const {
    std::vector<WORD> names;
    EnumResourceNamesA(
        module_, type,
        [](HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
          reinterpret_cast<std::vector<WORD>*>(list)->push_back(
              IS_INTRESOURCE(name) ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)) : 0);
          return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&names));
    return names;
  }

  HMODULE module_ = nullptr;
};

struct Image {
  WORD id;
  int size;
  int bits;
};

constexpr Image kImages[] = {{30001, 32, 24}, {30002, 256, 32}, {30003, 128, 32}, {30004, 48, 32}};

TEST_F(ProgramResources, IconGroupOneHoldsTheFourImagesOfTheIcon) {
  std::ifstream in(kIcon, std::ios::binary);
  const Bytes icon{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_GE(icon.size(), 6U + 16 * 4) << kIcon;

  EXPECT_EQ(Names(RT_GROUP_ICON), std::vector<WORD>{1});
  EXPECT_EQ(Names(RT_ICON), (std::vector<WORD>{30001, 30002, 30003, 30004}));
  const Bytes group = Resource(RT_GROUP_ICON, 1);
  ASSERT_EQ(group.size(), 6U + 14 * 4);
  EXPECT_EQ(Number(group, 0, 2), 0U);  // reserved
  EXPECT_EQ(Number(group, 2, 2), 1U);  // icons, not cursors
  EXPECT_EQ(Number(group, 4, 2), 4U);

  for (std::size_t i = 0; i < 4; ++i) {
    const Image& expected = kImages[i];
    const std::size_t entry = 6 + 14 * i;
    const Bytes image = Resource(RT_ICON, expected.id);
    EXPECT_EQ(Number(group, entry, 1), static_cast<std::uint32_t>(expected.size % 256)) << i;
    EXPECT_EQ(Number(group, entry + 1, 1), static_cast<std::uint32_t>(expected.size % 256)) << i;
    EXPECT_EQ(Number(group, entry + 4, 2), 1U) << i;  // planes
    EXPECT_EQ(Number(group, entry + 6, 2), static_cast<std::uint32_t>(expected.bits)) << i;
    EXPECT_EQ(Number(group, entry + 8, 4), image.size()) << i;
    EXPECT_EQ(Number(group, entry + 12, 2), expected.id) << i;

    // The image is the icon file's image, byte for byte: an uncompressed bitmap.
    const std::size_t icon_entry = 6 + 16 * i;
    const std::size_t length = Number(icon, icon_entry + 8, 4);
    const std::size_t offset = Number(icon, icon_entry + 12, 4);
    ASSERT_LE(offset + length, icon.size()) << i;
    EXPECT_TRUE(image == Bytes(icon.begin() + static_cast<std::ptrdiff_t>(offset),
                               icon.begin() + static_cast<std::ptrdiff_t>(offset + length)))
        << expected.id << " differs from image " << i << " of " << kIcon;
    ASSERT_GE(image.size(), 40U);
    EXPECT_EQ(Number(image, 0, 4), 40U) << expected.id;  // BITMAPINFOHEADER
    EXPECT_EQ(Number(image, 16, 4), 0U) << expected.id;  // BI_RGB: uncompressed
    EXPECT_EQ(Number(image, 14, 2), static_cast<std::uint32_t>(expected.bits)) << expected.id;

    // Windows can make an icon of it, of its size.
    HICON handle =
        CreateIconFromResourceEx(const_cast<PBYTE>(image.data()), static_cast<DWORD>(image.size()),
                                 TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    ASSERT_NE(handle, nullptr) << expected.id;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(handle, &info));
    BITMAP bitmap{};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, expected.size) << expected.id;
    EXPECT_EQ(bitmap.bmHeight, expected.size) << expected.id;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(handle);
  }

  // Windows picks each image for its own size from the group.
  for (const Image& expected : kImages) {
    EXPECT_EQ(LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data()), TRUE, expected.size,
                                          expected.size, LR_DEFAULTCOLOR),
              expected.id);
  }
}

// Every string and number of a version record, as "path=value" for its leaves: the record is a
// tree of blocks, each with a length, a value length, a type (1: text), a key and children.
void ReadVersionBlock(const Bytes& bytes, std::size_t at, const std::string& parent,
                      std::map<std::string, std::string>& leaves) {
  const std::size_t length = Number(bytes, at, 2);
  const std::size_t value_length = Number(bytes, at + 2, 2);
  const bool text = Number(bytes, at + 4, 2) == 1;
  std::string key;
  std::size_t position = at + 6;
  for (; Number(bytes, position, 2) != 0; position += 2)
    key.push_back(static_cast<char>(Number(bytes, position, 2)));
  position = (position + 2 + 3) & ~std::size_t{3};
  const std::string path = parent.empty() ? key : parent + "/" + key;
  std::string value;
  if (text) {
    for (std::size_t i = 0; i + 1 < value_length; ++i)
      value.push_back(static_cast<char>(Number(bytes, position + 2 * i, 2)));
    position += 2 * value_length;
  } else {
    for (std::size_t i = 0; i < value_length; i += 2) {
      if (i != 0) value += " ";
      char word[8];
      std::snprintf(word, sizeof word, "%04X", Number(bytes, position + i, 2));
      value += word;
    }
    position += value_length;
  }
  if (value_length != 0) leaves[path] = value;
  position = (position + 3) & ~std::size_t{3};
  while (position < at + length) {
    ReadVersionBlock(bytes, position, path, leaves);
    position = (position + Number(bytes, position, 2) + 3) & ~std::size_t{3};
  }
}

TEST_F(ProgramResources, VersionRecordSaysSevenAndNamesTheProgram) {
  EXPECT_EQ(Names(RT_VERSION), std::vector<WORD>{1});
  const Bytes record = Resource(RT_VERSION, 1);
  ASSERT_FALSE(record.empty());
  std::map<std::string, std::string> leaves;
  ReadVersionBlock(record, 0, "", leaves);
  const std::string strings = "VS_VERSION_INFO/StringFileInfo/040904B0/";
  leaves.erase("VS_VERSION_INFO");  // the fixed part, checked below
  EXPECT_EQ(leaves, (std::map<std::string, std::string>{
                        {strings + "CompanyName", "Kestrelane"},
                        {strings + "ProductName", "Tallowby"},
                        {strings + "FileVersion", "7.00"},
                        {strings + "ProductVersion", "7.00"},
                        {strings + "InternalName", "Tallowby"},
                        {strings + "OriginalFilename", "Tallowby.exe"},
                        {"VS_VERSION_INFO/VarFileInfo/Translation", "0409 04B0"},
                    }));

  // The fixed part, as the system's version API reads it from the file.
  const DWORD size = GetFileVersionInfoSizeA(kProgram.c_str(), nullptr);
  ASSERT_GT(size, 0U);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(kProgram.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixed_size));
  ASSERT_EQ(fixed_size, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDU);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00070000U);
  EXPECT_EQ(fixed->dwFileVersionLS, 0U);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00070000U);
  EXPECT_EQ(fixed->dwProductVersionLS, 0U);
  EXPECT_EQ(fixed->dwFileFlags, 0U);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileSubtype, 0U);
}

TEST_F(ProgramResources, TheManifestAsksForCommonControlsSixPerMonitorDpiAndNoElevation) {
  const Bytes bytes = Resource(MAKEINTRESOURCEA(24), 1);  // RT_MANIFEST, for the process
  const std::string manifest(bytes.begin(), bytes.end());
  for (const char* wanted : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             "PerMonitorV2", "true/pm", "level=\"asInvoker\""}) {
    EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
  }
}

}  // namespace
