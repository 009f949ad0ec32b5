// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlist/pricefreshness.h"

#include <QTest>

Q_DECLARE_METATYPE(Vantrell::PriceFreshness)

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {
const QDateTime kNow(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

Coin priced(std::optional<double> price, std::optional<QDateTime> updated)
{
    Coin coin;
    coin.id = QStringLiteral("bitcoin");
    coin.symbol = QStringLiteral("BTC");
    coin.currentPrice = price;
    coin.lastUpdated = std::move(updated);
    return coin;
}
} // namespace

class TestPriceFreshness final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decision_data()
    {
        QTest::addColumn<std::optional<QDateTime>>("newest");
        QTest::addColumn<PriceFreshness>("expected");

        using F = PriceFreshness;
        QTest::newRow("no price yet") << std::optional<QDateTime>() << F {};
        QTest::newRow("invalid time") << std::optional(QDateTime()) << F {};
        QTest::newRow("just fetched") << std::optional(kNow) << F {.recheckIn = 300'000ms};
        QTest::newRow("one minute old") << std::optional(kNow.addSecs(-60)) << F {.recheckIn = 240'000ms};
        QTest::newRow("a second short of stale") << std::optional(kNow.addMSecs(-299'500)) << F {.recheckIn = 1s};
        QTest::newRow("exactly five minutes") << std::optional(kNow.addSecs(-300)) << F {.stale = true};
        QTest::newRow("after a night asleep") << std::optional(kNow.addSecs(-8 * 3600)) << F {.stale = true};
        // The wall clock was set back an hour after the last price.
        QTest::newRow("from the future") << std::optional(kNow.addSecs(3600)) << F {.recheckIn = 300'000ms};
    }

    void decision()
    {
        QFETCH(std::optional<QDateTime>, newest);
        QFETCH(PriceFreshness, expected);
        QCOMPARE(priceFreshness(newest, kNow), expected);
    }

    void newestUpdateSkipsCoinsWithoutPrice_data()
    {
        QTest::addColumn<QList<Coin>>("coins");
        QTest::addColumn<std::optional<QDateTime>>("expected");

        const QDateTime early = kNow.addSecs(-600);
        QTest::newRow("empty") << QList<Coin> {} << std::optional<QDateTime>();
        QTest::newRow("no prices") << QList<Coin> {priced(std::nullopt, std::nullopt)} << std::optional<QDateTime>();
        QTest::newRow("latest wins") << QList<Coin> {priced(1, early), priced(2, kNow), priced(3, std::nullopt)}
                                     << std::optional(kNow);
        // A time without a price (a coin whose price was dropped) does not count.
        QTest::newRow("time without price")
            << QList<Coin> {priced(1, early), priced(std::nullopt, kNow)} << std::optional(early);
    }

    void newestUpdateSkipsCoinsWithoutPrice()
    {
        QFETCH(QList<Coin>, coins);
        QFETCH(std::optional<QDateTime>, expected);
        QCOMPARE(newestUpdate(coins), expected);
    }
};

QTEST_GUILESS_MAIN(TestPriceFreshness)
#include "tst_pricefreshness.moc"
