// The skin: when the skin file is there, the window takes the button-face colours and the skin.
#pragma once

#include <string>

#include "core/ports/file_system.h"
#include "core/ports/skin_engine.h"
#include "core/ports/window_view.h"

namespace tallowby {

// Only when the skin file is listed in its folder as a normal file: the button-face colours on
// the window, then the engine loads the skin, sets its options and applies it to the window.
// Without the file nothing changes. A failure stops at that step; what was done stays done.
void ApplySkin(WindowView& view, FileSystem& files, SkinEngine& engine,
               const std::string& program_folder);

}  // namespace tallowby
