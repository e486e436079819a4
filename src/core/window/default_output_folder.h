// The output folder before the user has picked one: the desktop.
#pragma once

#include <string>
#include <string_view>

#include "core/run/results_path.h"

namespace tallowby {

// The desktop folder followed by exactly one separator. Fails with an invalid-argument Failure
// when there is no desktop folder, so start-up reports it and leaves the field empty.
std::string DefaultOutputFolder(std::string_view desktop_folder,
                                PathStyle style = kNativePathStyle);

}  // namespace tallowby
