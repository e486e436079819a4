#include "win32/visual_style_skin.h"

#include <windows.h>

#include "core/ports/failure.h"
#include "platform/windows/system_error.h"
#include "platform/windows/wide_text.h"

namespace tallowby::win32 {

void VisualStyleSkin::LoadSkin(const std::string& path, const std::string& /*section*/) {
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw Failure("The skin file could not be read: " + DescribeSystemError(GetLastError()));
  }
  char buffer[4096];
  DWORD read = 0;
  BOOL ok = TRUE;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) {
  }
  const DWORD error = ok ? 0 : GetLastError();
  CloseHandle(file);
  if (error != 0) {
    throw Failure("The skin file could not be read: " + DescribeSystemError(error));
  }
  loaded_ = true;
}

void VisualStyleSkin::ApplyToWindow() {
  if (enabled_ && loaded_) window_.UseVisualStyle();
}

}  // namespace tallowby::win32
