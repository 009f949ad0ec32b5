// SPDX-License-Identifier: GPL-3.0-or-later
// The two intents as the editor and the command line see them, and the coin
// pickers over a small catalog.
#include "market/coincatalog.h"
#include "platform/bundle.h"
#include "widgetintents.h"

#include <QTest>

using namespace Vantrell;

namespace {

CoinMetadata coin(const char *id, const char *symbol, const char *name, qint64 rank, bool listed = true)
{
    CoinMetadata record;
    record.id = QString::fromLatin1(id);
    record.symbol = QString::fromLatin1(symbol);
    record.name = QString::fromLatin1(name);
    record.rank = rank;
    record.listed = listed;
    return record;
}

QList<CoinMetadata> catalogCoins()
{
    return {coin("bitcoin", "BTC", "Bitcoin", 1), coin("ethereum", "ETH", "Ethereum", 2),
        coin("bittensor", "TAO", "Bittensor", 3), coin("bitget-token", "BGB", "Bitget Token", 4),
        coin("wrapped-bitcoin", "WBTC", "Wrapped Bitcoin", 5), coin("hidden", "HID", "Bit Hidden", 6, false),
        coin("solana", "SOL", "Solana", 7)};
}

QStringList ids(const QList<WidgetEntity> &entities)
{
    QStringList result;
    for (const WidgetEntity &entity : entities)
        result.append(entity.id);
    return result;
}

QStringList split(const char *text)
{
    return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class TestWidgetIntents final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kindsInGalleryOrder()
    {
        const QList<WidgetKind> kinds = vantrellWidgetKinds();
        QCOMPARE(kinds.size(), 2);
        QCOMPARE(kinds.at(0).kind, QStringLiteral("WatchlistWidget"));
        QCOMPARE(kinds.at(0).families, (QList<WidgetFamily> {WidgetFamily::medium, WidgetFamily::large}));
        QCOMPARE(kinds.at(1).kind, QStringLiteral("CoinPriceWidget"));
        QCOMPARE(kinds.at(1).families, QList<WidgetFamily> {WidgetFamily::small});
        QStringList names;
        for (const WidgetOption &option : kinds.at(0).intent.options)
            names.append(option.name);
        QCOMPARE(names, split("source coins sort currency colorByChange showCharts showHoldings"));
        names.clear();
        for (const WidgetOption &option : kinds.at(1).intent.options)
            names.append(option.name);
        QCOMPARE(names, split("coin currency colorByChange"));
        const WidgetOption *currency = kinds.at(1).intent.option(QStringLiteral("currency"));
        QCOMPARE(currency->choices.size(), 13);
        QCOMPARE(currency->choices.first().displayKey, QStringLiteral("widget.currency.followApp"));
        QCOMPARE(currency->choices.at(11).raw, QStringLiteral("EUR"));
        QVERIFY(currency->choices.at(11).displayKey.isEmpty());
    }

    void summaryHidesCoinsUnlessManual_data()
    {
        QTest::addColumn<QVariant>("source");
        QTest::addColumn<QStringList>("visible");
        QTest::newRow("default") << QVariant() << split("source sort currency colorByChange showCharts showHoldings");
        QTest::newRow("watchlist") << QVariant(QStringLiteral("watchlist"))
                                   << split("source sort currency colorByChange showCharts showHoldings");
        QTest::newRow("manual") << QVariant(QStringLiteral("manual"))
                                << split("source coins sort currency colorByChange showCharts showHoldings");
        QTest::newRow("unknown source reads as the default") << QVariant(
            QStringLiteral("Manual")) << split("source sort currency colorByChange showCharts showHoldings");
    }
    void summaryHidesCoinsUnlessManual()
    {
        QFETCH(QVariant, source);
        QFETCH(QStringList, visible);
        const WidgetKind kind = vantrellWidgetKinds().at(0);
        WidgetOptionValues values;
        if (source.isValid())
            values.insert(QStringLiteral("source"), source);
        values.insert(QStringLiteral("coins"), QStringList {QStringLiteral("bitcoin")});
        QCOMPARE(
            visibleOptionNames(kind.intent, resolvedOptionValues(kind.intent, WidgetFamily::medium, values)), visible);
    }

    void resolvedValues_data()
    {
        QTest::addColumn<WidgetFamily>("family");
        QTest::addColumn<WidgetOptionValues>("stored");
        QTest::addColumn<WidgetOptionValues>("expected");

        const auto defaults = [](QStringList coins = {}) {
            return WidgetOptionValues {{QStringLiteral("source"), QStringLiteral("watchlist")},
                {QStringLiteral("coins"), coins}, {QStringLiteral("sort"), QStringLiteral("watchlist")},
                {QStringLiteral("currency"), QStringLiteral("followApp")}, {QStringLiteral("colorByChange"), true},
                {QStringLiteral("showCharts"), true}, {QStringLiteral("showHoldings"), false}};
        };
        QTest::newRow("empty gives the defaults") << WidgetFamily::medium << WidgetOptionValues() << defaults();
        QTest::newRow("medium keeps 4 coins")
            << WidgetFamily::medium << WidgetOptionValues {{QStringLiteral("coins"), split("a b c d e f")}}
            << defaults(split("a b c d"));
        QTest::newRow("large keeps 8 coins, repeats dropped first")
            << WidgetFamily::large << WidgetOptionValues {{QStringLiteral("coins"), split("a a b c d e f g h i")}}
            << defaults(split("a b c d e f g h"));
        WidgetOptionValues wrong = defaults();
        wrong.insert(QStringLiteral("sort"), QStringLiteral("byName"));
        wrong.insert(QStringLiteral("colorByChange"), QStringLiteral("yes"));
        wrong.insert(QStringLiteral("coins"), QStringLiteral("bitcoin"));
        wrong.insert(QStringLiteral("unknown"), 3);
        QTest::newRow("invalid values fall back") << WidgetFamily::large << wrong << defaults();
    }
    void resolvedValues()
    {
        QFETCH(WidgetFamily, family);
        QFETCH(WidgetOptionValues, stored);
        QFETCH(WidgetOptionValues, expected);
        QCOMPARE(resolvedOptionValues(vantrellWidgetKinds().at(0).intent, family, stored), expected);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QStringList listed = split("bitcoin ethereum bittensor bitget-token wrapped-bitcoin solana");
        QTest::newRow("empty lists every listed coin") << QString() << listed;
        QTest::newRow("blanks only") << QStringLiteral(" \t ") << listed;
        QTest::newRow("trimmed, any case") << QStringLiteral("  BTC") << split("bitcoin wrapped-bitcoin");
        QTest::newRow("name or symbol substring")
            << QStringLiteral("bit") << split("bitcoin bittensor bitget-token wrapped-bitcoin");
        QTest::newRow("the id is not searched") << QStringLiteral("wrapped-") << QStringList();
        QTest::newRow("a line break is not trimmed") << QStringLiteral("btc\n") << QStringList();
        QTest::newRow("unlisted coins never") << QStringLiteral("hidden") << QStringList();
    }
    void search()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        const CoinCatalog catalog(catalogCoins(), Bundle());
        const WidgetCoinQueries queries(catalog, QStringLiteral("Same as Panel"));
        QCOMPARE(ids(queries.entitiesMatching(text)), expected);
    }

    void entitiesForIdentifiers_data()
    {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<bool>("follow");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("given order, unknown skipped")
            << split("solana gone bitcoin") << false << split("solana bitcoin");
        QTest::newRow("unlisted coins still resolve") << split("hidden") << false << split("hidden");
        QTest::newRow("follow entity first for the coin widget")
            << split("ethereum follow-menu-bar") << true << split("follow-menu-bar ethereum");
        QTest::newRow("no follow entity for the list widget")
            << split("follow-menu-bar ethereum") << false << split("ethereum");
    }
    void entitiesForIdentifiers()
    {
        QFETCH(QStringList, given);
        QFETCH(bool, follow);
        QFETCH(QStringList, expected);
        const CoinCatalog catalog(catalogCoins(), Bundle());
        const WidgetCoinQueries queries(catalog, QStringLiteral("Same as Panel"));
        const QList<WidgetEntity> entities = queries.entitiesForIdentifiers(given, follow);
        QCOMPARE(ids(entities), expected);
        if (follow)
            QCOMPARE(entities.first(),
                (WidgetEntity {QStringLiteral("follow-menu-bar"), QStringLiteral("Same as Panel"), {}}));
    }

    void suggestions()
    {
        const CoinCatalog catalog(catalogCoins(), Bundle());
        const WidgetCoinQueries queries(catalog, QStringLiteral("Same as Panel"));
        QCOMPARE(ids(queries.suggestedEntities(false)), ids(queries.entitiesMatching({})));
        QCOMPARE(ids(queries.suggestedEntities(true)).mid(1), ids(queries.entitiesMatching({})));
        QCOMPARE(queries.suggestedEntities(true).first().id, QStringLiteral("follow-menu-bar"));
        QCOMPARE(queries.suggestedEntities(false).first(),
            (WidgetEntity {QStringLiteral("bitcoin"), QStringLiteral("BTC"), QStringLiteral("Bitcoin")}));
    }
};

QTEST_GUILESS_MAIN(TestWidgetIntents)
#include "tst_widgetintents.moc"
