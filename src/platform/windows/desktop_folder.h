// The current user's desktop folder, where results go until the user picks another folder.
#pragma once

#include <string>

namespace tallowby {

// The shell's desktop folder, or the empty text when the shell cannot tell.
std::string DesktopFolder();

}  // namespace tallowby
