// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Vantrell {

// Whether the display composites windows, so that a translucent window shows
// its rounded corners and its shadow over what lies beneath. On X11 that is
// when some client owns a screen's compositing-manager selection
// (_NET_WM_CM_S<n>); a Wayland session always composites. Other platforms
// (offscreen, VNC, …) are taken as not compositing.
bool isCompositingActive();

} // namespace Vantrell
