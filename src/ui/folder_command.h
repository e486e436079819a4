// The "..." button: pick the output folder in the system's folder dialog.
#pragma once

#include "gen/guarded_steps.h"
#include "shell/folder_chooser.h"

namespace tallowby {

class Form1;

// Cancel changes nothing. Otherwise the chosen path is stored under "LastFolderDot" as returned,
// and the folder field shows it with exactly one trailing separator (a root keeps its own).
void PushButton1_Click(Form1& window, FolderChooser& chooser, ErrorReporter& reporter);

}  // namespace tallowby
