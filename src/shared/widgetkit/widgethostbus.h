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
