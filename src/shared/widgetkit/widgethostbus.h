// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The widget host's address on the session bus. The application calls
// ReloadAllTimelines (no arguments, no answer needed) when the widgets should
// rebuild from a new snapshot; the host implements it.
namespace Vantrell::WidgetHostBus {

inline QString service()
{
    return QStringLiteral("org.vantrell.WidgetHost");
}
inline QString path()
{
    return QStringLiteral("/org/vantrell/WidgetHost");
}
inline QString interface()
{
    return QStringLiteral("org.vantrell.WidgetHost");
}
inline QString reloadAllTimelines()
{
    return QStringLiteral("ReloadAllTimelines");
}

} // namespace Vantrell::WidgetHostBus

namespace Vantrell {

// The name a panel front end (the Plasma applet, the GNOME Shell extension)
// owns on the session bus while it shows the price in a panel; the program's
// tray item stays out of the panel while anyone owns it. Front ends queue for
// it, so one that goes hands it to the next.
inline constexpr char kPanelFrontEndService[] = "org.vantrell.PanelFrontEnd";

} // namespace Vantrell
