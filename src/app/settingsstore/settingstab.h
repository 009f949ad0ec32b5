// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace Vantrell {

// The tabs of the settings window.
enum class SettingsTab { general, watchlist, about };

inline QString rawValue(SettingsTab tab)
{
    switch (tab) {
    case SettingsTab::general:
        return QStringLiteral("general");
    case SettingsTab::watchlist:
        return QStringLiteral("watchlist");
    case SettingsTab::about:
        return QStringLiteral("about");
    }
    return QStringLiteral("general");
}

inline std::optional<SettingsTab> settingsTabFromRawValue(QStringView raw)
{
    for (const auto tab : {SettingsTab::general, SettingsTab::watchlist, SettingsTab::about}) {
        if (raw == rawValue(tab))
            return tab;
    }
    return std::nullopt;
}

} // namespace Vantrell
