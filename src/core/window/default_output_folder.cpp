#include "core/window/default_output_folder.h"

#include "core/ports/failure.h"

namespace tallowby {

std::string DefaultOutputFolder(std::string_view desktop_folder, PathStyle style) {
  if (desktop_folder.empty()) {
    throw Failure("Invalid procedure call or argument: the desktop folder could not be found");
  }
  std::string folder(desktop_folder);
  const char separator = PathSeparator(style);
  while (folder.size() > 1 && folder.back() == separator)
    folder.pop_back();
  if (folder.back() != separator) folder.push_back(separator);
  return folder;
}

}  // namespace tallowby
