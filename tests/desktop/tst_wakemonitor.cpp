// SPDX-License-Identifier: GPL-3.0-or-later
#include "wakemonitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

using namespace Vantrell;

class TestWakeMonitor final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // logind says it is about to sleep, then that it woke: one wake-up, on the second.
    void wakesOnLogindResume()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.login1")));
        WakeMonitor monitor(bus);
        QSignalSpy woke(&monitor, &WakeMonitor::woke);

        for (const bool sleeping : {true, false}) {
            QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
            signal << sleeping;
            QVERIFY(bus.send(signal));
        }
        QTRY_COMPARE(woke.size(), 1);
        QTest::qWait(100);
        QCOMPARE(woke.size(), 1);
    }

    void clockJumpMeansSleep()
    {
        QVERIFY(!WakeMonitor::sleptBetween(30'000, 30'000));
        QVERIFY(!WakeMonitor::sleptBetween(90'000, 30'000));
        QVERIFY(WakeMonitor::sleptBetween(90'001, 30'000));
    }
};

QTEST_GUILESS_MAIN(TestWakeMonitor)
#include "tst_wakemonitor.moc"
