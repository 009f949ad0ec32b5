// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "platform/clock.h"
#include "settings/appsettings.h"
#include "widgetkit/widgetsnapshot.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace Vantrell {

class CoinListFeed;
class SettingsViewModel;
class Timer;
class TimerFactory;

// Keeps the widget snapshot file in step with the live prices and settings:
// after every quiet second it rewrites the file (and at the latest `maxWait`
// after a change, so that polling faster than once a second cannot hold the
// file back for good), and asks the widget host to
// reload when the widgets would look different enough to be worth it. Main
// thread only.
class WidgetSnapshotWriter final : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds debounce {1000};
    static constexpr std::chrono::milliseconds maxWait {2000};
    static constexpr qint64 reloadIntervalSeconds = 300;
    // A price must move by more than this since the last reload.
    static constexpr double reloadMovePercent = 1.0;

    struct LastReload
    {
        QDateTime at;
        WidgetSnapshot snapshot;
    };

    WidgetSnapshotWriter(WidgetSnapshotStore store, std::function<void()> reloadWidgets, TimerFactory &timers,
        Clock now, QObject *parent = nullptr);
    ~WidgetSnapshotWriter() override;

    // Follows the coin list's coins and the settings, starting with their
    // current values. A second call replaces the first subscription.
    void bind(CoinListFeed &coinList, SettingsViewModel &settings);

    // The two inputs, for start() and tests: a write cycle runs once both
    // have a value and neither changed for a second (or changes kept coming
    // for maxWait), with the newest pair.
    void setCoins(const QList<Coin> &coins);
    void setSettings(const AppSettings &settings);

    // Builds the snapshot, writes it and requests a reload when due.
    void runWriteCycle(const QList<Coin> &coins, const AppSettings &settings);

    // Whether the widgets should reload for `snapshot` after the reload of `last`:
    // always the first time, after 300 s, when a visible setting or the
    // watchlist's order changed, for a new coin, when a price or the holdings'
    // total moved by more than 1 % since that reload, or when the holdings
    // appeared or went.
    static bool shouldReload(const std::optional<LastReload> &last, const WidgetSnapshot &snapshot);

    const std::optional<LastReload> &lastReload() const { return m_lastReload; }

private:
    void schedule();
    void write();

    WidgetSnapshotStore m_store;
    std::function<void()> m_reloadWidgets;
    Clock m_now;
    std::unique_ptr<Timer> m_debounce;
    std::unique_ptr<Timer> m_maxWait;
    std::optional<QList<Coin>> m_coins;
    std::optional<AppSettings> m_settings;
    std::optional<LastReload> m_lastReload;
    QList<QMetaObject::Connection> m_subscription;
};

} // namespace Vantrell
