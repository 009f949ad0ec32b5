// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"

#include <memory>

namespace Vantrell::Test {

// A clock that moves only when told to. Copies of clock() follow advances.
class FakeClock final
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC))
        : m_now(std::make_shared<QDateTime>(std::move(start)))
    { }

    QDateTime now() const { return *m_now; }
    void set(const QDateTime &time) { *m_now = time; }
    void advance(double seconds) { *m_now = m_now->addMSecs(qRound64(seconds * 1000)); }

    Clock clock() const
    {
        return [now = m_now] { return *now; };
    }

private:
    std::shared_ptr<QDateTime> m_now;
};

} // namespace Vantrell::Test
