// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/appsettings.h"
#include "tray/statusitem.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>

namespace Vantrell {

class CoinListFeed;
class SettingsViewModel;

// Decides what the panel item shows (one coin's symbol and price, coloured by
// its 24-hour change, or the logo) and hands it to a StatusItem. Main thread only.
class MenuBarViewModel final : public QObject
{
    Q_OBJECT

public:
    explicit MenuBarViewModel(QObject *parent = nullptr);

    // The item to draw into; not owned. An item that is also a QObject is
    // forgotten when it is destroyed; any other must outlive this model or be
    // replaced by nullptr first. Without an item update() does nothing.
    void setStatusItem(StatusItem *item);
    StatusItem *statusItem() const;

    // Draws into `statusItem` at once and again whenever the coin list
    // publishes its coins or its prices turn stale or fresh, the settings change (with the new record, before
    // it is stored) or, for a TrayItem, its appearance changes. A second bind
    // replaces the first.
    void bind(CoinListFeed &coinList, SettingsViewModel &settings, StatusItem &statusItem);

    // Recomputes the presentation for `coins` under `settings`, the item's
    // appearance and the bound coin list's staleness, and presents it.
    void update(const QList<Coin> &coins, const AppSettings &settings);

    // The coin whose price the title shows: none in icon mode; else the coin
    // with the displayed id, or the first coin when that id is not listed; none
    // when the chosen coin has no price yet.
    static std::optional<Coin> displayedCoin(const QList<Coin> &coins, const AppSettings &settings);

    // The title with its colours, or the clean icon presentation when there is
    // no displayed coin. `darkAppearance` picks the colours of a background
    // title that has no price colour. `stalePricesSince` is the time of the
    // newest price while the prices are stale; `networkRefused` that every
    // exchange refuses this network. `usdToTargetRate` converts the holdings'
    // average costs.
    static StatusPresentation presentation(const QList<Coin> &coins, const AppSettings &settings, bool darkAppearance,
        const std::optional<QDateTime> &stalePricesSince = std::nullopt, bool networkRefused = false,
        double usdToTargetRate = 1.0);

private:
    StatusItem *m_statusItem = nullptr;
    // Set when the item is a QObject, so that its destruction is noticed.
    QPointer<QObject> m_statusItemObject;
    bool m_statusItemIsObject = false;
    QList<QMetaObject::Connection> m_bindings;
    std::optional<QDateTime> m_stalePricesSince;
    bool m_networkRefused = false;
    double m_usdToTargetRate = 1.0;
};

} // namespace Vantrell
