// The current user's desktop folder, where results go until the user picks another folder.
#pragma once

#include <string>

namespace tallowby {

// The XDG desktop folder ($XDG_DESKTOP_DIR of user-dirs.dirs, or ~/Desktop) when it exists,
// otherwise the home folder; the empty text when neither does.
std::string DesktopFolder();

}  // namespace tallowby
