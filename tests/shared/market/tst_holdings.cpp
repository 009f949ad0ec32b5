// SPDX-License-Identifier: GPL-3.0-or-later
#include "market/holdings.h"

#include <QTest>

#include <cmath>

using namespace Vantrell;

namespace {

using Watchlist = QList<WatchlistCoin>;
using Coins = QList<Coin>;

WatchlistCoin held(const QString &id, std::optional<double> holding, std::optional<double> averageCostUSD = {})
{
    return {id, CoinAlertKind::change, 2.0, holding, averageCostUSD};
}

Coin priced(const QString &id, std::optional<double> price, std::optional<double> change = {})
{
    Coin coin;
    coin.id = id;
    coin.symbol = id.toUpper();
    coin.currentPrice = price;
    coin.priceChange24hPercent = change;
    return coin;
}

// Money to a millionth (well under a cent at 1e9), percentages to 1e-9.
bool near(std::optional<double> actual, std::optional<double> expected, double tolerance)
{
    if (actual.has_value() != expected.has_value())
        return false;
    return !actual || std::abs(*actual - *expected) <= tolerance;
}

QString describe(std::optional<double> value)
{
    return value ? QString::number(*value, 'f', 8) : QStringLiteral("none");
}

} // namespace

Q_DECLARE_METATYPE(Vantrell::HoldingsTotals)

class TestHoldings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void totals_data()
    {
        QTest::addColumn<Watchlist>("watchlist");
        QTest::addColumn<Coins>("coins");
        QTest::addColumn<double>("rate");
        QTest::addColumn<HoldingsTotals>("expected");

        const QString btc = QStringLiteral("bitcoin");
        const QString eth = QStringLiteral("ethereum");

        QTest::newRow("nothing held") << Watchlist {held(btc, {}), held(eth, {})}
                                      << Coins {priced(btc, 60000, 2), priced(eth, 3000, 1)} << 1.0
                                      << HoldingsTotals {};
        QTest::newRow("zero holding is not held")
            << Watchlist {held(btc, 0.0, 50000)} << Coins {priced(btc, 60000, 2)} << 1.0 << HoldingsTotals {};
        QTest::newRow("one coin") << Watchlist {held(btc, 0.5)} << Coins {priced(btc, 60000, 2)} << 1.0
                                  << HoldingsTotals {1, 1, 30000, 30000 - 30000 / 1.02, 2.0, {}, {}};
        QTest::newRow("coin without price counts as unpriced")
            << Watchlist {held(btc, 0.5), held(eth, 2)} << Coins {priced(btc, 60000, 2), priced(eth, {})} << 1.0
            << HoldingsTotals {2, 1, 30000, 30000 - 30000 / 1.02, 2.0, {}, {}};
        QTest::newRow("coin without change adds value, not change")
            << Watchlist {held(btc, 0.5), held(eth, 2)} << Coins {priced(btc, 60000, 2), priced(eth, 3000)} << 1.0
            << HoldingsTotals {2, 2, 36000, 30000 - 30000 / 1.02, 2.0, {}, {}};
        QTest::newRow("change is weighted by value")
            << Watchlist {held(btc, 1), held(eth, 1)} << Coins {priced(btc, 110, 10), priced(eth, 90, -10)} << 1.0
            << HoldingsTotals {2, 2, 200, 0.0, 0.0, {}, {}};
        QTest::newRow("a fall of 100 % has no earlier price")
            << Watchlist {held(btc, 1), held(eth, 1)} << Coins {priced(btc, 110, 10), priced(eth, 0, -100)} << 1.0
            << HoldingsTotals {2, 2, 110, 10.0, 10.0, {}, {}};
        QTest::newRow("gain against the average cost")
            << Watchlist {held(btc, 0.5, 50000), held(eth, 2)} << Coins {priced(btc, 60000), priced(eth, 3000)} << 1.0
            << HoldingsTotals {2, 2, 36000, {}, {}, 5000.0, 20.0};
        QTest::newRow("cost of an unpriced coin is left out")
            << Watchlist {held(btc, 0.5, 50000), held(eth, 2, 1000)} << Coins {priced(btc, 60000), priced(eth, {})}
            << 1.0 << HoldingsTotals {2, 1, 30000, {}, {}, 5000.0, 20.0};
        // Prices come in euros; the cost is stored in USD and converted.
        QTest::newRow("euros: cost converted with the rate")
            << Watchlist {held(btc, 0.5, 50000)} << Coins {priced(btc, 54000, 2)} << 0.9
            << HoldingsTotals {1, 1, 27000, 27000 - 27000 / 1.02, 2.0, 4500.0, 20.0};
        QTest::newRow("yen: cost converted with the rate")
            << Watchlist {held(btc, 2, 50000)} << Coins {priced(btc, 7500000, -1)} << 150.0
            << HoldingsTotals {1, 1, 15000000, 15000000 - 15000000 / 0.99, -1.0, 0.0, 0.0};
        QTest::newRow("a billion to the cent")
            << Watchlist {held(btc, 4e8), held(eth, 1), held(QStringLiteral("tether"), 0.03)}
            << Coins {priced(btc, 2.5), priced(eth, 0.01), priced(QStringLiteral("tether"), 1)} << 1.0
            << HoldingsTotals {3, 3, 1000000000.04, {}, {}, {}, {}};
        QTest::newRow("a billion in many small parts")
            << Watchlist {held(btc, 999999999.99), held(eth, 0.01), held(QStringLiteral("tether"), 0.01)}
            << Coins {priced(btc, 1, 0), priced(eth, 1, 0), priced(QStringLiteral("tether"), 1, 0)} << 1.0
            << HoldingsTotals {3, 3, 1000000000.01, 0.0, 0.0, {}, {}};
        QTest::newRow("a value beyond any number is unpriced")
            << Watchlist {held(btc, 1e300, 1e300), held(eth, 1)} << Coins {priced(btc, 1e10, 5), priced(eth, 3000)}
            << 1.0 << HoldingsTotals {2, 1, 3000, {}, {}, {}, {}};
    }

    void totals()
    {
        QFETCH(Watchlist, watchlist);
        QFETCH(Coins, coins);
        QFETCH(double, rate);
        QFETCH(HoldingsTotals, expected);

        const HoldingsTotals totals = holdingsTotals(watchlist, coins, rate);
        QCOMPARE(totals.heldCoins, expected.heldCoins);
        QCOMPARE(totals.pricedCoins, expected.pricedCoins);
        QVERIFY2(near(totals.totalValue, expected.totalValue, 1e-6), qPrintable(describe(totals.totalValue)));
        QVERIFY2(
            near(totals.change24hValue, expected.change24hValue, 1e-6), qPrintable(describe(totals.change24hValue)));
        QVERIFY2(near(totals.change24hPercent, expected.change24hPercent, 1e-9),
            qPrintable(describe(totals.change24hPercent)));
        QVERIFY2(near(totals.gainValue, expected.gainValue, 1e-6), qPrintable(describe(totals.gainValue)));
        QVERIFY2(near(totals.gainPercent, expected.gainPercent, 1e-9), qPrintable(describe(totals.gainPercent)));
    }
};

QTEST_APPLESS_MAIN(TestHoldings)
#include "tst_holdings.moc"
