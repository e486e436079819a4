#include "platform/windows/wide_text.h"

namespace tallowby {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

// The code point that starts at text[i], and i moved past it. A surrogate's own three-byte form
// is taken as that surrogate; bytes that form no character are one U+FFFD each.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int length = 0;
  char32_t c = 0;
  char32_t lowest = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1FU, lowest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0FU, lowest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07U, lowest = 0x10000;
  } else {
    return kReplacement;
  }
  const std::size_t start = i;
  for (int k = 1; k < length; ++k) {
    if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80) {
      i = start;
      return kReplacement;
    }
    c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3FU);
  }
  if (c < lowest || c > 0x10FFFF || (length == 4 && IsSurrogate(c))) {
    i = start;
    return kReplacement;
  }
  return c;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, i);
    if (c < 0x10000) {
      wide.push_back(static_cast<wchar_t>(c));
    } else {
      wide.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
      wide.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
  }
  return wide;
}

std::string Narrow(std::wstring_view utf16) {
  std::string narrow;
  narrow.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = static_cast<char16_t>(utf16[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size()) {
      const char32_t low = static_cast<char16_t>(utf16[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c < 0x80) {
      narrow.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      narrow.push_back(static_cast<char>(0xC0 | (c >> 6)));
      narrow.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      narrow.push_back(static_cast<char>(0xE0 | (c >> 12)));
      narrow.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      narrow.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      narrow.push_back(static_cast<char>(0xF0 | (c >> 18)));
      narrow.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      narrow.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      narrow.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return narrow;
}

}  // namespace tallowby
