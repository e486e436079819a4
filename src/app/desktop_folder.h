// The desktop folder, which is where results go until the user picks another folder.
#pragma once

#include <string>
#include <string_view>

#include "output/text_output.h"

namespace tallowby {

// The current user's desktop folder, or the empty text when the system cannot tell. On Windows
// it is the shell's desktop; elsewhere the XDG desktop folder when it exists, otherwise home.
std::string DesktopFolder();

// The desktop folder followed by exactly one separator. Fails with an invalid-argument Failure
// when there is no desktop folder, so start-up reports it and leaves the field empty.
std::string DefaultOutputFolder(std::string_view desktop_folder,
                                PathStyle style = kNativePathStyle);

}  // namespace tallowby
