// SPDX-License-Identifier: GPL-3.0-or-later
#include "faketimer.h"
#include "market/coincatalog.h"
#include "memorysettingsstore.h"
#include "platform/bundle.h"
#include "settingsstore/settingsviewmodel.h"
#include "watchlist/watchlistreordersession.h"
#include "watchlist/watchlistviewmodel.h"

#include <QTest>

using namespace Vantrell;

namespace {

// "a b c" → {"a", "b", "c"}
QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

template<typename Records>
QStringList ids(const Records &records)
{
    QStringList result;
    for (const auto &record : records) {
        if constexpr (requires { record.coinId; })
            result.append(record.coinId);
        else
            result.append(record.id);
    }
    return result;
}

CoinMetadata record(const char *id, const char *symbol, const char *name, qint64 rank, bool listed = true)
{
    return CoinMetadata {QString::fromLatin1(id), QString::fromLatin1(symbol), QString::fromLatin1(name), rank, {},
        CoinStatus::active, listed, {}, {}};
}

AppSettings settingsWith(const QStringList &watchlist, const QString &displayed)
{
    AppSettings settings;
    settings.watchlistCoins.clear();
    for (const QString &id : watchlist)
        settings.watchlistCoins.append(
            WatchlistCoin {id, CoinAlertKind::notSet, double(settings.watchlistCoins.size())});
    settings.displayedCoinId = displayed;
    return settings;
}

// A view model over a small catalog; "ghost" is a watchlist id the catalog does not know.
struct Rig
{
    explicit Rig(const char *watchlist, const char *displayed = "bitcoin")
        : store(settingsWith(words(watchlist), QString::fromLatin1(displayed)))
        , settings(store)
        , catalog({record("bitcoin", "BTC", "Bitcoin", 1), record("ethereum", "ETH", "Ethereum", 2),
                      record("wrapped-bitcoin", "WBTC", "Wrapped Bitcoin", 15),
                      record("bitcoin-cash", "BCH", "Bitcoin Cash", 20), record("orbit", "ORB", "Orbit Chain", 30),
                      record("bitclout", "CLOUT", "BitClout", 40, false),
                      record("binance-peg-eth", "ETH", "Binance-Peg Ether", 50)},
              Bundle())
        , model(
              catalog, Bundle(), settings, [this] { ++reloads; }, timers, systemClock())
    { }

    QStringList stored() const { return ids(store.stored->watchlistCoins); }

    Test::MemorySettingsStore store;
    SettingsViewModel settings;
    CoinCatalog catalog;
    Test::FakeTimerFactory timers;
    int reloads = 0;
    WatchlistViewModel model;
};

using Model = WatchlistViewModel;

struct EditCase
{
    const char *watchlist;
    const char *displayed;
    std::function<void(Model &)> edit;
    const char *after;
    const char *displayedAfter;
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
            << QByteArray(R"([" eth\n", "", "btc"])") << words("ETH BTC");
        QTest::newRow("only empty strings") << QByteArray(R"(["", "  "])") << defaults;
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
            << QStringLiteral(" BiT ") << words("bitcoin wrapped-bitcoin bitcoin-cash orbit");
        QTest::newRow("symbol only") << QStringLiteral("bch") << words("bitcoin-cash");
        QTest::newRow("blank") << QStringLiteral("   ") << QStringList();
    }

    void search()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, found);
        Rig rig("");
        QCOMPARE(ids(rig.model.search(query)), found);
        rig.model.setSearchText(query);
        QCOMPARE(ids(rig.model.results()), query.trimmed().isEmpty() ? ids(rig.catalog.listedCoins()) : found);
    }

    void recommendedCoins()
    {
        Rig rig("ethereum");
        // ETH twice in the catalog: the first in catalog order; symbols without a coin are skipped.
        QCOMPARE(ids(rig.model.recommendedCoins()), words("bitcoin ethereum bitcoin-cash"));
        QVERIFY(rig.model.isAdded(QStringLiteral("ethereum")));
        QVERIFY(!rig.model.isAdded(QStringLiteral("bitcoin")));
    }

    // Every edit is one save and one coin-list reload; a new coin comes with a 2 % change alert.
    void edit_data()
    {
        QTest::addColumn<EditCase>("c");
        const QString btc = QStringLiteral("bitcoin"), eth = QStringLiteral("ethereum");
        QTest::newRow("toggle adds at the end") << EditCase {
            "ghost bitcoin", "bitcoin", [=](Model &m) { m.toggle(eth); }, "ghost bitcoin ethereum", "bitcoin"};
        QTest::newRow("toggle removes") << EditCase {
            "bitcoin ethereum", "bitcoin", [=](Model &m) { m.toggle(eth); }, "bitcoin", "bitcoin"};
        QTest::newRow("deleting the displayed coin shows the first remaining") << EditCase {
            "bitcoin ghost ethereum", "bitcoin", [=](Model &m) { m.deleteCoin(btc); }, "ghost ethereum", "ghost"};
        QTest::newRow("deleting the last coin shows bitcoin")
            << EditCase {"ethereum", "ethereum", [=](Model &m) { m.deleteCoin(eth); }, "", "bitcoin"};
        QTest::newRow("deleting a coin listed twice") << EditCase {
            "ethereum bitcoin ethereum", "bitcoin", [=](Model &m) { m.deleteCoin(eth); }, "bitcoin", "bitcoin"};
        QTest::newRow("Return adds the first result not yet added") << EditCase {"ethereum", "ethereum",
            [](Model &m) {
                m.setSearchText(QStringLiteral("e"));
                QCOMPARE(m.submitSearch(), std::optional<QString>(QStringLiteral("wrapped-bitcoin")));
            },
            "ethereum wrapped-bitcoin", "ethereum"};
        QTest::newRow("Alt+Up, unknown entries behind") << EditCase {"bitcoin ghost ethereum", "bitcoin",
            [](Model &m) { QCOMPARE(m.moveRow(1, -1), std::optional<int>(0)); }, "ethereum bitcoin ghost", "bitcoin"};
    }

    void edit()
    {
        QFETCH(EditCase, c);
        Rig rig(c.watchlist, c.displayed);
        c.edit(rig.model);
        QCOMPARE(rig.stored(), words(c.after));
        QCOMPARE(rig.store.stored->displayedCoinId, QString::fromLatin1(c.displayedAfter));
        QCOMPARE(rig.store.saves, 1);
        QCOMPARE(rig.reloads, 1);
        for (const WatchlistCoin &entry : rig.store.stored->watchlistCoins) {
            if (!words(c.watchlist).contains(entry.coinId))
                QVERIFY(entry.isIdenticalTo(WatchlistCoin {entry.coinId, CoinAlertKind::change, 2.0}));
        }
    }

    void reordered_data()
    {
        QTest::addColumn<QString>("watchlist");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("after"); // empty: nothing changes

        QTest::newRow("unknown entries stay behind in their order") << "x a y b c"
                                                                    << "c a b"
                                                                    << "c a b x y";
        QTest::newRow("same order") << "a b"
                                    << "a b"
                                    << "";
        QTest::newRow("only unknown entries would move") << "a b x"
                                                         << "a b"
                                                         << "";
        QTest::newRow("stale id skipped") << "a b"
                                          << "c b a"
                                          << "b a";
        QTest::newRow("a coin listed twice") << "a b a"
                                             << "b a a"
                                             << "b a a";
    }

    void reordered()
    {
        QFETCH(QString, watchlist);
        QFETCH(QString, order);
        QFETCH(QString, after);

        const QList<WatchlistCoin> list = settingsWith(words(qPrintable(watchlist)), {}).watchlistCoins;
        const auto result
            = WatchlistViewModel::reordered(list, words(qPrintable(order))).value_or(QList<WatchlistCoin>());
        QCOMPARE(ids(result), words(qPrintable(after)));
        // Each entry keeps its own alert (its threshold is its old index), also when its coin is listed twice.
        QSet<int> seen;
        for (const WatchlistCoin &entry : result) {
            QCOMPARE(entry.coinId, list.at(qsizetype(entry.notificationThreshold)).coinId);
            seen.insert(int(entry.notificationThreshold));
        }
        QCOMPARE(seen.size(), result.size());
    }

    // A drop commits the displayed rows with the unknown entry behind them; an
    // edit during the drag ends it, and the rest of the gesture commits nothing.
    void drag_data()
    {
        QTest::addColumn<bool>("editDuringDrag");
        QTest::addColumn<QString>("after");
        QTest::newRow("drop") << false << "ethereum bitcoin ghost";
        QTest::newRow("edit during the drag") << true << "bitcoin ghost ethereum orbit";
    }

    void drag()
    {
        QFETCH(bool, editDuringDrag);
        QFETCH(QString, after);
        Rig rig("bitcoin ghost ethereum");
        WatchlistReorderSession &session = rig.model.reorderSession();
        session.setViewportHeight(400);
        rig.model.beginReorderDrag(1, 50);
        session.move(10);
        QCOMPARE(session.insertionIndex(), 0);
        if (editDuringDrag)
            rig.model.toggle(QStringLiteral("orbit"));
        session.move(12);
        session.release();
        rig.timers.advance(std::chrono::seconds(1));
        QCOMPARE(rig.stored(), words(qPrintable(after)));
        QCOMPARE(rig.store.saves, 1);
        QCOMPARE(rig.reloads, 1);
    }

    // Alert edits save once each and leave the coin list alone; a coin not watched takes none.
    void alertEdits()
    {
        Rig rig("bitcoin");
        const QString btc = QStringLiteral("bitcoin");
        rig.model.setAlertKind(btc, CoinAlertKind::above, 60000, 0.9);
        rig.model.setAlertKind(btc, CoinAlertKind::above, 1, 0.9);
        QCOMPARE(rig.model.alertValue(btc, 0.9), 61200.0);
        rig.model.setAlertValue(btc, 45, 0.9);
        rig.model.setAlertValue(QStringLiteral("ethereum"), 45, 0.9);
        QCOMPARE(rig.store.stored->watchlistCoins.constFirst().notificationThreshold, 50.0);
        QCOMPARE(rig.store.saves, 2);
        QCOMPARE(rig.reloads, 0);
    }
};

QTEST_GUILESS_MAIN(TestWatchlistViewModel)
#include "tst_watchlistviewmodel.moc"
