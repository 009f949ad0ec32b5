// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeclock.h"
#include "faketimer.h"
#include "platform/timer.h"

#include <QTest>

using namespace Vantrell;
using namespace std::chrono_literals;

class TestTimer final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Timers falling due within one advance fire in time order, ties in the
    // order they were scheduled (a repeating timer is rescheduled as it fires).
    void virtualTimeOrder()
    {
        Test::FakeClock clock;
        const QDateTime start = clock.now();
        Test::FakeTimerFactory factory(clock);
        QStringList fired;
        QList<qint64> firedAt;
        const auto record = [&](const char *name) {
            return [&, name] {
                fired.append(QString::fromLatin1(name));
                firedAt.append(start.msecsTo(clock.now()));
            };
        };
        auto every300 = factory.createTimer(Timer::Mode::repeating, record("every300"));
        auto once500 = factory.createTimer(Timer::Mode::singleShot, record("once500"));
        auto alsoAt600 = factory.createTimer(Timer::Mode::singleShot, record("alsoAt600"));
        every300->start(300ms);
        once500->start(500ms);
        alsoAt600->start(600ms);

        factory.advance(299ms);
        QVERIFY(fired.isEmpty());
        factory.advance(701ms);
        QCOMPARE(fired,
            (QStringList {QStringLiteral("every300"), QStringLiteral("once500"), QStringLiteral("alsoAt600"),
                QStringLiteral("every300"), QStringLiteral("every300")}));
        QCOMPARE(firedAt, (QList<qint64> {300, 500, 600, 600, 900}));
        QCOMPARE(start.msecsTo(clock.now()), 1000);
        QVERIFY(!once500->isActive());
        QVERIFY(every300->isActive());
        QCOMPARE(factory.nextTimeout(), std::optional(200ms));
    }

    // Callbacks may restart, stop or destroy timers, their own included.
    void callbacksChangeTimers()
    {
        Test::FakeTimerFactory factory;
        int ticks = 0;
        std::unique_ptr<Timer> repeating;
        repeating = factory.createTimer(Timer::Mode::repeating, [&] {
            if (++ticks == 3)
                repeating.reset();
        });
        repeating->start(10ms);
        int restarts = 0;
        std::unique_ptr<Timer> debounce;
        debounce = factory.createTimer(Timer::Mode::singleShot, [&] {
            if (++restarts < 2)
                debounce->start(100ms);
        });
        debounce->start(5ms);

        factory.advance(1s);
        QCOMPARE(ticks, 3);
        QVERIFY(!repeating);
        QCOMPARE(restarts, 2);
        QCOMPARE(factory.timerCount(), 1);
        QCOMPARE(factory.activeTimerCount(), 0);

        // Restarting moves the due time; stopping cancels it.
        debounce->start(50ms);
        factory.advance(40ms);
        debounce->start(50ms);
        factory.advance(40ms);
        QCOMPARE(restarts, 2);
        debounce->stop();
        factory.advance(1s);
        QCOMPARE(restarts, 2);
    }

    void qtTimers()
    {
        QtTimerFactory factory;
        int singleShots = 0;
        auto once = factory.createTimer(Timer::Mode::singleShot, [&] { ++singleShots; });
        once->start(0ms);
        QVERIFY(once->isActive());
        QTRY_COMPARE(singleShots, 1);
        QVERIFY(!once->isActive());

        int ticks = 0;
        std::unique_ptr<Timer> repeating;
        repeating = factory.createTimer(Timer::Mode::repeating, [&] {
            if (++ticks == 3)
                repeating.reset();
        });
        repeating->start(1ms);
        QCOMPARE(repeating->interval(), 1ms);
        QTRY_VERIFY(!repeating);
        QCOMPARE(ticks, 3);

        // Periods beyond what QTimer takes are cut, not wrapped into the past.
        auto longTimer = factory.createTimer(Timer::Mode::repeating, [] {});
        longTimer->start(std::chrono::milliseconds::max());
        QCOMPARE(longTimer->interval().count(), qint64(std::numeric_limits<int>::max()));
        QVERIFY(longTimer->isActive());
    }
};

QTEST_GUILESS_MAIN(TestTimer)
#include "tst_timer.moc"
