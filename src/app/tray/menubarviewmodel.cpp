// SPDX-License-Identifier: GPL-3.0-or-later
#include "menubarviewmodel.h"

#include "coinlist/coinlistfeed.h"
#include "settings/pricecolors.h"
#include "settingsstore/settingsviewmodel.h"
#include "tray/trayitem.h"
#include "widgetkit/holdingstext.h"
#include "widgetkit/priceformatter.h"

#include <algorithm>

namespace Vantrell {

namespace {

constexpr int kBackgroundCornerRadius = 4;

} // namespace

MenuBarViewModel::MenuBarViewModel(QObject *parent)
    : QObject(parent)
{ }

void MenuBarViewModel::setStatusItem(StatusItem *item)
{
    m_statusItem = item;
    QObject *object = dynamic_cast<QObject *>(item);
    m_statusItemObject = object;
    m_statusItemIsObject = object != nullptr;
}

StatusItem *MenuBarViewModel::statusItem() const
{
    if (m_statusItemIsObject && !m_statusItemObject)
        return nullptr;
    return m_statusItem;
}

void MenuBarViewModel::bind(CoinListFeed &coinList, SettingsViewModel &settings, StatusItem &statusItem)
{
    for (const auto &connection : std::as_const(m_bindings))
        disconnect(connection);
    m_bindings.clear();
    setStatusItem(&statusItem);
    m_bindings.append(connect(&coinList, &CoinListFeed::coinsChanged, this, [this, &coinList, &settings] {
        m_usdToTargetRate = coinList.usdToTargetRate();
        update(coinList.coins(), settings.settings());
    }));
    m_bindings.append(connect(&settings, &SettingsViewModel::settingsChanged, this,
        [this, &coinList](const AppSettings &newSettings) { update(coinList.coins(), newSettings); }));
    // A panel that turns dark or light changes the colours of a title with a
    // background; redraw at once, not only with the next price.
    if (auto *trayItem = dynamic_cast<TrayItem *>(&statusItem))
        m_bindings.append(connect(trayItem, &TrayItem::appearanceChanged, this,
            [this, &coinList, &settings] { update(coinList.coins(), settings.settings()); }));
    m_bindings.append(connect(&coinList, &CoinListFeed::stalePricesSinceChanged, this, [this, &coinList, &settings] {
        m_stalePricesSince = coinList.stalePricesSince();
        update(coinList.coins(), settings.settings());
    }));
    m_bindings.append(connect(&coinList, &CoinListFeed::networkRefusedChanged, this, [this, &coinList, &settings] {
        m_networkRefused = coinList.networkRefused();
        update(coinList.coins(), settings.settings());
    }));
    m_stalePricesSince = coinList.stalePricesSince();
    m_networkRefused = coinList.networkRefused();
    m_usdToTargetRate = coinList.usdToTargetRate();
    update(coinList.coins(), settings.settings());
}

void MenuBarViewModel::update(const QList<Coin> &coins, const AppSettings &settings)
{
    StatusItem *item = statusItem();
    if (!item)
        return;
    item->present(presentation(
        coins, settings, item->isDarkAppearance(), m_stalePricesSince, m_networkRefused, m_usdToTargetRate));
}

std::optional<Coin> MenuBarViewModel::displayedCoin(const QList<Coin> &coins, const AppSettings &settings)
{
    if (settings.menuBarContent == MenuBarContent::icon || coins.isEmpty())
        return std::nullopt;
    auto chosen = std::find_if(
        coins.cbegin(), coins.cend(), [&](const Coin &coin) { return coin.id == settings.displayedCoinId; });
    if (chosen == coins.cend())
        chosen = coins.cbegin();
    if (!chosen->currentPrice)
        return std::nullopt;
    return *chosen;
}

StatusPresentation MenuBarViewModel::presentation(const QList<Coin> &coins, const AppSettings &settings,
    bool darkAppearance, const std::optional<QDateTime> &stalePricesSince, bool networkRefused, double usdToTargetRate)
{
    StatusPresentation result;
    result.networkRefused = networkRefused;
    if (stalePricesSince)
        result.stalePricesTime = shortTime(stalePricesSince->toLocalTime().time(), settings.language);
    result.holdingsLine = holdingsToolTipLine(
        holdingsTotals(settings.watchlistCoins, coins, usdToTargetRate), settings.baseCurrency, settings.hideBalances);
    const std::optional<Coin> coin = displayedCoin(coins, settings);
    if (!coin)
        return result;

    result.kind = StatusPresentation::Kind::title;
    result.coinSymbol = coin->symbol;
    result.coinName = coin->name;
    result.price = coin->currentPrice;
    result.change24hPercent = coin->priceChange24hPercent;
    result.text = coin->symbol + QLatin1Char(' ') + formatPrice(*coin->currentPrice);

    const PriceColor changeColor = colorForChange(settings, coin->priceChange24hPercent);
    if (!settings.showMenuBarBackground) {
        result.plain = !settings.priceColorEnabled;
        result.textColor = settings.priceColorEnabled ? changeColor : PriceColor::neutral();
        return result;
    }

    result.text = QLatin1Char(' ') + result.text + QLatin1Char(' ');
    result.plain = false;
    result.cornerRadius = kBackgroundCornerRadius;
    if (!changeColor.isNeutral()) {
        result.textColor = PriceColor::of(Qt::white);
        result.background = changeColor.resolved(QColor());
    } else {
        // No price colour (colours off, or no 24-hour change known): a background
        // that stands out from the panel, with the inverse text colour. White text
        // on the neutral label colour would vanish on a dark panel.
        result.textColor = PriceColor::of(darkAppearance ? QColor(Qt::black) : QColor(Qt::white));
        result.background = darkAppearance ? QColor(Qt::white) : QColor(Qt::black);
    }
    return result;
}

} // namespace Vantrell
