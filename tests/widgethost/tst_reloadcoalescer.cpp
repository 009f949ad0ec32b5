// SPDX-License-Identifier: GPL-3.0-or-later
// Reload bursts, clock jumps and where widgets go on the screen.
#include "faketimer.h"
#include "reloadcoalescer.h"
#include "widgetframe.h"

#include <QTest>

using namespace Vantrell;
using namespace Vantrell::Test;
using namespace std::chrono_literals;

class TestReloadCoalescer final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void burstCostsOneRound()
    {
        FakeTimerFactory timers;
        int rounds = 0;
        ReloadCoalescer coalescer(timers, [&rounds] { ++rounds; });
        for (int i = 0; i < 50; ++i)
            coalescer.request();
        QCOMPARE(rounds, 0);
        timers.advance(ReloadCoalescer::gatherTime);
        QCOMPARE(rounds, 1);
        QCOMPARE(coalescer.state(), ReloadCoalescer::State::running);
        // Calls during the round: one more round after it, however many.
        for (int i = 0; i < 20; ++i)
            coalescer.request();
        timers.advance(10s);
        QCOMPARE(rounds, 1);
        coalescer.roundFinished();
        timers.advance(ReloadCoalescer::gatherTime);
        QCOMPARE(rounds, 2);
        coalescer.roundFinished();
        timers.advance(10s);
        QCOMPARE(rounds, 2);
        QCOMPARE(coalescer.state(), ReloadCoalescer::State::idle);
    }

    void finishWithoutRoundIsIgnored()
    {
        FakeTimerFactory timers;
        int rounds = 0;
        ReloadCoalescer coalescer(timers, [&rounds] { ++rounds; });
        coalescer.roundFinished();
        coalescer.request();
        coalescer.roundFinished();
        timers.advance(ReloadCoalescer::gatherTime);
        QCOMPARE(rounds, 1);
    }

    void clockJump_data()
    {
        QTest::addColumn<qint64>("wall");
        QTest::addColumn<qint64>("monotonic");
        QTest::addColumn<bool>("jump");
        QTest::newRow("in step") << qint64(600'000) << qint64(600'000) << false;
        QTest::newRow("a minute of sleep") << qint64(90'000) << qint64(30'000) << false;
        QTest::newRow("more than a minute of sleep") << qint64(90'001) << qint64(30'000) << true;
        QTest::newRow("set back two minutes") << qint64(-120'000) << qint64(1'000) << true;
        QTest::newRow("set back a few seconds") << qint64(-5'000) << qint64(1'000) << false;
    }
    void clockJump()
    {
        QFETCH(qint64, wall);
        QFETCH(qint64, monotonic);
        QFETCH(bool, jump);
        QCOMPARE(isWallClockJump(wall, monotonic), jump);
    }

    void placement_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 30, 1280, 770);
        QTest::newRow("centred on the pointer") << QSize(170, 170) << QPoint(640, 400) << screen << QPoint(555, 315);
        QTest::newRow("kept off the panel") << QSize(364, 170) << QPoint(100, 40) << screen << QPoint(0, 30);
        QTest::newRow("kept inside the right edge")
            << QSize(364, 382) << QPoint(1270, 790) << screen << QPoint(916, 418);
        QTest::newRow("second screen") << QSize(170, 170) << QPoint(2000, 100) << QRect(1280, 0, 1920, 1080)
                                       << QPoint(1915, 15);
        QTest::newRow("screen smaller than the widget")
            << QSize(364, 382) << QPoint(50, 50) << QRect(0, 0, 300, 300) << QPoint(0, 0);
    }
    void placement()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, pointer);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        QCOMPARE(placeWidget(size, pointer, available), expected);
    }

    void restored_data()
    {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<QPoint>("expected");
        const QList<QRect> screens {QRect(0, 0, 1280, 800), QRect(1280, 0, 1280, 800)};
        QTest::newRow("on the first screen") << QPoint(100, 100) << QPoint(100, 100);
        QTest::newRow("on the second screen") << QPoint(2000, 500) << QPoint(2000, 500);
        QTest::newRow("mostly off but a quarter shows") << QPoint(-120, 100) << QPoint(-120, 100);
        QTest::newRow("on a screen that is gone") << QPoint(4000, 100) << QPoint(554, 314);
    }
    void restored()
    {
        QFETCH(QPoint, stored);
        QFETCH(QPoint, expected);
        QCOMPARE(
            restoredPosition(stored, QSize(170, 170), {QRect(0, 0, 1280, 800), QRect(1280, 0, 1280, 800)}), expected);
    }
};

QTEST_GUILESS_MAIN(TestReloadCoalescer)
#include "tst_reloadcoalescer.moc"
