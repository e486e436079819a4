#include "platform/windows/wide_text.h"

#include <gtest/gtest.h>

namespace tallowby {
namespace {

TEST(WideText, EveryWindowsNameCrossesBothWaysUnchanged) {
  const std::pair<std::wstring, std::string> cases[] = {
      {L"C:\\Zahlen\\\u00FC", "C:\\Zahlen\\\xC3\xBC"},
      {L"\u8868\\", "\xE8\xA1\xA8\\"},  // ends in 0x5C in code page 932; only \ does here
      {L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {L"a\xD800z", "a\xED\xA0\x80z"},  // unpaired surrogates, legal in NTFS names
      {L"\xDC00\xD800", "\xED\xB0\x80\xED\xA0\x80"},
  };
  for (const auto& [wide, narrow] : cases) {
    EXPECT_EQ(Narrow(wide), narrow) << narrow;
    EXPECT_EQ(Widen(narrow), wide) << narrow;
  }
  // Bytes that form no character, each one U+FFFD, never a byte swallowed with its neighbour.
  EXPECT_EQ(Widen("\xFF\xC3z\xF0\x9F\x98\\\xC0\xAF"),
            L"\xFFFD\xFFFDz\xFFFD\xFFFD\xFFFD\\\xFFFD\xFFFD");
}

}  // namespace
}  // namespace tallowby
