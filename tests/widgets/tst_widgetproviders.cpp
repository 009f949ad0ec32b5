// SPDX-License-Identifier: GPL-3.0-or-later
// Where a widget's prices come from: the application's snapshot while it is
// fresh, complete and in the right currency, else a fetch of the plug-in's
// own, else older snapshot prices in the same currency, else nothing.
#include "fakeclock.h"
#include "fakepriceservice.h"
#include "market/coincatalog.h"
#include "platform/bundle.h"
#include "widgetproviders.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;
using namespace Vantrell::Test;

namespace {

CoinMetadata coin(const char *id, const char *symbol, qint64 rank, CoinStatus status = CoinStatus::active)
{
    CoinMetadata record;
    record.id = QString::fromLatin1(id);
    record.symbol = QString::fromLatin1(symbol);
    record.name = record.id;
    record.rank = rank;
    record.status = status;
    return record;
}

QStringList split(const char *text)
{
    return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
}

// How the snapshot file looks in a case; no age means no file.
struct SnapshotCase
{
    std::optional<int> ageSeconds;
    BaseCurrency currency = BaseCurrency::usd;
    QStringList quoted;
};

enum class Answer { none, prices, failure };
enum class Time { none, snapshot, now };

} // namespace

Q_DECLARE_METATYPE(SnapshotCase)

class TestWidgetProviders final : public QObject
{
    Q_OBJECT

    CoinCatalog m_catalog {
        {coin("bitcoin", "BTC", 1), coin("ethereum", "ETH", 2), coin("solana", "SOL", 3),
            coin("oldcoin", "OLD", 4, CoinStatus::delisted), coin("movedcoin", "MOV", 5, CoinStatus::migrated)},
        Bundle()};

    static WidgetSnapshot snapshot(const FakeClock &clock, const SnapshotCase &shape)
    {
        WidgetSnapshot snapshot;
        snapshot.writtenAt = clock.now().addSecs(-*shape.ageSeconds);
        snapshot.language = AppLanguage::zhHans;
        snapshot.currency = shape.currency;
        snapshot.upColorHex = QStringLiteral("#F6465D");
        snapshot.downColorHex = QStringLiteral("#2CBD84");
        snapshot.displayedCoinId = QStringLiteral("ethereum");
        snapshot.watchlist = split("solana bitcoin");
        for (const QString &id : shape.quoted)
            snapshot.quotes.insert(id, {7.0, 1.5});
        return snapshot;
    }

private Q_SLOTS:
    void quoteSource_data()
    {
        QTest::addColumn<SnapshotCase>("file");
        QTest::addColumn<QStringList>("coins");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QStringList>("fetched"); // symbols asked for; empty: no request
        QTest::addColumn<Time>("time");
        QTest::addColumn<BaseCurrency>("shownCurrency");

        const QStringList btcEth = split("bitcoin ethereum");
        const SnapshotCase fresh {899, BaseCurrency::usd, btcEth};
        QTest::newRow("899 s old: the snapshot")
            << fresh << btcEth << "followApp" << Answer::none << QStringList() << Time::snapshot << BaseCurrency::usd;
        QTest::newRow("900 s old: a fetch") << SnapshotCase {900, BaseCurrency::usd, btcEth} << btcEth << "followApp"
                                            << Answer::prices << split("BTC ETH") << Time::now << BaseCurrency::usd;
        QTest::newRow("an active coin missing: a fetch of all")
            << SnapshotCase {10, BaseCurrency::usd, split("bitcoin")} << btcEth << "USD" << Answer::prices
            << split("BTC ETH") << Time::now << BaseCurrency::usd;
        QTest::newRow("delisted coins need no quote") << fresh << split("bitcoin oldcoin") << "USD" << Answer::none
                                                      << QStringList() << Time::snapshot << BaseCurrency::usd;
        QTest::newRow("another currency, fetch fails: no prices")
            << SnapshotCase {10, BaseCurrency::eur, btcEth} << btcEth << "USD" << Answer::failure << split("BTC ETH")
            << Time::none << BaseCurrency::usd;
        QTest::newRow("following the application's EUR")
            << SnapshotCase {10, BaseCurrency::eur, btcEth} << btcEth << "followApp" << Answer::none << QStringList()
            << Time::snapshot << BaseCurrency::eur;
        QTest::newRow("no snapshot, following: USD fetched")
            << SnapshotCase {} << btcEth << "followApp" << Answer::prices << split("BTC ETH") << Time::now
            << BaseCurrency::usd;
        QTest::newRow("fetch fails: old prices of the same currency")
            << SnapshotCase {5000, BaseCurrency::usd, btcEth} << btcEth << "followApp" << Answer::failure
            << split("BTC ETH") << Time::snapshot << BaseCurrency::usd;
        QTest::newRow("only delisted and migrated coins: no request")
            << SnapshotCase {} << split("oldcoin movedcoin") << "USD" << Answer::none << QStringList() << Time::none
            << BaseCurrency::usd;
        QTest::newRow("a snapshot dated ahead: a fetch")
            << SnapshotCase {-7200, BaseCurrency::usd, btcEth} << btcEth << "USD" << Answer::prices << split("BTC ETH")
            << Time::now << BaseCurrency::usd;
    }
    void quoteSource()
    {
        QFETCH(SnapshotCase, file);
        QFETCH(QStringList, coins);
        QFETCH(QString, currency);
        QFETCH(Answer, answer);
        QFETCH(QStringList, fetched);
        QFETCH(Time, time);
        QFETCH(BaseCurrency, shownCurrency);

        QTemporaryDir dir;
        const WidgetSnapshotStore store {dir.path()};
        FakeClock clock;
        if (file.ageSeconds)
            QVERIFY(store.write(snapshot(clock, file)));
        FakePriceService prices;
        if (answer == Answer::prices)
            prices.answerAtOnce = Result<PriceSnapshot>(makeSnapshot(
                {{QStringLiteral("BTC"), 100.0}, {QStringLiteral("ETH"), 10.0}}, 1.0, {{QStringLiteral("BTC"), -2.0}}));
        else if (answer == Answer::failure)
            prices.answerAtOnce = Result<PriceSnapshot>(MarketError::make(MarketError::Code::cannotLoadFromNetwork));
        WidgetContentMaker maker(m_catalog, prices, clock.clock());
        WidgetProviders providers(maker, store);

        std::optional<WidgetTimeline> result;
        const WidgetOptionValues values {{QStringLiteral("source"), QStringLiteral("manual")},
            {QStringLiteral("coins"), coins}, {QStringLiteral("currency"), currency},
            {QStringLiteral("sort"), QStringLiteral("watchlist")}, {QStringLiteral("colorByChange"), false}};
        providers.timeline(QStringLiteral("WatchlistWidget"), values, {WidgetFamily::medium, false},
            [&result](const WidgetTimeline &timeline) { result = timeline; });
        QVERIFY(result);

        if (fetched.isEmpty()) {
            QCOMPARE(prices.fetchCount(), 0);
        } else {
            QCOMPARE(prices.fetchCount(), 1);
            QCOMPARE(prices.last()->symbols, fetched);
        }
        const WidgetEntryContent &content = result->entry.content;
        QCOMPARE(content.currency, shownCurrency);
        QCOMPARE(content.colorByChange, false);
        QCOMPARE(result->entry.date, clock.now());
        QCOMPARE(result->reloadAfter, clock.now().addSecs(900));
        switch (time) {
        case Time::none:
            QCOMPARE(content.updatedAt, std::nullopt);
            QVERIFY(!content.hasPrices());
            break;
        case Time::snapshot:
            QCOMPARE(content.updatedAt, clock.now().addSecs(-*file.ageSeconds));
            QCOMPARE(content.rows.first().price, 7.0);
            break;
        case Time::now:
            QCOMPARE(content.updatedAt, clock.now());
            QCOMPARE(content.rows.first().price, 100.0);
            QCOMPARE(content.rows.first().change24hPercent, -2.0);
            QCOMPARE(content.rows.at(1).change24hPercent, std::nullopt);
            break;
        }
        // Language and colours come from the snapshot whenever there is one.
        QCOMPARE(content.language, file.ageSeconds ? AppLanguage::zhHans : AppLanguage::system);
        QCOMPARE(content.upColorHex, file.ageSeconds ? QStringLiteral("#F6465D") : QStringLiteral("#2CBD84"));
        QCOMPARE(content.rows.size(), coins.size());
    }

    void coinWidgetFollowsThePanelCoin_data()
    {
        QTest::addColumn<QVariant>("coin");
        QTest::addColumn<bool>("withSnapshot");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no coin chosen") << QVariant() << true << "ethereum";
        QTest::newRow("follow entity") << QVariant(QStringLiteral("follow-menu-bar")) << true << "ethereum";
        QTest::newRow("follow without snapshot") << QVariant(QStringLiteral("follow-menu-bar")) << false << "bitcoin";
        QTest::newRow("chosen coin") << QVariant(QStringLiteral("solana")) << true << "solana";
        QTest::newRow("coin gone from the catalog") << QVariant(QStringLiteral("gone")) << true << "";
    }
    void coinWidgetFollowsThePanelCoin()
    {
        QFETCH(QVariant, coin);
        QFETCH(bool, withSnapshot);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const WidgetSnapshotStore store {dir.path()};
        FakeClock clock;
        if (withSnapshot)
            QVERIFY(store.write(snapshot(clock, {10, BaseCurrency::usd, split("bitcoin ethereum solana")})));
        FakePriceService prices;
        prices.answerAtOnce = Result<PriceSnapshot>(MarketError::make(MarketError::Code::cannotLoadFromNetwork));
        WidgetContentMaker maker(m_catalog, prices, clock.clock());
        WidgetProviders providers(maker, store);
        WidgetOptionValues values;
        if (coin.isValid())
            values.insert(QStringLiteral("coin"), coin);
        std::optional<VantrellWidgetEntry> entry;
        providers.snapshot(QStringLiteral("CoinPriceWidget"), values, {WidgetFamily::small, false},
            [&entry](const VantrellWidgetEntry &e) { entry = e; });
        QVERIFY(entry);
        QCOMPARE(entry->content.rows.isEmpty() ? QString() : entry->content.rows.first().id, shown);
        QCOMPARE(entry->content.rows.size() <= 1, true);
    }

    void previewTouchesNeitherFileNorNetwork_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<WidgetFamily>("family");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("medium list") << "WatchlistWidget" << WidgetFamily::medium << split("bitcoin ethereum solana");
        QTest::newRow("large list") << "WatchlistWidget" << WidgetFamily::large << split("bitcoin ethereum solana");
        QTest::newRow("coin") << "CoinPriceWidget" << WidgetFamily::small << split("bitcoin");
    }
    void previewTouchesNeitherFileNorNetwork()
    {
        QFETCH(QString, kind);
        QFETCH(WidgetFamily, family);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const WidgetSnapshotStore store {dir.path()};
        FakeClock clock;
        QVERIFY(store.write(snapshot(clock, {10, BaseCurrency::eur, split("bitcoin ethereum")})));
        FakePriceService prices;
        WidgetContentMaker maker(m_catalog, prices, clock.clock());
        WidgetProviders providers(maker, store);
        std::optional<VantrellWidgetEntry> entry;
        providers.snapshot(kind, {}, {family, true}, [&entry](const VantrellWidgetEntry &e) { entry = e; });
        QVERIFY(entry);
        QCOMPARE(prices.fetchCount(), 0);
        QStringList shown;
        for (const WidgetRow &row : entry->content.rows)
            shown.append(row.id);
        // The sample table in USD (the small catalog lacks five of the eight sample coins).
        QCOMPARE(shown, expected);
        QCOMPARE(entry->content.currency, BaseCurrency::usd);
        QCOMPARE(entry->content.rows.first().price, 80585.0);
        QCOMPARE(entry->content.updatedAt, clock.now());
        QCOMPARE(entry->content, providers.placeholder(kind, {family, false}).content);
    }
};

QTEST_GUILESS_MAIN(TestWidgetProviders)
#include "tst_widgetproviders.moc"
