// SPDX-License-Identifier: GPL-3.0-or-later
#include "faketimer.h"
#include "tray/panelpresence.h"

#include <QSignalSpy>
#include <QTest>

using namespace Vantrell;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(Vantrell::TrayPresence)
Q_DECLARE_METATYPE(Vantrell::FrontEndEvent)

class TestPanelPresence final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void next_data()
    {
        QTest::addColumn<TrayPresence>("current");
        QTest::addColumn<FrontEndEvent>("event");
        QTest::addColumn<TrayPresence>("expected");

        QTest::newRow("a front end takes the item's place")
            << TrayPresence::shown << FrontEndEvent::appeared << TrayPresence::withdrawn;
        QTest::newRow("no front end: nothing to give back")
            << TrayPresence::shown << FrontEndEvent::vanished << TrayPresence::shown;
        QTest::newRow("a late grace period changes nothing")
            << TrayPresence::shown << FrontEndEvent::graceOver << TrayPresence::shown;
        QTest::newRow("the front end goes: wait")
            << TrayPresence::withdrawn << FrontEndEvent::vanished << TrayPresence::returning;
        QTest::newRow("the front end is back in time")
            << TrayPresence::returning << FrontEndEvent::appeared << TrayPresence::withdrawn;
        QTest::newRow("it stayed away: the item returns")
            << TrayPresence::returning << FrontEndEvent::graceOver << TrayPresence::shown;
        QTest::newRow("a grace period of an earlier absence")
            << TrayPresence::withdrawn << FrontEndEvent::graceOver << TrayPresence::withdrawn;
    }

    void next()
    {
        QFETCH(TrayPresence, current);
        QFETCH(FrontEndEvent, event);
        QFETCH(TrayPresence, expected);
        QCOMPARE(nextTrayPresence(current, event), expected);
    }

    // A panel that restarts takes its front end with it and brings it back a
    // moment later: the tray item stays out meanwhile, and returns only when
    // the front end stays away.
    void panelRestartDoesNotFlashTheItem()
    {
        Test::FakeTimerFactory timers;
        PanelPresence presence(QDBusConnection(QStringLiteral("none")), timers);
        QSignalSpy changes(&presence, &PanelPresence::trayItemWantedChanged);

        presence.handle(FrontEndEvent::appeared);
        QCOMPARE(changes.size(), 1);
        QVERIFY(!presence.trayItemWanted());

        presence.handle(FrontEndEvent::vanished);
        timers.advance(PanelPresence::gracePeriod - 1ms);
        presence.handle(FrontEndEvent::appeared);
        timers.advance(10s);
        QCOMPARE(changes.size(), 1);
        QVERIFY(!presence.trayItemWanted());

        presence.handle(FrontEndEvent::vanished);
        timers.advance(PanelPresence::gracePeriod);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.last().first().toBool(), true);
        QCOMPARE(presence.presence(), TrayPresence::shown);
    }
};

QTEST_GUILESS_MAIN(TestPanelPresence)
#include "tst_panelpresence.moc"
