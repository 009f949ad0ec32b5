// SPDX-License-Identifier: GPL-3.0-or-later
#include "popover/popoverlayout.h"

#include <QTest>

using namespace Vantrell;

namespace {
// A 1920 x 1080 screen at the origin and the same screen less a panel.
const QRect kScreen(0, 0, 1920, 1080);
const QRect kTopPanel(0, 32, 1920, 1048);
const QRect kBottomPanel(0, 0, 1920, 1040);
const QRect kLeftPanel(48, 0, 1872, 1080);
const QRect kRightPanel(0, 0, 1872, 1080);
// A second screen to the left of the primary one.
const QRect kLeftScreen(-1280, 0, 1280, 1024);
const QRect kLeftScreenTopPanel(-1280, 28, 1280, 996);
const QSize kSize(320, 402);
} // namespace

class TestPopoverLayout final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void size_data()
    {
        QTest::addColumn<int>("coins");
        QTest::addColumn<int>("chart"); // the open chart's height
        QTest::addColumn<int>("height");
        QTest::newRow("none") << 0 << 0 << 298;
        QTest::newRow("negative count") << -3 << 0 << 298;
        QTest::newRow("three") << 3 << 0 << 298;
        QTest::newRow("four") << 4 << 0 << 298;
        QTest::newRow("five") << 5 << 0 << 350;
        QTest::newRow("six") << 6 << 0 << 402;
        QTest::newRow("eight") << 8 << 0 << 506;
        QTest::newRow("ten") << 10 << 0 << 506;
        QTest::newRow("a thousand") << 1000 << 0 << 506;
        // The chart uses the room two short rows leave, then grows the list.
        QTest::newRow("chart under one of one") << 1 << 100 << 298;
        QTest::newRow("chart under one of two") << 2 << 132 << 90 + 2 * 52 + 132;
        QTest::newRow("chart under one of ten") << 10 << 132 << 506 + 132;
    }

    void size()
    {
        QFETCH(int, coins);
        QFETCH(int, chart);
        QFETCH(int, height);
        QCOMPARE(popoverSize(coins, 0, chart), QSize(320, height));
    }

    void placement_data()
    {
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("topLeft");

        QTest::newRow("top panel, centred under the anchor")
            << QPoint(960, 16) << kSize << kScreen << kTopPanel << QPoint(800, 38);
        QTest::newRow("top panel, anchor at the right edge")
            << QPoint(1910, 16) << kSize << kScreen << kTopPanel << QPoint(1594, 38);
        QTest::newRow("top panel, anchor at the left edge")
            << QPoint(10, 16) << kSize << kScreen << kTopPanel << QPoint(6, 38);
        QTest::newRow("top panel, anchor on its last row")
            << QPoint(960, 31) << kSize << kScreen << kTopPanel << QPoint(800, 38);
        QTest::newRow("bottom panel, above it")
            << QPoint(500, 1060) << kSize << kScreen << kBottomPanel << QPoint(340, 632);
        QTest::newRow("bottom panel, anchor in the corner")
            << QPoint(1900, 1075) << kSize << kScreen << kBottomPanel << QPoint(1594, 632);
        QTest::newRow("bottom panel, anchor on its first row")
            << QPoint(500, 1040) << kSize << kScreen << kBottomPanel << QPoint(340, 632);
        QTest::newRow("left panel, beside it") << QPoint(24, 500) << kSize << kScreen << kLeftPanel << QPoint(54, 299);
        QTest::newRow("left panel, tray at the bottom")
            << QPoint(24, 1060) << kSize << kScreen << kLeftPanel << QPoint(54, 672);
        QTest::newRow("right panel, beside it")
            << QPoint(1896, 300) << kSize << kScreen << kRightPanel << QPoint(1546, 99);
        QTest::newRow("left screen with negative coordinates")
            << QPoint(-200, 14) << kSize << kLeftScreen << kLeftScreenTopPanel << QPoint(-360, 34);
        QTest::newRow("left screen, anchor at its left edge")
            << QPoint(-1275, 14) << kSize << kLeftScreen << kLeftScreenTopPanel << QPoint(-1274, 34);
        QTest::newRow("left screen, anchor at its right edge")
            << QPoint(-3, 14) << kSize << kLeftScreen << kLeftScreenTopPanel << QPoint(-326, 34);
        QTest::newRow("no reserved panel, anchor in the upper half")
            << QPoint(700, 200) << kSize << kScreen << kScreen << QPoint(540, 206);
        QTest::newRow("no reserved panel, anchor in the lower half")
            << QPoint(700, 900) << kSize << kScreen << kScreen << QPoint(540, 492);
        QTest::newRow("no reserved panel, anchor at the top-left corner")
            << QPoint(0, 0) << kSize << kScreen << kScreen << QPoint(6, 6);
        QTest::newRow("no reserved panel, anchor at the bottom-right corner")
            << QPoint(1919, 1079) << kSize << kScreen << kScreen << QPoint(1594, 671);
        QTest::newRow("anchor off the screen to the right, top panel")
            << QPoint(2500, 16) << kSize << kScreen << kTopPanel << QPoint(1594, 38);
        QTest::newRow("anchor far below the screen, bottom panel")
            << QPoint(960, 3000) << kSize << kScreen << kBottomPanel << QPoint(800, 632);
        QTest::newRow("anchor far above the screen")
            << QPoint(960, -500) << kSize << kScreen << kTopPanel << QPoint(800, 38);
        QTest::newRow("popover taller than the usable area keeps its top visible")
            << QPoint(400, 10) << QSize(320, 506) << QRect(0, 0, 800, 400) << QRect(0, 24, 800, 376) << QPoint(240, 30);
        QTest::newRow("popover wider than the usable area keeps its left visible")
            << QPoint(100, 10) << QSize(320, 298) << QRect(0, 0, 300, 800) << QRect(0, 24, 300, 776) << QPoint(6, 30);
    }

    void placement()
    {
        QFETCH(QPoint, anchor);
        QFETCH(QSize, size);
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        QFETCH(QPoint, topLeft);
        QCOMPARE(popoverPlacement(anchor, size, screen, available), topLeft);
    }

    // Wherever the anchor is, a popover that fits stays inside the usable area
    // with the margin, and never covers a top or bottom panel.
    void placementStaysInside_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available");
        QTest::newRow("top panel") << kScreen << kTopPanel;
        QTest::newRow("bottom panel") << kScreen << kBottomPanel;
        QTest::newRow("left panel") << kScreen << kLeftPanel;
        QTest::newRow("right panel") << kScreen << kRightPanel;
        QTest::newRow("left screen") << kLeftScreen << kLeftScreenTopPanel;
    }

    void placementStaysInside()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        const QRect allowed = available.adjusted(6, 6, -6, -6);
        for (int x = screen.left() - 100; x <= screen.right() + 100; x += 37) {
            for (int y = screen.top() - 100; y <= screen.bottom() + 100; y += 41) {
                const QRect placed(popoverPlacement(QPoint(x, y), kSize, screen, available), kSize);
                if (!allowed.contains(placed))
                    QFAIL(qPrintable(QStringLiteral("anchor %1,%2 places the popover outside").arg(x).arg(y)));
            }
        }
    }

    void screenForPoint_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("index");
        QTest::newRow("on the left screen") << QPoint(-5, 5) << 0;
        QTest::newRow("on the primary screen") << QPoint(5, 5) << 1;
        QTest::newRow("origin belongs to the primary screen") << QPoint(0, 0) << 1;
        QTest::newRow("last pixel of the left screen") << QPoint(-1, 1023) << 0;
        QTest::newRow("below the shorter left screen, nearer to it") << QPoint(-100, 1050) << 0;
        QTest::newRow("off to the right") << QPoint(3000, 10) << 1;
        QTest::newRow("off to the left") << QPoint(-2000, 500) << 0;
        QTest::newRow("far below the primary screen") << QPoint(900, 5000) << 1;
    }

    void screenForPoint()
    {
        QFETCH(QPoint, point);
        QFETCH(int, index);
        QCOMPARE(screenIndexForPoint(point, {kLeftScreen, kScreen}), index);
    }

    void screenForPointWithoutScreens() { QCOMPARE(screenIndexForPoint(QPoint(1, 1), {}), -1); }
};

QTEST_GUILESS_MAIN(TestPopoverLayout)
#include "tst_popoverlayout.moc"
