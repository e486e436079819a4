#include "platform/windows/system_error.h"

#include <windows.h>

#include <cstdio>

#include "core/ports/failure.h"
#include "platform/windows/wide_text.h"

namespace tallowby {

std::string DescribeSystemError(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (length != 0 && buffer != nullptr) text = Narrow(std::wstring_view(buffer, length));
  LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  if (text.empty()) {
    char fallback[24];
    std::snprintf(fallback, sizeof fallback, "Error 0x%08lX", code);
    text = fallback;
  }
  return text;
}

void ThrowSystemError(unsigned long code) {
  throw Failure(DescribeSystemError(code), static_cast<int>(code));
}

}  // namespace tallowby
