// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeclock.h"
#include "faketimer.h"
#include "watchlist/watchlistreordersession.h"

#include <QTest>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

QStringList rows(std::initializer_list<int> indices)
{
    QStringList result;
    for (int i : indices)
        result.append(QStringLiteral("r%1").arg(i));
    return result;
}

// A session in virtual time over rows "r0", "r1", …, recording its commits.
struct Rig
{
    Rig(int count, double viewportHeight, bool reduceMotion = false)
        : timers(clock)
        , session(timers, clock.clock())
    {
        for (int i = 0; i < count; ++i)
            ids.append(QStringLiteral("r%1").arg(i));
        session.setViewportHeight(viewportHeight);
        session.setReduceMotion(reduceMotion);
        // The list scrolls where it is asked to.
        session.setScrollHandler([this](double offset) { session.setScrollOffset(offset); });
    }

    void press(int row, double pointerY)
    {
        session.press(row, ids, pointerY, [this](const QStringList &order) { commits.append(order); });
    }

    Test::FakeClock clock;
    Test::FakeTimerFactory timers;
    WatchlistReorderSession session;
    QStringList ids;
    QList<QStringList> commits;
};

// One press on a row's handle and one pointer move.
struct DragCase
{
    int count = 3;
    double viewport = 400;
    int row = 0;
    double pressY = 10;
    double moveY = 0;
    bool reduceMotion = false;
    double floatingY = 0;
    QList<double> offsets;
    QStringList committed; // empty: nothing
};

// The pointer resting at `pointerY` after grabbing `row` 10 points below its top.
struct ScrollCase
{
    int count = 20;
    double viewport = 220;
    double startOffset = 0;
    int row = 0;
    double pointerY = 0;
    bool reduceMotion = false;
    double endOffset = 0;
    int insertion = 0;
};

} // namespace

class TestWatchlistReorderSession final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drag_data()
    {
        QTest::addColumn<DragCase>("c");
        QTest::newRow("row 0 to slot 2 of three")
            << DragCase {.moveY = 76, .floatingY = 66, .offsets = {0, -44, -44}, .committed = rows({1, 2, 0})};
        QTest::newRow("reduce motion commits at once") << DragCase {
            .moveY = 76, .reduceMotion = true, .floatingY = 66, .offsets = {0, -44, -44}, .committed = rows({1, 2, 0})};
        QTest::newRow("a point short of half a pitch stays")
            << DragCase {.moveY = 31, .floatingY = 21, .offsets = {0, 0, 0}};
        QTest::newRow("half a pitch takes the next slot")
            << DragCase {.moveY = 32, .floatingY = 22, .offsets = {0, -44, 0}, .committed = rows({1, 0, 2})};
        QTest::newRow("last row up to slot 0, clamped at the top")
            << DragCase {.row = 2, .pressY = 100, .moveY = -50, .offsets = {44, 44, 0}, .committed = rows({2, 0, 1})};
        QTest::newRow("one row goes nowhere") << DragCase {.count = 1, .moveY = 120, .offsets = {0}};
        QTest::newRow("far below clamps a pitch above the viewport's bottom") << DragCase {.count = 6,
            .viewport = 200,
            .moveY = 1000,
            .floatingY = 156,
            .offsets = {0, -44, -44, -44, -44, 0},
            .committed = rows({1, 2, 3, 4, 0, 5})};
        QTest::newRow("a 1-point wiggle is no drag") << DragCase {.moveY = 11, .offsets = {0, 0, 0}};
    }

    void drag()
    {
        QFETCH(DragCase, c);
        Rig rig(c.count, c.viewport, c.reduceMotion);
        rig.press(c.row, c.pressY);
        rig.session.move(c.moveY);
        QCOMPARE(rig.session.floatingY(), c.floatingY);
        for (int i = 0; i < c.count; ++i)
            QCOMPARE(rig.session.offset(i), c.offsets.at(i));
        if (c.reduceMotion)
            QCOMPARE(rig.session.frame().rowOffsets, c.offsets);

        rig.session.release();
        // Without reduce motion the drop settles first.
        QCOMPARE(rig.commits.size(), c.reduceMotion && !c.committed.isEmpty() ? 1 : 0);
        rig.timers.advance(1s);
        QCOMPARE(rig.commits, c.committed.isEmpty() ? QList<QStringList>() : QList<QStringList> {c.committed});
        QVERIFY(!rig.session.isDragging());
        QCOMPARE(rig.timers.activeTimerCount(), 0);
    }

    // Rows slide to their new offsets (with reduce motion they jump, see drag()).
    void insertionSlides()
    {
        Rig rig(3, 400);
        rig.press(0, 10);
        rig.session.move(60);
        QCOMPARE(rig.session.frame().rowOffsets, (QList<double> {0, 0, 0}));
        rig.timers.advance(48ms);
        const double meanwhile = rig.session.frame().rowOffsets.at(1);
        QVERIFY2(meanwhile < -5 && meanwhile > -44, qPrintable(QString::number(meanwhile)));
        rig.timers.advance(1s);
        QCOMPARE(rig.session.frame().rowOffsets, (QList<double> {0, -44, 0}));
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

    // Resting in an edge zone scrolls row by row until either end, exactly.
    void autoScroll_data()
    {
        QTest::addColumn<ScrollCase>("c");
        QTest::newRow("down to the end") << ScrollCase {.row = 2, .pointerY = 210, .endOffset = 660, .insertion = 19};
        QTest::newRow("down with reduce motion")
            << ScrollCase {.row = 2, .pointerY = 210, .reduceMotion = true, .endOffset = 660, .insertion = 19};
        QTest::newRow("up to the top") << ScrollCase {.startOffset = 400, .row = 10, .pointerY = 5};
        QTest::newRow("at the top nothing starts") << ScrollCase {.row = 3, .pointerY = 5};
        QTest::newRow("last row visible within a point")
            << ScrollCase {.count = 5, .viewport = 219.2, .pointerY = 210, .insertion = 4};
    }

    void autoScroll()
    {
        QFETCH(ScrollCase, c);
        Rig rig(c.count, c.viewport, c.reduceMotion);
        rig.session.setScrollOffset(c.startOffset);
        rig.press(c.row, c.row * 44 - c.startOffset + 10);
        rig.session.move(c.pointerY);
        QCOMPARE(rig.session.autoScrollDirection().has_value(), c.endOffset != c.startOffset);
        rig.timers.advance(10s);
        QCOMPARE(rig.session.scrollOffset(), c.endOffset);
        QCOMPARE(rig.session.insertionIndex(), c.insertion);
        QVERIFY(!rig.session.autoScrollDirection());
        QCOMPARE(rig.timers.activeTimerCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWatchlistReorderSession)
#include "tst_watchlistreordersession.moc"
