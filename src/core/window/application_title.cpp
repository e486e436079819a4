#include "core/window/application_title.h"

namespace tallowby {

std::string ApplicationTitleFor(std::string_view display_name) {
  std::string_view title = display_name;
  do {
    const std::size_t blank = title.rfind(' ');
    if (blank == std::string_view::npos)
      return std::string(title.substr(0, kApplicationTitleLimit));
    title = title.substr(0, blank);
  } while (title.size() > kApplicationTitleLimit);
  return std::string(title);
}

}  // namespace tallowby
