// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWindow;

namespace Vantrell {

enum class DesktopLayer { belowWindows, aboveWindows };

// Marks an X11 window as part of the desktop, for window managers that follow
// the EWMH: on every workspace (_NET_WM_DESKTOP 0xFFFFFFFF and the STICKY
// state), out of the task bar and the pager, and kept below (or, while the
// user moves it, above) other windows. Call while the window is hidden, before
// each show: a window manager reads these when the window is mapped and drops
// them when it is withdrawn. Does nothing on other platforms.
//
// The stacking is set here rather than through Qt's stay-on-top/bottom hints:
// Qt makes a new native window when those hints change, which would lose the
// other properties.
void setDesktopLayerProperties(QWindow *window, DesktopLayer layer);

} // namespace Vantrell
