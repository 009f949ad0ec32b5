// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeclock.h"
#include "faketimer.h"
#include "watchlist/watchlistreordersession.h"

#include <QTest>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

// A session in virtual time over rows "r0", "r1", …, recording its commits.
struct Rig
{
    explicit Rig(int count, double viewportHeight, bool reduceMotion = false)
        : timers(clock)
        , session(timers, clock.clock())
    {
        for (int i = 0; i < count; ++i)
            ids.append(QStringLiteral("r%1").arg(i));
        session.setViewportHeight(viewportHeight);
        session.setReduceMotion(reduceMotion);
    }

    // The list scrolls where it is asked to, clamped as a scroll view is.
    void scrollable()
    {
        session.setScrollHandler([this](double offset) { session.setScrollOffset(offset); });
    }

    void press(int row, double pointerY)
    {
        session.press(row, ids, pointerY, [this](const QStringList &order) { commits.append(order); });
    }

    QList<double> offsets() const
    {
        QList<double> result;
        for (int i = 0; i < ids.size(); ++i)
            result.append(session.offset(i));
        return result;
    }

    Test::FakeClock clock;
    Test::FakeTimerFactory timers;
    WatchlistReorderSession session;
    QStringList ids;
    QList<QStringList> commits;
};

QStringList rows(std::initializer_list<int> indices)
{
    QStringList result;
    for (int i : indices)
        result.append(QStringLiteral("r%1").arg(i));
    return result;
}

} // namespace

class TestWatchlistReorderSession final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drag_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("viewport");
        QTest::addColumn<int>("row");
        QTest::addColumn<double>("pressY");
        QTest::addColumn<double>("moveY");
        QTest::addColumn<bool>("reduceMotion");
        QTest::addColumn<bool>("dragging");
        QTest::addColumn<double>("floatingY");
        QTest::addColumn<QList<double>>("offsets");
        QTest::addColumn<QStringList>("committed"); // empty: no commit

        using L = QList<double>;
        QTest::newRow("one row goes nowhere")
            << 1 << 400.0 << 0 << 20.0 << 120.0 << false << true << 0.0 << L {0} << QStringList();
        QTest::newRow("row 0 to slot 2 of three")
            << 3 << 400.0 << 0 << 10.0 << 76.0 << false << true << 66.0 << L {0, -44, -44} << rows({1, 2, 0});
        QTest::newRow("same with reduce motion commits at once")
            << 3 << 400.0 << 0 << 10.0 << 76.0 << true << true << 66.0 << L {0, -44, -44} << rows({1, 2, 0});
        QTest::newRow("a point short of half a pitch stays")
            << 3 << 400.0 << 0 << 10.0 << 31.0 << false << true << 21.0 << L {0, 0, 0} << QStringList();
        QTest::newRow("half a pitch takes the next slot")
            << 3 << 400.0 << 0 << 10.0 << 32.0 << false << true << 22.0 << L {0, -44, 0} << rows({1, 0, 2});
        QTest::newRow("last row up to slot 0, clamped at the top")
            << 3 << 400.0 << 2 << 100.0 << -50.0 << false << true << 0.0 << L {44, 44, 0} << rows({2, 0, 1});
        QTest::newRow("far below clamps a pitch above the viewport's bottom")
            << 6 << 200.0 << 0 << 10.0 << 1000.0 << false << true << 156.0 << L {0, -44, -44, -44, -44, 0}
            << rows({1, 2, 3, 4, 0, 5});
        QTest::newRow("a 1-point wiggle is no drag")
            << 3 << 400.0 << 0 << 10.0 << 11.0 << false << false << 0.0 << L {0, 0, 0} << QStringList();
        QTest::newRow("a row beyond the list never drags")
            << 3 << 400.0 << 3 << 140.0 << 10.0 << false << false << 0.0 << L {0, 0, 0} << QStringList();
    }

    void drag()
    {
        QFETCH(int, count);
        QFETCH(double, viewport);
        QFETCH(int, row);
        QFETCH(double, pressY);
        QFETCH(double, moveY);
        QFETCH(bool, reduceMotion);
        QFETCH(bool, dragging);
        QFETCH(double, floatingY);
        QFETCH(QList<double>, offsets);
        QFETCH(QStringList, committed);

        Rig rig(count, viewport, reduceMotion);
        rig.press(row, pressY);
        rig.session.move(moveY);
        QCOMPARE(rig.session.isDragging(), dragging);
        QCOMPARE(rig.session.floatingY(), floatingY);
        QCOMPARE(rig.offsets(), offsets);

        rig.session.release();
        // Without reduce motion the drop settles first.
        QCOMPARE(rig.commits.size(), reduceMotion && !committed.isEmpty() ? 1 : 0);
        rig.timers.advance(1s);
        QCOMPARE(rig.commits, committed.isEmpty() ? QList<QStringList>() : QList<QStringList> {committed});
        QVERIFY(!rig.session.isDragging());
        QCOMPARE(rig.timers.activeTimerCount(), 0);
    }

    void insertionSlides_data()
    {
        QTest::addColumn<bool>("reduceMotion");
        QTest::newRow("animated") << false;
        QTest::newRow("reduce motion") << true;
    }

    void insertionSlides()
    {
        QFETCH(bool, reduceMotion);
        Rig rig(3, 400, reduceMotion);
        rig.press(0, 10);
        rig.session.move(60);
        QCOMPARE(rig.session.insertionIndex(), 1);
        const double atStart = rig.session.frame().rowOffsets.at(1);
        rig.timers.advance(48ms);
        const double meanwhile = rig.session.frame().rowOffsets.at(1);
        if (reduceMotion) {
            QCOMPARE(atStart, -44.0);
            QCOMPARE(meanwhile, -44.0);
        } else {
            QCOMPARE(atStart, 0.0);
            QVERIFY2(meanwhile < -5 && meanwhile > -44, qPrintable(QString::number(meanwhile)));
        }
        rig.timers.advance(1s);
        QCOMPARE(rig.session.frame().rowOffsets, (QList<double> {0, -44, 0}));
        QCOMPARE(rig.session.isAnimating(), false);
    }

    // The drop moves the copy into its slot; the pointer, the scroll and a new
    // press are ignored meanwhile, and an edit still cancels the commit.
    void settle_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("commits when settled") << false;
        QTest::newRow("an edit while settling commits nothing") << true;
    }

    void settle()
    {
        QFETCH(bool, cancelled);
        Rig rig(4, 400);
        rig.press(0, 10);
        rig.session.move(100); // copy at 90: slot 2, which settles at 88
        rig.session.release();
        QVERIFY(rig.session.isSettling());
        QCOMPARE(*rig.session.frame().floatingY, 90.0);

        rig.press(3, 140);
        rig.session.move(10);
        rig.session.setScrollOffset(44);
        QCOMPARE(rig.session.insertionIndex(), 2);
        rig.timers.advance(64ms);
        QVERIFY(rig.commits.isEmpty());
        if (cancelled)
            rig.session.cancel();
        rig.timers.advance(1s);
        QCOMPARE(rig.commits, cancelled ? QList<QStringList>() : QList<QStringList> {rows({1, 2, 0, 3})});
    }

    // A drag that an edit cancels stays cancelled for the rest of the gesture.
    void cancelEndsGesture()
    {
        Rig rig(3, 400);
        rig.press(0, 10);
        rig.session.move(80);
        rig.session.cancel();
        QVERIFY(!rig.session.isDragging());
        rig.session.move(90);
        QVERIFY(!rig.session.isDragging());
        rig.session.release();
        rig.timers.advance(1s);
        QVERIFY(rig.commits.isEmpty());
    }

    // Resting the pointer in an edge zone scrolls row by row until the list's end.
    void autoScroll_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("viewport");
        QTest::addColumn<double>("startOffset");
        QTest::addColumn<int>("row");
        QTest::addColumn<double>("pointerY");
        QTest::addColumn<bool>("reduceMotion");
        QTest::addColumn<bool>("scrolling");
        QTest::addColumn<double>("endOffset");
        QTest::addColumn<int>("insertion");

        QTest::newRow("down to the end") << 20 << 220.0 << 0.0 << 2 << 210.0 << false << true << 660.0 << 19;
        QTest::newRow("down with reduce motion") << 20 << 220.0 << 0.0 << 2 << 210.0 << true << true << 660.0 << 19;
        QTest::newRow("up to the top") << 20 << 220.0 << 400.0 << 10 << 5.0 << false << true << 0.0 << 0;
        QTest::newRow("at the top nothing starts") << 20 << 220.0 << 0.0 << 3 << 5.0 << false << false << 0.0 << 0;
        QTest::newRow("last row visible within a point")
            << 5 << 219.2 << 0.0 << 0 << 210.0 << false << false << 0.0 << 4;
        QTest::newRow("outside the zones") << 20 << 220.0 << 100.0 << 4 << 100.0 << false << false << 100.0 << 4;
    }

    void autoScroll()
    {
        QFETCH(int, count);
        QFETCH(double, viewport);
        QFETCH(double, startOffset);
        QFETCH(int, row);
        QFETCH(double, pointerY);
        QFETCH(bool, reduceMotion);
        QFETCH(bool, scrolling);
        QFETCH(double, endOffset);
        QFETCH(int, insertion);

        Rig rig(count, viewport, reduceMotion);
        rig.scrollable();
        rig.session.setScrollOffset(startOffset);
        const double rowTop = row * 44 - startOffset;
        rig.press(row, rowTop + 10);
        rig.session.move(pointerY);
        QCOMPARE(rig.session.autoScrollDirection().has_value(), scrolling);
        rig.timers.advance(10s);
        QCOMPARE(rig.session.scrollOffset(), endOffset);
        QCOMPARE(rig.session.insertionIndex(), insertion);
        QVERIFY(!rig.session.autoScrollDirection());
        QCOMPARE(rig.timers.activeTimerCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWatchlistReorderSession)
#include "tst_watchlistreordersession.moc"
