// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/appsettings.h"
#include "traymenu.h"

#include <QHash>
#include <QString>

#include <optional>

namespace Vantrell {

// Entry ids of the tray menu.
namespace MenuIds {
inline constexpr int changeCoin = 1;
inline constexpr int settings = 2;
inline constexpr int about = 3;
inline constexpr int checkForUpdates = 4;
inline constexpr int quit = 5;
// Coin entries get stable ids from here on.
inline constexpr int firstCoin = 100;
} // namespace MenuIds

// Hands out a stable menu id per coin id, so that a panel clicking an entry
// it showed before the menu changed still reaches the right coin.
class CoinMenuIds final
{
public:
    int idFor(const QString &coinId);
    std::optional<QString> coinFor(int menuId) const;

private:
    QHash<QString, int> m_ids;
    QHash<int, QString> m_coins;
    int m_next = MenuIds::firstCoin;
};

struct StatusMenuState
{
    bool canCheckForUpdates = false;
};

// The right-click menu: "Change" with one radio entry per watchlist coin the
// catalog knows (checked for the displayed coin), then settings, about, check
// for updates and quit, titles in the current language.
TrayMenu buildStatusMenu(const AppSettings &settings, const QHash<QString, CoinMetadata> &catalog,
    const StatusMenuState &state, CoinMenuIds &ids);

} // namespace Vantrell
