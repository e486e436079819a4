// The busy pointer of a run.
#pragma once

#include <QCursor>

namespace tallowby {

// Qt's wait pointer, except natively on Wayland, where it is the first picture of the pointer
// theme's "wait" pointer, still. Qt 6.4's Wayland plugin animates a theme pointer with frame
// callbacks of the pointer's surface; while a run lets the window repaint only now and then, the
// animation's timer and the callback are handled in the same pass, and the callback replaces
// itself from inside its own handler, which then reads freed memory: the program died when the
// mouse moved during a run. A pointer of one picture has no animation.
QCursor BusyPointer();

}  // namespace tallowby
