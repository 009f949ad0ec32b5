// SPDX-License-Identifier: GPL-3.0-or-later
#include "faketimer.h"
#include "market/coincatalog.h"
#include "memorysettingsstore.h"
#include "platform/bundle.h"
#include "settings/settingsviewmodel.h"
#include "watchlist/watchlistreordersession.h"
#include "watchlist/watchlistviewmodel.h"

#include <QTest>

using namespace Vantrell;

namespace {

CoinMetadata record(const char *id, const char *symbol, const char *name, qint64 rank, bool listed = true)
{
    CoinMetadata coin;
    coin.id = QString::fromLatin1(id);
    coin.symbol = QString::fromLatin1(symbol);
    coin.name = QString::fromLatin1(name);
    coin.rank = rank;
    coin.listed = listed;
    return coin;
}

QList<WatchlistCoin> entries(const QStringList &ids)
{
    QList<WatchlistCoin> list;
    for (const QString &id : ids)
        list.append(WatchlistCoin {id, CoinAlertKind::notSet, 0});
    return list;
}

QStringList ids(const QList<WatchlistCoin> &list)
{
    QStringList result;
    for (const WatchlistCoin &entry : list)
        result.append(entry.coinId);
    return result;
}

QStringList ids(const QList<CoinMetadata> &coins)
{
    QStringList result;
    for (const CoinMetadata &coin : coins)
        result.append(coin.id);
    return result;
}

// A view model over a small catalog; "ghost" is a watchlist id the catalog does not know.
struct Rig
{
    explicit Rig(const QStringList &watchlist, const QString &displayed = QStringLiteral("bitcoin"))
        : store([&] {
            AppSettings settings;
            settings.watchlistCoins = entries(watchlist);
            settings.displayedCoinId = displayed;
            return settings;
        }())
        , settings(store)
        , catalog(
              {
                  record("bitcoin", "BTC", "Bitcoin", 1),
                  record("ethereum", "ETH", "Ethereum", 2),
                  record("wrapped-bitcoin", "WBTC", "Wrapped Bitcoin", 15),
                  record("bitcoin-cash", "BCH", "Bitcoin Cash", 20),
                  record("orbit", "ORB", "Orbit Chain", 30),
                  record("bitclout", "CLOUT", "BitClout", 40, false),
                  record("binance-peg-eth", "ETH", "Binance-Peg Ether", 50),
              },
              Bundle())
        , model(
              catalog, Bundle(), settings, [this] { ++reloads; }, timers)
    { }

    Test::MemorySettingsStore store;
    SettingsViewModel settings;
    CoinCatalog catalog;
    Test::FakeTimerFactory timers;
    int reloads = 0;
    WatchlistViewModel model;
};

} // namespace

class TestWatchlistViewModel final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseRecommendedSymbols_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("symbols");

        const QStringList defaults = WatchlistViewModel::defaultRecommendedSymbols();
        QTest::newRow("trimmed, upper-cased, empty dropped")
            << QByteArray(R"([" eth\n", "", "btc"])") << QStringList {QStringLiteral("ETH"), QStringLiteral("BTC")};
        QTest::newRow("only empty strings") << QByteArray(R"(["", "  "])") << defaults;
        QTest::newRow("empty array") << QByteArray("[]") << defaults;
        QTest::newRow("a number among strings") << QByteArray(R"(["BTC", 5])") << defaults;
        QTest::newRow("an object") << QByteArray(R"({"coins": ["BTC"]})") << defaults;
        QTest::newRow("not JSON") << QByteArray("BTC, ETH") << defaults;
    }

    void parseRecommendedSymbols()
    {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, symbols);
        QCOMPARE(
            WatchlistViewModel::parseRecommendedSymbols(json).value_or(WatchlistViewModel::defaultRecommendedSymbols()),
            symbols);
    }

    void search_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("found");

        QTest::newRow("symbol or name, any case, catalog order, unlisted left out")
            << QStringLiteral(" BiT ")
            << QStringList {QStringLiteral("bitcoin"), QStringLiteral("wrapped-bitcoin"),
                   QStringLiteral("bitcoin-cash"), QStringLiteral("orbit")};
        QTest::newRow("symbol only") << QStringLiteral("bch") << QStringList {QStringLiteral("bitcoin-cash")};
        QTest::newRow("blank") << QStringLiteral("   ") << QStringList();
        QTest::newRow("nothing matches") << QStringLiteral("zzz") << QStringList();
    }

    void search()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, found);
        Rig rig({});
        QCOMPARE(ids(rig.model.search(query)), found);
        rig.model.setSearchText(query);
        QCOMPARE(ids(rig.model.results()), query.trimmed().isEmpty() ? ids(rig.catalog.listedCoins()) : found);
    }

    void recommendedCoins()
    {
        Rig rig({QStringLiteral("ethereum")});
        // ETH twice in the catalog: the first in catalog order; HYPE and others are not in it.
        QCOMPARE(ids(rig.model.recommendedCoins()),
            (QStringList {QStringLiteral("bitcoin"), QStringLiteral("ethereum"), QStringLiteral("bitcoin-cash")}));
        QVERIFY(rig.model.isAdded(QStringLiteral("ethereum")));
        QVERIFY(!rig.model.isAdded(QStringLiteral("bitcoin")));
    }

    // Every edit is one save and one coin-list reload.
    void edit_data()
    {
        QTest::addColumn<QStringList>("watchlist");
        QTest::addColumn<QString>("displayed");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("coin");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("displayedAfter");

        const QString btc = QStringLiteral("bitcoin");
        const QString eth = QStringLiteral("ethereum");
        const QString ghost = QStringLiteral("ghost");
        const QString toggle = QStringLiteral("toggle");
        const QString remove = QStringLiteral("delete");
        QTest::newRow("toggle adds at the end")
            << QStringList {ghost, btc} << btc << toggle << eth << QStringList {ghost, btc, eth} << btc;
        QTest::newRow("toggle removes") << QStringList {btc, eth} << btc << toggle << eth << QStringList {btc} << btc;
        QTest::newRow("deleting the displayed coin shows the first remaining")
            << QStringList {btc, ghost, eth} << btc << remove << btc << QStringList {ghost, eth} << ghost;
        QTest::newRow("deleting the last coin shows bitcoin")
            << QStringList {eth} << eth << remove << eth << QStringList() << btc;
        QTest::newRow("deleting every entry of a coin listed twice")
            << QStringList {eth, btc, eth} << btc << remove << eth << QStringList {btc} << btc;
    }

    void edit()
    {
        QFETCH(QStringList, watchlist);
        QFETCH(QString, displayed);
        QFETCH(QString, edit);
        QFETCH(QString, coin);
        QFETCH(QStringList, after);
        QFETCH(QString, displayedAfter);

        Rig rig(watchlist, displayed);
        if (edit == QLatin1String("toggle"))
            rig.model.toggle(coin);
        else
            rig.model.deleteCoin(coin);
        QCOMPARE(ids(rig.store.stored->watchlistCoins), after);
        QCOMPARE(rig.store.stored->displayedCoinId, displayedAfter);
        QCOMPARE(rig.store.saves, 1);
        QCOMPARE(rig.reloads, 1);
    }

    void addedCoinHasChangeAlert()
    {
        Rig rig({QStringLiteral("bitcoin")});
        rig.model.setSearchText(QStringLiteral("e"));
        // ETH is the first result; Return adds it and leaves the panel's text alone.
        QCOMPARE(rig.model.submitSearch(), std::optional<QString>(QStringLiteral("ethereum")));
        QVERIFY(rig.settings.settings().watchlistCoins.constLast().isIdenticalTo(
            WatchlistCoin {QStringLiteral("ethereum"), CoinAlertKind::change, 2.0}));
        QCOMPARE(rig.model.searchText(), QStringLiteral("e"));
        QCOMPARE(rig.model.submitSearch(), std::optional<QString>(QStringLiteral("wrapped-bitcoin")));
    }

    void reordered_data()
    {
        QTest::addColumn<QStringList>("watchlist");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QStringList>("after"); // empty: nothing changes

        const QString a = QStringLiteral("a"), b = QStringLiteral("b"), c = QStringLiteral("c");
        const QString x = QStringLiteral("x"), y = QStringLiteral("y");
        QTest::newRow("unknown entries stay behind in their order")
            << QStringList {x, a, y, b, c} << QStringList {c, a, b} << QStringList {c, a, b, x, y};
        QTest::newRow("same order") << QStringList {a, b} << QStringList {a, b} << QStringList();
        QTest::newRow("only unknown entries would move")
            << QStringList {a, b, x} << QStringList {a, b} << QStringList();
        QTest::newRow("stale id skipped") << QStringList {a, b} << QStringList {c, b, a} << QStringList {b, a};
        QTest::newRow("a coin listed twice") << QStringList {a, b, a} << QStringList {b, a, a} << QStringList {b, a, a};
    }

    void reordered()
    {
        QFETCH(QStringList, watchlist);
        QFETCH(QStringList, order);
        QFETCH(QStringList, after);

        QList<WatchlistCoin> list = entries(watchlist);
        for (qsizetype i = 0; i < list.size(); ++i)
            list[i].notificationThreshold = double(i);
        const auto result = WatchlistViewModel::reordered(list, order);
        QCOMPARE(result.has_value(), !after.isEmpty());
        if (!result)
            return;
        QCOMPARE(ids(*result), after);
        // Every entry keeps its own alert: the thresholds are a permutation of the old ones.
        QList<double> thresholds;
        for (const WatchlistCoin &entry : *result)
            thresholds.append(entry.notificationThreshold);
        std::sort(thresholds.begin(), thresholds.end());
        for (qsizetype i = 0; i < thresholds.size(); ++i)
            QCOMPARE(thresholds.at(i), double(i));
    }

    void moveRowByKeyboard()
    {
        Rig rig({QStringLiteral("bitcoin"), QStringLiteral("ghost"), QStringLiteral("ethereum")});
        QCOMPARE(rig.model.moveRow(1, +1), std::optional<int>());
        QCOMPARE(rig.model.moveRow(1, -1), std::optional<int>(0));
        QCOMPARE(ids(rig.store.stored->watchlistCoins),
            (QStringList {QStringLiteral("ethereum"), QStringLiteral("bitcoin"), QStringLiteral("ghost")}));
        QCOMPARE(rig.reloads, 1);
    }

    // An edit during a drag ends the drag; the drop that follows commits nothing.
    void editCancelsDrag()
    {
        Rig rig({QStringLiteral("bitcoin"), QStringLiteral("ethereum")});
        WatchlistReorderSession &session = rig.model.reorderSession();
        session.setViewportHeight(400);
        rig.model.beginReorderDrag(0, 10);
        session.move(60);
        QCOMPARE(session.insertionIndex(), 1);
        rig.model.toggle(QStringLiteral("orbit"));
        QVERIFY(!session.isDragging());
        session.move(70);
        session.release();
        rig.timers.advance(std::chrono::seconds(1));
        QCOMPARE(ids(rig.store.stored->watchlistCoins),
            (QStringList {QStringLiteral("bitcoin"), QStringLiteral("ethereum"), QStringLiteral("orbit")}));
        QCOMPARE(rig.store.saves, 1);
    }

    void dragCommits()
    {
        Rig rig({QStringLiteral("bitcoin"), QStringLiteral("ghost"), QStringLiteral("ethereum")});
        WatchlistReorderSession &session = rig.model.reorderSession();
        session.setViewportHeight(400);
        session.setReduceMotion(true);
        rig.model.beginReorderDrag(1, 50);
        session.move(10);
        session.release();
        QCOMPARE(ids(rig.store.stored->watchlistCoins),
            (QStringList {QStringLiteral("ethereum"), QStringLiteral("bitcoin"), QStringLiteral("ghost")}));
        QCOMPARE(rig.reloads, 1);
    }

    // Kind and value through the settings: EUR at 0.9, coin priced 60,000 EUR.
    void alertControls()
    {
        Rig rig({QStringLiteral("bitcoin")});
        const QString btc = QStringLiteral("bitcoin");
        rig.model.setAlertKind(btc, CoinAlertKind::above, 60000, 0.9);
        QCOMPARE(rig.store.stored->watchlistCoins.constFirst().notificationThreshold, 68000.0);
        QCOMPARE(rig.model.alertValue(btc, 0.9), 61200.0);
        QCOMPARE(rig.store.saves, 1);

        rig.model.setAlertKind(btc, CoinAlertKind::above, 1, 0.9);
        QCOMPARE(rig.store.saves, 1); // same kind: nothing
        rig.model.setAlertValue(btc, 45, 0.9);
        QCOMPARE(rig.store.stored->watchlistCoins.constFirst().notificationThreshold, 50.0);
        QCOMPARE(rig.reloads, 0);

        rig.model.setAlertValue(QStringLiteral("ethereum"), 45, 0.9);
        QCOMPARE(rig.store.saves, 2);
        QCOMPARE(rig.model.alertValue(QStringLiteral("ethereum"), 0.9), 2.0);
    }
};

QTEST_GUILESS_MAIN(TestWatchlistViewModel)
#include "tst_watchlistviewmodel.moc"
