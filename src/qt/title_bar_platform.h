// Which of Qt's platforms shows the window with title bars like X11's.
#pragma once

namespace tallowby {

// Whether the window should go through XWayland rather than natively: in a Wayland session whose
// compositor draws no title bars (GNOME's, weston), Qt 6.4 draws its own, which offer maximize for
// a fixed-size window and its message boxes, cut the boxes' titles, and maximizing ends the
// program with a protocol error. Through XWayland the compositor's own title bars serve, as under
// X11. Never when the user chose a platform (QT_QPA_PLATFORM or -platform), or where there is no
// X server to go through.
bool PreferXWayland(int argc, char* argv[]);

}  // namespace tallowby
