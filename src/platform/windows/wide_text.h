// Text across the Windows boundary: UTF-8 in the program, UTF-16 in the wide functions. The
// ANSI functions would work on bytes of the user's code page, where a character's second byte
// can be a backslash (932, 936, 949, 950) and where names outside the code page cannot be said
// at all.
#pragma once

#include <string>
#include <string_view>

namespace tallowby {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace tallowby
