// Text across the Windows boundary: UTF-8 in the program, UTF-16 in the wide functions. The
// ANSI functions would work on bytes of the user's code page, where a character's second byte
// can be a backslash (932, 936, 949, 950) and where names outside the code page cannot be said
// at all.
//
// Windows names need not be valid UTF-16: NTFS takes an unpaired surrogate as any other unit. Such
// a unit becomes its own three-byte form (ED A0..BF xx, as WTF-8 writes it) and back, so every
// name crosses both ways unchanged, and the program never writes to another folder than the one
// it was given. As in UTF-8, every byte of a multi-byte character is 0x80 or above, so 0x5C is a
// backslash and nothing else.
#pragma once

#include <string>
#include <string_view>

namespace tallowby {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace tallowby
