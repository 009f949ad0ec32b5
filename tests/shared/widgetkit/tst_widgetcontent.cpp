// SPDX-License-Identifier: GPL-3.0-or-later
#include "market/coinmetadata.h"
#include "widgetkit/widgetcontent.h"
#include "widgetkit/widgetviews.h"

#include <QTest>

using namespace Vantrell;

namespace {

using Changes = QList<std::optional<double>>;

WidgetRow row(const QString &id, std::optional<double> change, std::optional<double> price = 1.0)
{
    return WidgetRow {id, id.toUpper(), id, std::nullopt, true, price, change};
}

WidgetSnapshot snapshotOf(const QStringList &watchlist)
{
    WidgetSnapshot snapshot;
    snapshot.watchlist = watchlist;
    return snapshot;
}

const QDateTime kNow(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

} // namespace

class TestWidgetContent final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void selectCoinIds_data()
    {
        QTest::addColumn<WidgetCoinSourceOption>("source");
        QTest::addColumn<QStringList>("manual");
        QTest::addColumn<std::optional<WidgetSnapshot>>("snapshot");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("expected");

        const auto ids = [](const char *text) { return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts); };
        const auto snapshot = std::optional<WidgetSnapshot>(snapshotOf(ids("solana ripple bitcoin")));
        const auto none = std::optional<WidgetSnapshot>();
        const auto watchlist = WidgetCoinSourceOption::watchlist;
        const auto manual = WidgetCoinSourceOption::manual;

        QTest::newRow("watchlist of the snapshot")
            << watchlist << ids("dogecoin") << snapshot << 4 << ids("solana ripple bitcoin");
        QTest::newRow("default watchlist without snapshot")
            << watchlist << QStringList() << none << 4 << ids("bitcoin ethereum");
        QTest::newRow("manual coins") << manual << ids("dogecoin solana") << snapshot << 4 << ids("dogecoin solana");
        QTest::newRow("manual without coins falls back")
            << manual << QStringList() << snapshot << 4 << ids("solana ripple bitcoin");
        QTest::newRow("manual without coins or snapshot")
            << manual << QStringList() << none << 8 << ids("bitcoin ethereum");
        QTest::newRow("repeats dropped") << manual << ids("bitcoin ethereum bitcoin") << none << 4
                                         << ids("bitcoin ethereum");
        QTest::newRow("repeats do not use up the limit") << manual << ids("a a a b c") << none << 2 << ids("a b");
        QTest::newRow("limit") << watchlist << QStringList() << snapshot << 2 << ids("solana ripple");
    }

    void selectCoinIds()
    {
        QFETCH(WidgetCoinSourceOption, source);
        QFETCH(QStringList, manual);
        QFETCH(std::optional<WidgetSnapshot>, snapshot);
        QFETCH(int, limit);
        QFETCH(QStringList, expected);
        QCOMPARE(Vantrell::selectCoinIds(source, manual, snapshot, limit), expected);
    }

    void sortRows_data()
    {
        QTest::addColumn<WidgetSortOption>("sort");
        QTest::addColumn<QStringList>("expected");

        const auto ids = [](const char *text) { return QString::fromLatin1(text).split(u' '); };
        // Rows a..e with changes +1, none, +3, +1, -2.
        QTest::newRow("watchlist order") << WidgetSortOption::watchlist << ids("a b c d e");
        QTest::newRow("descending, ties stable, none last") << WidgetSortOption::changeDescending << ids("c a d e b");
        QTest::newRow("ascending, ties stable, none last") << WidgetSortOption::changeAscending << ids("e a d c b");
    }

    void sortRows()
    {
        QFETCH(WidgetSortOption, sort);
        QFETCH(QStringList, expected);
        const QList<WidgetRow> rows {row(QStringLiteral("a"), 1.0), row(QStringLiteral("b"), std::nullopt),
            row(QStringLiteral("c"), 3.0), row(QStringLiteral("d"), 1.0), row(QStringLiteral("e"), -2.0)};
        QStringList ids;
        for (const WidgetRow &sorted : Vantrell::sortRows(rows, sort))
            ids.append(sorted.id);
        QCOMPARE(ids, expected);
    }

    void makeRowKeepsCoinsWithoutMarketOrQuote()
    {
        CoinMetadata luna {QStringLiteral("terra-luna"), QStringLiteral("LUNC"), QStringLiteral("Terra Classic")};
        luna.status = CoinStatus::delisted;
        const QHash<QString, WidgetSnapshot::Quote> quotes {{QStringLiteral("terra-luna"), {0.0001, -3.0}}};
        QCOMPARE(
            makeRow(luna, quotes), (WidgetRow {luna.id, luna.symbol, luna.name, std::nullopt, false, 0.0001, -3.0}));

        CoinMetadata bitcoin {QStringLiteral("bitcoin"), QStringLiteral("BTC"), QStringLiteral("Bitcoin")};
        bitcoin.logoAssetName = QStringLiteral("coin-bitcoin");
        QCOMPARE(makeRow(bitcoin, quotes),
            (WidgetRow {bitcoin.id, bitcoin.symbol, bitcoin.name, QStringLiteral("coin-bitcoin"), true, {}, {}}));
    }

    void hasPrices_data()
    {
        QTest::addColumn<bool>("withTime");
        QTest::addColumn<bool>("withPrice");
        QTest::addColumn<bool>("expected");
        QTest::newRow("time and a price") << true << true << true;
        QTest::newRow("time, no price") << true << false << false;
        QTest::newRow("price, no time") << false << true << false;
    }

    void hasPrices()
    {
        QFETCH(bool, withTime);
        QFETCH(bool, withPrice);
        QFETCH(bool, expected);
        WidgetEntryContent content;
        content.rows = {row(QStringLiteral("a"), 1.0, std::nullopt),
            row(QStringLiteral("b"), 1.0, withPrice ? std::optional<double>(2.0) : std::nullopt)};
        if (withTime)
            content.updatedAt = kNow;
        QCOMPARE(content.hasPrices(), expected);
    }

    void changeText_data()
    {
        QTest::addColumn<bool>("hasMarket");
        QTest::addColumn<std::optional<double>>("change");
        QTest::addColumn<bool>("colorByChange");
        QTest::addColumn<QString>("upHex");
        QTest::addColumn<std::optional<WidgetChangeText::Text>>("expected");

        const QString up = QStringLiteral("#2CBD84");
        const auto text
            = [](const char *symbol, const char *number, std::optional<QColor> color, bool secondary = false) {
                  return std::optional<WidgetChangeText::Text>(
                      {{QString::fromUtf8(symbol), QString::fromUtf8(number), color}, secondary});
              };
        const QColor green(0x2C, 0xBD, 0x84);
        const QColor red(0xF6, 0x46, 0x5D);
        QTest::newRow("rise, coloured") << true << std::optional(2.31) << true << up << text("▲", "+2.31%", green);
        QTest::newRow("zero is a rise") << true << std::optional(0.0) << true << up << text("▲", "+0.00%", green);
        QTest::newRow("fall") << true << std::optional(-1.27) << true << up << text("▼", "-1.27%", red);
        QTest::newRow("tiny fall") << true << std::optional(-0.004) << true << up << text("▼", "-0.00%", red);
        QTest::newRow("colours off") << true << std::optional(2.31) << false << up << text("▲", "+2.31%", std::nullopt);
        QTest::newRow("unparsable colour")
            << true << std::optional(2.31) << true << QStringLiteral("green") << text("▲", "+2.31%", std::nullopt);
        QTest::newRow("no change") << true << std::optional<double>() << true << up
                                   << std::optional<WidgetChangeText::Text>();
        QTest::newRow("delisted, whatever the change")
            << false << std::optional(5.0) << true << up << text("", "coin.status.delisted", std::nullopt, true);
    }

    void changeText()
    {
        QFETCH(bool, hasMarket);
        QFETCH(std::optional<double>, change);
        QFETCH(bool, colorByChange);
        QFETCH(QString, upHex);
        QFETCH(std::optional<WidgetChangeText::Text>, expected);
        WidgetEntryContent content;
        content.colorByChange = colorByChange;
        content.upColorHex = upHex;
        WidgetRow coin = row(QStringLiteral("a"), change);
        coin.hasMarket = hasMarket;
        QCOMPARE(WidgetChangeText::make(coin, content, StringBundle()), expected);
    }

    // The header shows the snapshot's total only when asked and in its currency.
    void holdingsHeader_data()
    {
        QTest::addColumn<bool>("show");
        QTest::addColumn<bool>("inSnapshot");
        QTest::addColumn<BaseCurrency>("widgetCurrency");
        QTest::addColumn<std::optional<WidgetHoldingsText>>("expected");

        const QColor red(0xF6, 0x46, 0x5D);
        const auto header = [](const char *total, std::optional<SignalText> change) {
            return std::optional<WidgetHoldingsText>({QString::fromUtf8(total), change});
        };
        const SignalText fall {QStringLiteral("▼"), QStringLiteral("-1.25%"), red};
        QTest::newRow("shown") << true << true << BaseCurrency::eur << header("€12,346", fall);
        QTest::newRow("another currency") << true << true << BaseCurrency::usd << std::optional<WidgetHoldingsText>();
    }

    void holdingsHeader()
    {
        QFETCH(bool, show);
        QFETCH(bool, inSnapshot);
        QFETCH(BaseCurrency, widgetCurrency);
        QFETCH(std::optional<WidgetHoldingsText>, expected);
        WidgetSnapshot snapshot = snapshotOf({QStringLiteral("bitcoin")});
        snapshot.currency = BaseCurrency::eur;
        if (inSnapshot)
            snapshot.holdings = WidgetSnapshot::Holdings {12345.67, -1.25};
        WidgetEntryContent content;
        content.currency = widgetCurrency;
        content.holdings = widgetHoldings(show, snapshot, widgetCurrency);
        QCOMPARE(WidgetHoldingsText::make(content), expected);
    }

    void updatedText_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<QString>("run");
        QTest::addColumn<bool>("stale");

        // The update happened at 15:04 local time.
        QTest::newRow("english, fresh") << AppLanguage::en << 60 << "3:04 PM" << false;
        QTest::newRow("exactly 30 minutes is fresh") << AppLanguage::en << 1800 << "3:04 PM" << false;
        QTest::newRow("one second more warns") << AppLanguage::en << 1801 << "⚠︎ 3:04 PM" << true;
        QTest::newRow("simplified chinese") << AppLanguage::zhHans << 60 << "15:04" << false;
        QTest::newRow("traditional chinese") << AppLanguage::zhHant << 60 << "下午3:04" << false;
    }

    void updatedText()
    {
        QFETCH(AppLanguage, language);
        QFETCH(int, ageSeconds);
        QFETCH(QString, run);
        QFETCH(bool, stale);
        WidgetEntryContent content;
        content.language = language;
        content.updatedAt = QDateTime(QDate(2026, 3, 1), QTime(15, 4), Qt::LocalTime);
        const auto text = WidgetUpdatedText::make(content, content.updatedAt->addSecs(ageSeconds));
        QVERIFY(text);
        QCOMPARE(text->signal.run(), run);
        QCOMPARE(text->stale, stale);
        QCOMPARE(text->signal.color.has_value(), stale);
        QVERIFY(!WidgetUpdatedText::make(WidgetEntryContent(), kNow));
    }
};

QTEST_GUILESS_MAIN(TestWidgetContent)
#include "tst_widgetcontent.moc"
