// SPDX-License-Identifier: GPL-3.0-or-later
#include "popoverpresenter.h"

#include "platform/logging.h"
#include "popoverwindow.h"

#include <QCursor>

namespace Vantrell {

PopoverPresenter::PopoverPresenter(TimerFactory &timers, QObject *parent)
    : QObject(parent)
    , m_retry(timers.createTimer(Timer::Mode::singleShot, [this] { tryOpen(); }))
{ }

PopoverPresenter::~PopoverPresenter()
{
    delete m_window;
}

void PopoverPresenter::setWindow(PopoverWindow *window, bool openWindowMode)
{
    m_retry->stop();
    delete m_window;
    m_window = window;
    if (!m_window)
        return;
    // Traced so that deep links and tray clicks can be followed from outside the process.
    connect(m_window, &PopoverWindow::shownChanged, this,
        [](bool shown) { qCDebug(lcApp, "Popover %s", shown ? "shown" : "hidden"); });
    if ((m_window->mode() == PopoverWindow::Mode::window && openWindowMode) || std::exchange(m_pendingOpen, false))
        open();
}

void PopoverPresenter::toggle(QPoint anchor)
{
    if (m_window)
        m_window->toggle(anchor.isNull() ? QCursor::pos() : anchor);
}

void PopoverPresenter::open()
{
    if (!m_window) {
        m_pendingOpen = true;
        return;
    }
    m_attemptsLeft = openRetries;
    tryOpen();
}

void PopoverPresenter::tryOpen()
{
    if (!m_window)
        return;
    if (!m_window->isShown())
        m_window->open(QCursor::pos());
    if (!m_window->isShown() && m_attemptsLeft-- >= 1)
        m_retry->start(retryDelay);
}

void PopoverPresenter::dismissPopup()
{
    if (m_window && m_window->isShown() && m_window->mode() == PopoverWindow::Mode::popup)
        m_window->dismiss();
}

} // namespace Vantrell
