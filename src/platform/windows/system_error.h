// Windows error numbers (GetLastError) and COM results (HRESULT) as failures.
#pragma once

#include <string>

namespace tallowby {

// The system's own wording for the code, without the line break and full stop that end it, or
// "Error 0x…" when the system has no text for it.
std::string DescribeSystemError(unsigned long code);

// Throws Failure with that description and the code as Code().
[[noreturn]] void ThrowSystemError(unsigned long code);

}  // namespace tallowby
