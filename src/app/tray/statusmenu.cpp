// SPDX-License-Identifier: GPL-3.0-or-later
#include "statusmenu.h"

#include "i18n/localizationmanager.h"

namespace Vantrell {

int CoinMenuIds::idFor(const QString &coinId)
{
    const auto it = m_ids.constFind(coinId);
    if (it != m_ids.constEnd())
        return *it;
    const int id = m_next++;
    m_ids.insert(coinId, id);
    m_coins.insert(id, coinId);
    return id;
}

std::optional<QString> CoinMenuIds::coinFor(int menuId) const
{
    const auto it = m_coins.constFind(menuId);
    if (it == m_coins.constEnd())
        return std::nullopt;
    return *it;
}

TrayMenu buildStatusMenu(const AppSettings &settings, const QHash<QString, CoinMetadata> &catalog,
    const StatusMenuState &state, CoinMenuIds &ids)
{
    TrayMenu menu;
    menu.addSubmenu(MenuIds::changeCoin, localizedString(QStringLiteral("menu.change")));
    for (const WatchlistCoin &entry : settings.watchlistCoins) {
        const auto record = catalog.constFind(entry.coinId);
        if (record == catalog.constEnd())
            continue;
        const int id = ids.idFor(entry.coinId);
        // A duplicate watchlist entry would reuse the id; one entry per coin.
        if (menu.contains(id))
            continue;
        menu.addRadio(id, record->symbol + QStringLiteral(" - ") + record->name,
            entry.coinId == settings.displayedCoinId, MenuIds::changeCoin);
    }
    menu.addSeparator();
    menu.addAction(MenuIds::settings, localizedString(QStringLiteral("menu.setting")));
    menu.addAction(MenuIds::about, localizedString(QStringLiteral("menu.about")));
    menu.addAction(
        MenuIds::checkForUpdates, localizedString(QStringLiteral("menu.checkForUpdates")), state.canCheckForUpdates);
    menu.addSeparator();
    menu.addAction(MenuIds::quit, localizedString(QStringLiteral("menu.quit")));
    return menu;
}

} // namespace Vantrell
