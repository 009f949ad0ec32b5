// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgetkit/widgethostbus.h"

#include <QDBusConnection>
#include <QObject>

#include <chrono>
#include <memory>

class QDBusServiceWatcher;

namespace Vantrell {

class Timer;
class TimerFactory;

// Whether the tray item is in the panel. A front end that shows the price
// takes its place at once; when the front end goes, the item comes back after
// a grace period, so that a panel that restarts (and its front end with it)
// does not make the item flash in and out.
enum class TrayPresence {
    shown,
    withdrawn, // a front end shows the price
    returning, // the front end went; shown once the grace period is over
};

enum class FrontEndEvent {
    appeared, // the name got an owner
    vanished, // the name lost its owner
    graceOver, // the grace period of `returning` ended
};

TrayPresence nextTrayPresence(TrayPresence current, FrontEndEvent event);

// Follows kPanelFrontEndService on `bus` and says whether the tray item
// should be in the panel. Main thread only.
class PanelPresence final : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds gracePeriod {3000};

    PanelPresence(const QDBusConnection &bus, TimerFactory &timers, QObject *parent = nullptr);
    ~PanelPresence() override;

    TrayPresence presence() const { return m_presence; }
    bool trayItemWanted() const
    {
        return m_presence != TrayPresence::withdrawn && m_presence != TrayPresence::returning;
    }

    // What the bus watcher reports; public for tests.
    void handle(FrontEndEvent event);

Q_SIGNALS:
    void trayItemWantedChanged(bool wanted);

private:
    QDBusConnection m_bus;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    std::unique_ptr<Timer> m_grace;
    TrayPresence m_presence = TrayPresence::shown;
};

} // namespace Vantrell
