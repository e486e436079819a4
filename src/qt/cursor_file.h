// Windows cursor files (.cur), which the hand cursor beside the program is.
#pragma once

#include <QCursor>
#include <QString>

namespace tallowby {

// The image through Qt, the hot spot from the file's own header. Of a file with several sizes,
// the one for a screen at `scale` (2 at 200 %), which Qt then sends at that scale. Throws
// Failure when the file is not a readable cursor.
QCursor LoadCursorFile(const QString& path, double scale = 1);

}  // namespace tallowby
