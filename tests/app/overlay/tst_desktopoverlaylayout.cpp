// SPDX-License-Identifier: GPL-3.0-or-later
#include "overlay/desktopoverlaylayout.h"

#include <QTest>

using namespace Vantrell;

namespace {

using Screens = QList<QRectF>;
using Origin = std::optional<DesktopOverlayOrigin>;

Coin coin(int index, std::optional<double> price, std::optional<QDateTime> updated = std::nullopt)
{
    Coin coin;
    coin.id = QStringLiteral("coin-%1").arg(index);
    coin.symbol = QStringLiteral("C%1").arg(index);
    coin.currentPrice = price;
    coin.lastUpdated = updated;
    return coin;
}

const QDateTime kTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

} // namespace

class TestDesktopOverlayLayout final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void size_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("priced");
        QTest::addColumn<DesktopOverlayTextSize>("textSize");
        QTest::addColumn<QSizeF>("expected");

        QTest::newRow("normal, 5 rows") << 5 << true << DesktopOverlayTextSize::normal << QSizeF(364, 244);
        QTest::newRow("normal, 6 rows grows by 39") << 6 << true << DesktopOverlayTextSize::normal << QSizeF(364, 283);
        QTest::newRow("large, 16 rows") << 16 << true << DesktopOverlayTextSize::large << QSizeF(400, 738);
        QTest::newRow("large, 20 coins show 16") << 20 << true << DesktopOverlayTextSize::large << QSizeF(400, 738);
        QTest::newRow("no prices yet") << 5 << false << DesktopOverlayTextSize::normal << QSizeF(364, 170);
        QTest::newRow("empty watchlist, large") << 0 << true << DesktopOverlayTextSize::large << QSizeF(400, 170);
    }

    void size()
    {
        QFETCH(int, rows);
        QFETCH(bool, priced);
        QFETCH(DesktopOverlayTextSize, textSize);
        QFETCH(QSizeF, expected);
        QList<Coin> coins;
        for (int i = 0; i < rows; ++i)
            coins.append(coin(i, priced ? std::optional<double>(i + 1.0) : std::nullopt, kTime));
        QCOMPARE(overlaySize(makeOverlayContent(coins, AppSettings()), textSize), expected);
    }

    void frame_data()
    {
        QTest::addColumn<Origin>("topLeft");
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QRectF>("expected");

        const QRectF primary(0, 30, 1280, 770); // a panel takes the top 30 pixels
        const QRectF right(1280, 0, 1920, 1080);
        const QSizeF size(364, 244);
        const auto at = [](qreal x, qreal y) { return Origin(DesktopOverlayOrigin {x, y}); };

        QTest::newRow("no screens") << at(500, 500) << Screens() << QRectF(QPointF(0, 0), size);
        QTest::newRow("no position: top right, 24 in")
            << Origin() << Screens {primary, right} << QRectF(QPointF(892, 54), size);
        QTest::newRow("inside the second screen")
            << at(1500, 100) << Screens {primary, right} << QRectF(QPointF(1500, 100), size);
        QTest::newRow("straddling goes to the larger part")
            << at(1100, 100) << Screens {primary, right} << QRectF(QPointF(1280, 100), size);
        QTest::newRow("under the panel is pushed down")
            << at(100, 0) << Screens {primary} << QRectF(QPointF(100, 30), size);
        QTest::newRow("screen gone: nearest, clamped")
            << at(3000, 900) << Screens {primary} << QRectF(QPointF(916, 556), size);
        QTest::newRow("far left of all screens")
            << at(-5000, 300) << Screens {primary, right} << QRectF(QPointF(0, 300), size);
        QTest::newRow("taller than the screen: pinned to the top")
            << at(10, 10) << Screens {QRectF(0, 0, 800, 200)} << QRectF(QPointF(10, 0), size);
    }

    void frame()
    {
        QFETCH(Origin, topLeft);
        QFETCH(Screens, screens);
        QFETCH(QRectF, expected);
        QCOMPARE(overlayFrame(topLeft, screens, QSizeF(364, 244)), expected);
    }

    void contentTakesTheNewestTimeAndTheSchemeColours()
    {
        AppSettings settings;
        settings.colorScheme = PriceColorScheme::redUpGreenDown;
        settings.baseCurrency = BaseCurrency::jpy;
        Coin delisted = coin(2, 3.0, kTime.addSecs(60));
        delisted.status = CoinStatus::delisted;
        const WidgetEntryContent content
            = makeOverlayContent({coin(0, 1.0, kTime), delisted, coin(1, std::nullopt)}, settings);
        QCOMPARE(content.updatedAt, kTime.addSecs(60));
        QCOMPARE(content.upColorHex, QStringLiteral("#F6465D"));
        QCOMPARE(content.currency, BaseCurrency::jpy);
        QCOMPARE(content.rows.size(), 3);
        QVERIFY(!content.rows.at(1).hasMarket);
        QVERIFY(!content.rows.at(2).price);
        // A poll that moved no price within the minute leaves nothing new to draw.
        QCOMPARE(makeOverlayContent({coin(0, 1.0, kTime.addSecs(1))}, settings),
            makeOverlayContent({coin(0, 1.0, kTime.addSecs(59))}, settings));
    }
};

QTEST_GUILESS_MAIN(TestDesktopOverlayLayout)
#include "tst_desktopoverlaylayout.moc"
