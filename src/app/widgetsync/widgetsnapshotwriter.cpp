// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetsnapshotwriter.h"

#include "coinlist/coinlistfeed.h"
#include "platform/logging.h"
#include "platform/timer.h"
#include "settingsstore/settingsviewmodel.h"
#include "tray/menubarviewmodel.h"

#include <cmath>

namespace Vantrell {

WidgetSnapshotWriter::WidgetSnapshotWriter(
    WidgetSnapshotStore store, std::function<void()> reloadWidgets, TimerFactory &timers, Clock now, QObject *parent)
    : QObject(parent)
    , m_store(std::move(store))
    , m_reloadWidgets(std::move(reloadWidgets))
    , m_now(std::move(now))
{
    m_debounce = timers.createTimer(Timer::Mode::singleShot, [this] { write(); });
    m_maxWait = timers.createTimer(Timer::Mode::singleShot, [this] { write(); });
}

void WidgetSnapshotWriter::write()
{
    m_debounce->stop();
    m_maxWait->stop();
    if (m_coins && m_settings)
        runWriteCycle(*m_coins, *m_settings);
}

WidgetSnapshotWriter::~WidgetSnapshotWriter() = default;

void WidgetSnapshotWriter::bind(CoinListFeed &coinList, SettingsViewModel &settings)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_subscription))
        disconnect(connection);
    m_subscription = {
        connect(&coinList, &CoinListFeed::coinsChanged, this, [this, &coinList] { setCoins(coinList.coins()); }),
        connect(&settings, &SettingsViewModel::settingsChanged, this, &WidgetSnapshotWriter::setSettings),
    };
    m_coins = coinList.coins();
    m_settings = settings.settings();
    schedule();
}

void WidgetSnapshotWriter::setCoins(const QList<Coin> &coins)
{
    m_coins = coins;
    schedule();
}

void WidgetSnapshotWriter::setSettings(const AppSettings &settings)
{
    m_settings = settings;
    schedule();
}

void WidgetSnapshotWriter::schedule()
{
    if (!m_coins || !m_settings)
        return;
    m_debounce->start(debounce);
    if (!m_maxWait->isActive())
        m_maxWait->start(maxWait);
}

void WidgetSnapshotWriter::runWriteCycle(const QList<Coin> &coins, const AppSettings &settings)
{
    WidgetSnapshot snapshot = makeSnapshot(coins, settings, m_now());
    // The panel front ends show by default what the tray item would.
    if (const std::optional<Coin> shown = MenuBarViewModel::displayedCoin(coins, settings))
        snapshot.panelCoinId = shown->id;
    QString error;
    if (!m_store.write(snapshot, &error)) {
        qCCritical(lcWidget, "Widget snapshot not written: %s", qUtf8Printable(error));
        return;
    }
    if (shouldReload(m_lastReload, snapshot)) {
        if (m_reloadWidgets)
            m_reloadWidgets();
        m_lastReload = LastReload {snapshot.writtenAt, snapshot};
    }
}

bool WidgetSnapshotWriter::shouldReload(const std::optional<LastReload> &last, const WidgetSnapshot &snapshot)
{
    if (!last)
        return true;
    if (last->at.secsTo(snapshot.writtenAt) >= reloadIntervalSeconds)
        return true;
    const WidgetSnapshot &old = last->snapshot;
    if (old.language != snapshot.language || old.currency != snapshot.currency
        || old.colorByChange != snapshot.colorByChange || old.upColorHex != snapshot.upColorHex
        || old.downColorHex != snapshot.downColorHex || old.displayedCoinId != snapshot.displayedCoinId)
        return true;
    if (old.watchlist != snapshot.watchlist)
        return true;
    // Holdings that appear or go (a first amount, balances hidden or shown),
    // or a total moved by an edit as much as a price move would.
    if (old.holdings.has_value() != snapshot.holdings.has_value())
        return true;
    if (old.holdings && old.holdings->totalValue > 0
        && std::fabs(snapshot.holdings->totalValue - old.holdings->totalValue) / old.holdings->totalValue * 100.0
            > reloadMovePercent)
        return true;
    for (auto it = snapshot.quotes.cbegin(); it != snapshot.quotes.cend(); ++it) {
        const auto previous = old.quotes.constFind(it.key());
        if (previous == old.quotes.cend())
            return true;
        const double p0 = previous->price;
        if (p0 > 0 && std::fabs(it->price - p0) / p0 * 100.0 > reloadMovePercent)
            return true;
    }
    return false;
}

} // namespace Vantrell
