// Windows cursor files (.cur), which the hand cursor beside the program is.
#pragma once

#include <QCursor>
#include <QString>

namespace tallowby {

// The image through Qt, the hot spot from the file's own header. Throws Failure when the file
// is not a readable cursor.
QCursor LoadCursorFile(const QString& path);

}  // namespace tallowby
