// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/timer.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <chrono>
#include <memory>

namespace Vantrell {

class PopoverWindow;

// Shows the price list: the tray item toggles it; deep links, notifications,
// a second start and the launch open it. An open asked for before the list
// exists waits for it. An open that the desktop refuses (a panel still busy
// with its own menu, a focus rule) is tried again ten times, 0.2 s apart.
class PopoverPresenter final : public QObject
{
    Q_OBJECT

public:
    static constexpr int openRetries = 10;
    static constexpr std::chrono::milliseconds retryDelay {200};

    explicit PopoverPresenter(TimerFactory &timers, QObject *parent = nullptr);
    ~PopoverPresenter() override;

    // Takes `window` (null drops the current one). A window-mode list, or one
    // whose open was waiting, is opened at once.
    // A window-mode price list (no tray) opens at once unless
    // `openWindowMode` is false (a panel front end stands in for the tray).
    void setWindow(PopoverWindow *window, bool openWindowMode = true);
    PopoverWindow *window() const { return m_window; }

    void toggle(QPoint anchor);
    // Opens the list unless it is shown; waits while there is none.
    void open();
    // A popup closes when the user goes elsewhere; a window stays.
    void dismissPopup();

private:
    void tryOpen();

    QPointer<PopoverWindow> m_window;
    std::unique_ptr<Timer> m_retry;
    int m_attemptsLeft = 0;
    bool m_pendingOpen = false;
};

} // namespace Vantrell
