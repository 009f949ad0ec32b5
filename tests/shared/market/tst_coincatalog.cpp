// SPDX-License-Identifier: GPL-3.0-or-later
#include "logcapture.h"
#include "market/coincatalog.h"
#include "platform/bundle.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Vantrell;

namespace {

using Coins = QList<CoinMetadata>;
using Watchlist = QList<WatchlistCoin>;

CoinMetadata coin(const QString &id, const QString &symbol, std::optional<qint64> rank = std::nullopt,
    CoinStatus status = CoinStatus::active, bool listed = true)
{
    CoinMetadata c;
    c.id = id;
    c.symbol = symbol;
    c.name = id;
    c.rank = rank;
    c.status = status;
    c.listed = listed;
    return c;
}

CoinMetadata migrated(const QString &id, const QString &symbol, std::optional<QString> to)
{
    CoinMetadata c = coin(id, symbol, std::nullopt, CoinStatus::migrated, false);
    c.migratedTo = std::move(to);
    return c;
}

// bitcoin and ethereum plus filler coins, `listed` of them listed in all.
Coins validCoins(qsizetype listed = 200)
{
    Coins coins {coin(QStringLiteral("bitcoin"), QStringLiteral("BTC"), 1),
        coin(QStringLiteral("ethereum"), QStringLiteral("ETH"), 2)};
    for (qsizetype i = 2; i < listed; ++i)
        coins.append(coin(QStringLiteral("coin-%1").arg(i), QStringLiteral("C%1").arg(i), i + 1));
    return coins;
}

Coins withExtra(std::initializer_list<CoinMetadata> extra, qsizetype listed = 200)
{
    Coins coins = validCoins(listed);
    coins.append(extra);
    return coins;
}

QJsonObject toJson(const CoinMetadata &c)
{
    QJsonObject object {{QStringLiteral("id"), c.id}, {QStringLiteral("symbol"), c.symbol},
        {QStringLiteral("name"), c.name}, {QStringLiteral("status"), coinStatusRawValue(c.status)},
        {QStringLiteral("listed"), c.listed}};
    if (c.rank)
        object.insert(QStringLiteral("rank"), *c.rank);
    if (c.logoURL)
        object.insert(QStringLiteral("logoURL"), *c.logoURL);
    if (c.migratedTo)
        object.insert(QStringLiteral("migratedTo"), *c.migratedTo);
    return object;
}

QByteArray catalogJson(const Coins &coins, qint64 schemaVersion = 1)
{
    QJsonArray array;
    for (const auto &c : coins)
        array.append(toJson(c));
    return QJsonDocument(
        QJsonObject {{QStringLiteral("schemaVersion"), schemaVersion}, {QStringLiteral("coins"), array}})
        .toJson(QJsonDocument::Compact);
}

// JSON written with single quotes, which keeps the test tables readable.
QByteArray json(const char *singleQuoted)
{
    return QByteArray(singleQuoted).replace('\'', '"');
}

// A catalog document whose records are given in single-quoted JSON.
QByteArray documentWithRecord(const char *records)
{
    return json("{'schemaVersion': 1, 'coins': [") + json(records) + "]}";
}

QStringList strings(std::initializer_list<const char *> items)
{
    QStringList out;
    for (const char *item : items)
        out.append(QString::fromUtf8(item));
    return out;
}

QStringList ids(const Coins &coins)
{
    QStringList out;
    for (const auto &c : coins)
        out.append(c.id);
    return out;
}

WatchlistCoin entry(const char *id, CoinAlertKind kind = CoinAlertKind::change, double threshold = 2.0)
{
    return WatchlistCoin {QLatin1String(id), kind, threshold};
}

} // namespace

class TestCoinCatalog final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validate_data()
    {
        QTest::addColumn<qint64>("schemaVersion");
        QTest::addColumn<Coins>("coins");
        QTest::addColumn<QStringList>("problems");

        const auto withLogo = [](const QString &url) {
            CoinMetadata c = coin(QStringLiteral("logo"), QStringLiteral("LOGO"));
            c.logoURL = url;
            return withExtra({c});
        };
        const QString id80 = QStringLiteral("a").repeated(80);
        const QString id81 = QStringLiteral("a").repeated(81);
        const auto named = [](CoinMetadata c) {
            c.name = QStringLiteral("Named");
            return c;
        };
        // Sixty family emoji: 60 user-perceived characters but 660 UTF-16 units.
        const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        CoinMetadata longName = coin(QStringLiteral("long"), QStringLiteral("LONG"));
        longName.name = family.repeated(60);
        CoinMetadata tooLongName = coin(QStringLiteral("toolong"), QStringLiteral("TOOLONG"));
        tooLongName.name = QStringLiteral("e\u0301").repeated(60) + QLatin1Char('x');
        CoinMetadata emptyName = coin(QStringLiteral("nameless"), QStringLiteral("NN"));
        emptyName.name.clear();
        CoinMetadata allWrong = migrated(QStringLiteral("Bad_ID"), QStringLiteral("bad"), std::nullopt);
        allWrong.name.clear();
        allWrong.rank = 0;
        allWrong.logoURL = QStringLiteral("https://example.com/x.png");
        allWrong.listed = true;
        Coins bitcoinUnlisted = validCoins(201);
        bitcoinUnlisted[0].listed = false;
        Coins bitcoinDelisted = validCoins();
        bitcoinDelisted[0].status = CoinStatus::delisted;
        Coins noMajors = validCoins(202).mid(2);
        Coins duplicates
            = withExtra({coin(QStringLiteral("coin-5"), QStringLiteral("X5"), 9, CoinStatus::delisted, false),
                coin(QStringLiteral("coin-5"), QStringLiteral("Y5"), 9, CoinStatus::delisted, false),
                coin(QStringLiteral("coin-6"), QStringLiteral("X6"), 9, CoinStatus::delisted, false)});

        QTest::newRow("valid") << qint64(1) << validCoins() << QStringList {};
        QTest::newRow("schema 2 stops at once")
            << qint64(2) << Coins {coin(QStringLiteral("-x"), QStringLiteral("x"))} << strings({"schemaVersion 2"});
        QTest::newRow("schema 0") << qint64(0) << validCoins() << strings({"schemaVersion 0"});
        QTest::newRow("duplicate ids reported once") << qint64(1) << duplicates << strings({"duplicate id"});
        QTest::newRow("199 listed") << qint64(1) << validCoins(199) << strings({"listed count 199"});
        QTest::newRow("1000 listed") << qint64(1) << validCoins(1000) << QStringList {};
        QTest::newRow("1001 listed") << qint64(1) << validCoins(1001) << strings({"listed count 1001"});
        QTest::newRow("empty") << qint64(1) << Coins {}
                               << strings({"listed count 0", "missing tradable bitcoin", "missing tradable ethereum"});
        QTest::newRow("bitcoin unlisted") << qint64(1) << bitcoinUnlisted << strings({"missing tradable bitcoin"});
        QTest::newRow("bitcoin delisted")
            << qint64(1) << bitcoinDelisted << strings({"missing tradable bitcoin", "bitcoin: listed but not active"});
        QTest::newRow("majors absent") << qint64(1) << noMajors
                                       << strings({"missing tradable bitcoin", "missing tradable ethereum"});
        QTest::newRow("active symbol twice, one unlisted")
            << qint64(1)
            << withExtra({coin(QStringLiteral("abc"), QStringLiteral("ABC")),
                   coin(QStringLiteral("abc-2"), QStringLiteral("ABC"), 5, CoinStatus::active, false)})
            << strings({"duplicate active symbol"});
        QTest::newRow("delisted shares a symbol")
            << qint64(1)
            << withExtra({coin(QStringLiteral("old-btc"), QStringLiteral("BTC"), 3, CoinStatus::delisted, false)})
            << QStringList {};
        QTest::newRow("id starts with hyphen")
            << qint64(1) << withExtra({coin(QStringLiteral("-btc"), QStringLiteral("XBTC"))}) << strings({"-btc: id"});
        QTest::newRow("id of 80") << qint64(1) << withExtra({named(coin(id80, QStringLiteral("A80")))})
                                  << QStringList {};
        QTest::newRow("id of 81") << qint64(1) << withExtra({named(coin(id81, QStringLiteral("A81")))})
                                  << QStringList {id81 + QStringLiteral(": id")};
        QTest::newRow("id upper case") << qint64(1) << withExtra({coin(QStringLiteral("Dog"), QStringLiteral("DOG"))})
                                       << strings({"Dog: id"});
        QTest::newRow("symbol lower case")
            << qint64(1) << withExtra({coin(QStringLiteral("x"), QStringLiteral("btc"))}) << strings({"x: symbol"});
        QTest::newRow("symbol of 15") << qint64(1)
                                      << withExtra({coin(QStringLiteral("x"), QStringLiteral("ABCDEFGHIJKLMNO"))})
                                      << QStringList {};
        QTest::newRow("symbol of 16") << qint64(1)
                                      << withExtra({coin(QStringLiteral("x"), QStringLiteral("ABCDEFGHIJKLMNOP"))})
                                      << strings({"x: symbol"});
        QTest::newRow("symbol with dot") << qint64(1) << withExtra({coin(QStringLiteral("x"), QStringLiteral("BRG.X"))})
                                         << strings({"x: symbol"});
        QTest::newRow("name empty") << qint64(1) << withExtra({emptyName}) << strings({"nameless: name"});
        QTest::newRow("name of 60 clusters") << qint64(1) << withExtra({longName}) << QStringList {};
        QTest::newRow("name of 61 clusters") << qint64(1) << withExtra({tooLongName}) << strings({"toolong: name"});
        QTest::newRow("rank 0") << qint64(1) << withExtra({coin(QStringLiteral("x"), QStringLiteral("X"), 0)})
                                << strings({"x: rank"});
        QTest::newRow("rank negative") << qint64(1) << withExtra({coin(QStringLiteral("x"), QStringLiteral("X"), -3)})
                                       << strings({"x: rank"});
        QTest::newRow("logo on assets host")
            << qint64(1) << withLogo(QStringLiteral("https://assets.coingecko.com/coins/1.png")) << QStringList {};
        QTest::newRow("logo on coin-images host, plain http")
            << qint64(1) << withLogo(QStringLiteral("http://coin-images.coingecko.com/coins/1.svg")) << QStringList {};
        QTest::newRow("logo elsewhere") << qint64(1) << withLogo(QStringLiteral("https://example.com/1.png"))
                                        << strings({"logo: logo host"});
        QTest::newRow("logo host as a prefix")
            << qint64(1) << withLogo(QStringLiteral("https://assets.coingecko.com.example.com/1.png"))
            << strings({"logo: logo host"});
        QTest::newRow("logo on a subdomain")
            << qint64(1) << withLogo(QStringLiteral("https://x.assets.coingecko.com/1.png"))
            << strings({"logo: logo host"});
        QTest::newRow("logo without host")
            << qint64(1) << withLogo(QStringLiteral("assets.coingecko.com/1.png")) << strings({"logo: logo host"});
        QTest::newRow("logo unparseable") << qint64(1) << withLogo(QStringLiteral("https://assets.coingecko.com:x/1"))
                                          << strings({"logo: logo host"});
        QTest::newRow("logo empty") << qint64(1) << withLogo(QString()) << strings({"logo: logo host"});
        QTest::newRow("migration to active")
            << qint64(1)
            << withExtra({migrated(QStringLiteral("old"), QStringLiteral("OLD"), QStringLiteral("bitcoin"))})
            << QStringList {};
        QTest::newRow("migration without target")
            << qint64(1) << withExtra({migrated(QStringLiteral("old"), QStringLiteral("OLD"), std::nullopt)})
            << strings({"old: migratedTo missing"});
        QTest::newRow("migration to unknown id")
            << qint64(1) << withExtra({migrated(QStringLiteral("old"), QStringLiteral("OLD"), QStringLiteral("nope"))})
            << strings({"old: migratedTo missing"});
        QTest::newRow("migration to delisted")
            << qint64(1)
            << withExtra({migrated(QStringLiteral("old"), QStringLiteral("OLD"), QStringLiteral("dead")),
                   coin(QStringLiteral("dead"), QStringLiteral("DEAD"), 3, CoinStatus::delisted, false)})
            << strings({"old: migration target not active"});
        QTest::newRow("migration chain")
            << qint64(1)
            << withExtra({migrated(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("b")),
                   migrated(QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("bitcoin"))})
            << strings({"a: migration target not active"});
        QTest::newRow("every record rule, in order")
            << qint64(1) << withExtra({allWrong})
            << strings({"Bad_ID: id", "Bad_ID: symbol", "Bad_ID: name", "Bad_ID: rank", "Bad_ID: logo host",
                   "Bad_ID: listed but not active", "Bad_ID: migratedTo missing"});
        QTest::newRow("global problems before record problems, records in file order")
            << qint64(1)
            << Coins {coin(QStringLiteral("z"), QStringLiteral("z")), coin(QStringLiteral("a"), QStringLiteral("a")),
                   coin(QStringLiteral("z"), QStringLiteral("Z"))}
            << strings({"duplicate id", "listed count 3", "missing tradable bitcoin", "missing tradable ethereum",
                   "z: symbol", "a: symbol"});
    }

    void validate()
    {
        QFETCH(qint64, schemaVersion);
        QFETCH(Coins, coins);
        QFETCH(QStringList, problems);
        QCOMPARE(CoinCatalog::validate(schemaVersion, coins), problems);
    }

    void decodeRejects_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("error");

        const auto row = [](const char *name, const QByteArray &document, const char *error) {
            QTest::newRow(name) << document << QString::fromUtf8(error);
        };
        row("empty", QByteArray(), "not JSON: ");
        row("truncated", catalogJson(validCoins()).chopped(3), "not JSON: ");
        row("trailing garbage", catalogJson(validCoins()) + "x", "not JSON: ");
        row("top-level array", "[]", "top level: not an object");
        row("schemaVersion missing", json("{'coins': []}"), "schemaVersion: missing");
        row("schemaVersion fraction", json("{'schemaVersion': 1.5, 'coins': []}"), "schemaVersion: not a whole number");
        row("schemaVersion string", json("{'schemaVersion': '1', 'coins': []}"), "schemaVersion: not a whole number");
        row("coins missing", json("{'schemaVersion': 1}"), "coins: missing");
        row("coins an object", json("{'schemaVersion': 1, 'coins': {}}"), "coins: not an array");
        row("record not an object", documentWithRecord("7"), "coins[0]: not an object");
        row("id missing", documentWithRecord("{'symbol':'X','name':'X','status':'active','listed':true}"),
            "coins[0].id: missing");
        row("id null", documentWithRecord("{'id':null,'symbol':'X','name':'X','status':'active','listed':true}"),
            "coins[0].id: not a string");
        row("symbol missing", documentWithRecord("{'id':'x','name':'X','status':'active','listed':true}"),
            "coins[0].symbol: missing");
        row("name a number", documentWithRecord("{'id':'x','symbol':'X','name':5,'status':'active','listed':true}"),
            "coins[0].name: not a string");
        row("status missing", documentWithRecord("{'id':'x','symbol':'X','name':'X','listed':true}"),
            "coins[0].status: missing");
        row("status unknown", documentWithRecord("{'id':'x','symbol':'X','name':'X','status':'Active','listed':true}"),
            "coins[0].status: unknown status \"Active\"");
        row("listed missing", documentWithRecord("{'id':'x','symbol':'X','name':'X','status':'active'}"),
            "coins[0].listed: missing");
        row("listed a string",
            documentWithRecord("{'id':'x','symbol':'X','name':'X','status':'active','listed':'true'}"),
            "coins[0].listed: not a boolean");
        row("rank fraction",
            documentWithRecord("{'id':'x','symbol':'X','name':'X','rank':1.5,'status':'active','listed':true}"),
            "coins[0].rank: not a whole number");
        row("rank past 64 bits",
            documentWithRecord(
                "{'id':'x','symbol':'X','name':'X','rank':9223372036854775808,'status':'active','listed':true}"),
            "coins[0].rank: not a whole number");
        row("rank a string",
            documentWithRecord("{'id':'x','symbol':'X','name':'X','rank':'1','status':'active','listed':true}"),
            "coins[0].rank: not a whole number");
        row("logoURL a number",
            documentWithRecord("{'id':'x','symbol':'X','name':'X','logoURL':1,'status':'active','listed':true}"),
            "coins[0].logoURL: not a string");
        row("migratedTo an array",
            documentWithRecord("{'id':'x','symbol':'X','name':'X','status':'migrated','listed':false,'migratedTo':[]}"),
            "coins[0].migratedTo: not a string");
        row("second record broken",
            documentWithRecord("{'id':'x','symbol':'X','name':'X','status':'active','listed':true},{'id':'y'}"),
            "coins[1].symbol: missing");
    }

    void decodeRejects()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, error);
        QString actual;
        QVERIFY(!CoinCatalog::decode(document, &actual));
        QVERIFY2(actual.startsWith(error), qPrintable(actual));
    }

    void decodeReadsEveryKey()
    {
        const QByteArray document = json(
            "{'schemaVersion': 1, 'extra': true, 'coins': ["
            "{'id':'a','symbol':'A','name':'Ä','rank':9223372036854775807,'logoURL':'https://assets.coingecko.com/a',"
            "'status':'migrated','listed':false,'migratedTo':'b','color':'red'},"
            "{'id':'b','symbol':'B','name':'B','rank':2.0,'logoURL':null,'status':'delisted','listed':false,'"
            "migratedTo':null},"
            "{'id':'c','symbol':'C','name':'C','rank':null,'status':'active','listed':true}]}");
        QString error;
        const auto file = CoinCatalog::decode(document, &error);
        QVERIFY2(file, qPrintable(error));
        QCOMPARE(file->schemaVersion, qint64(1));
        CoinMetadata a = migrated(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("b"));
        a.name = QStringLiteral("Ä");
        a.rank = std::numeric_limits<qint64>::max();
        a.logoURL = QStringLiteral("https://assets.coingecko.com/a");
        CoinMetadata b = coin(QStringLiteral("b"), QStringLiteral("B"), 2, CoinStatus::delisted, false);
        b.name = QStringLiteral("B");
        CoinMetadata c = coin(QStringLiteral("c"), QStringLiteral("C"));
        c.name = QStringLiteral("C");
        QCOMPARE(file->coins.size(), 3);
        QVERIFY(file->coins.at(0) == a);
        QVERIFY(file->coins.at(1) == b);
        QVERIFY(file->coins.at(2) == c);
    }

    void sortsByRankThenId()
    {
        const Coins coins {coin(QStringLiteral("zeta"), QStringLiteral("Z")),
            coin(QStringLiteral("max"), QStringLiteral("M"), std::numeric_limits<qint64>::max()),
            coin(QStringLiteral("beta"), QStringLiteral("B"), 3), coin(QStringLiteral("alpha"), QStringLiteral("A")),
            coin(QStringLiteral("tie-b"), QStringLiteral("TB"), 1),
            coin(QStringLiteral("tie-a"), QStringLiteral("TA"), 1)};
        const CoinCatalog catalog(coins, Bundle());
        QCOMPARE(ids(catalog.coins()), (strings({"tie-a", "tie-b", "beta", "alpha", "max", "zeta"})));
    }

    void indexesListsAndFindsAssets()
    {
        QTemporaryDir dir;
        Test::writeTestBundle(dir.path());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("images")));
        QFile image(dir.filePath(QStringLiteral("images/coin-bitcoin.png")));
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.close();

        CoinCatalog catalog;
        QStringList idsSeenBySignal;
        connect(&catalog, &CoinCatalog::coinsChanged, this, [&] {
            // Observers must already find the new records in the index.
            for (const auto &c : catalog.coins())
                if (catalog.byID().contains(c.id))
                    idsSeenBySignal.append(c.id);
        });
        QSignalSpy changed(&catalog, &CoinCatalog::coinsChanged);
        catalog.setCoins({coin(QStringLiteral("ethereum"), QStringLiteral("ETH"), 2),
                             coin(QStringLiteral("hidden"), QStringLiteral("HID"), 3, CoinStatus::active, false),
                             coin(QStringLiteral("bitcoin"), QStringLiteral("BTC"), 1)},
            Bundle(dir.path()));

        QCOMPARE(changed.count(), 1);
        QCOMPARE(idsSeenBySignal, (strings({"bitcoin", "ethereum", "hidden"})));
        QCOMPARE(catalog.byID().size(), 3);
        QCOMPARE(catalog.byID().value(QStringLiteral("hidden")).symbol, QStringLiteral("HID"));
        QCOMPARE(ids(catalog.listedCoins()), (strings({"bitcoin", "ethereum"})));
        QCOMPARE(catalog.byID().value(QStringLiteral("bitcoin")).logoAssetName, QStringLiteral("coin-bitcoin"));
        QCOMPARE(catalog.coins().first().logoAssetName, QStringLiteral("coin-bitcoin"));
        QVERIFY(catalog.byID().value(QStringLiteral("ethereum")).logoAssetName.isEmpty());
    }

    void duplicateIdsKeepTheFirstInCatalogOrder()
    {
        const CoinCatalog catalog({coin(QStringLiteral("x"), QStringLiteral("LATE"), 9),
                                      coin(QStringLiteral("x"), QStringLiteral("EARLY"), 1)},
            Bundle());
        QCOMPARE(catalog.byID().size(), 1);
        QCOMPARE(catalog.byID().value(QStringLiteral("x")).symbol, QStringLiteral("EARLY"));
    }

    void loadFailureLeavesEmptyCatalog_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: no coins.json at all
        QTest::addColumn<QString>("message"); // the whole line, or its start when it ends with "…"

        const QString prefix = QStringLiteral("Bundled coin catalog unusable: ");
        QTest::newRow("missing") << QByteArray()
                                 << prefix + QString::fromUtf8("invalid([\"coins.json missing from bundle\"])");
        QTest::newRow("corrupt") << QByteArray("{\"schemaVersion\": 1, \"coins\": [")
                                 << prefix + QStringLiteral("decoding failed: not JSON…");
        QTest::newRow("wrong type") << documentWithRecord("{'id':'x','symbol':'X','name':'X','status':'gone'}")
                                    << prefix
                + QString::fromUtf8("decoding failed: coins[0].status: unknown status \"gone\"");
        QTest::newRow("invalid") << catalogJson(withExtra({coin(QStringLiteral("a\"\nb"), QStringLiteral("AB"))}, 198))
                                 << prefix + QString::fromUtf8("invalid([\"listed count 199\", \"a\\\"\\nb: id\"])");
        QTest::newRow("schema") << catalogJson(validCoins(), 3)
                                << prefix + QString::fromUtf8("invalid([\"schemaVersion 3\"])");
    }

    void loadFailureLeavesEmptyCatalog()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        QTemporaryDir dir;
        Test::writeTestBundle(dir.path());
        if (!contents.isNull()) {
            QFile file(dir.filePath(QStringLiteral("coins.json")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }

        Test::LogCapture logs;
        const auto catalog = CoinCatalog::load(Bundle(dir.path()));
        QVERIFY(catalog->coins().isEmpty());
        QVERIFY(catalog->byID().isEmpty());
        QVERIFY(catalog->listedCoins().isEmpty());
        QCOMPARE(logs.records().size(), 1);
        const auto record = logs.records(QStringLiteral("CoinCatalog")).value(0);
        QCOMPARE(record.type, QtCriticalMsg);
        if (message.endsWith(u'…'))
            QVERIFY2(record.message.startsWith(message.chopped(1)), qPrintable(record.message));
        else
            QCOMPARE(record.message, message);
    }

    void loadsValidFileSilently()
    {
        QTemporaryDir dir;
        Test::writeTestBundle(dir.path());
        QFile file(dir.filePath(QStringLiteral("coins.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        Coins coins = validCoins();
        std::reverse(coins.begin(), coins.end());
        file.write(catalogJson(coins));
        file.close();

        Test::LogCapture logs;
        const auto catalog = CoinCatalog::load(Bundle(dir.path()));
        QCOMPARE(catalog->coins().size(), 200);
        QCOMPARE(catalog->coins().first().id, QStringLiteral("bitcoin"));
        QVERIFY(logs.records().isEmpty());
    }

    void migratedSettings_data()
    {
        QTest::addColumn<Watchlist>("watchlist");
        QTest::addColumn<QString>("displayed");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<Watchlist>("expected");
        QTest::addColumn<QString>("expectedDisplayed");

        using K = CoinAlertKind;
        const QString btc = QStringLiteral("bitcoin");
        const QString matic = QStringLiteral("matic-network");
        const QString pol = QStringLiteral("polygon-ecosystem-token");

        QTest::newRow("empty watchlist") << Watchlist {} << btc << false << Watchlist {} << btc;
        QTest::newRow("nothing migrated")
            << Watchlist {entry("bitcoin"), entry("unknown-coin")} << btc << false << Watchlist {} << btc;
        QTest::newRow("target not active")
            << Watchlist {entry("old-x", K::above, 5)} << btc << false << Watchlist {} << btc;
        QTest::newRow("price alert becomes 2 % change")
            << Watchlist {entry("bitcoin"), entry("matic-network", K::above, 50000), entry("ethereum")} << btc << true
            << Watchlist {entry("bitcoin"), entry("polygon-ecosystem-token", K::change, 2), entry("ethereum")} << btc;
        QTest::newRow("below alert becomes 2 % change") << Watchlist {entry("fantom", K::below, 0.1)} << btc << true
                                                        << Watchlist {entry("sonic-3", K::change, 2)} << btc;
        QTest::newRow("change alert kept") << Watchlist {entry("matic-network", K::change, 5)} << btc << true
                                           << Watchlist {entry("polygon-ecosystem-token", K::change, 5)} << btc;
        QTest::newRow("no alert kept with its threshold")
            << Watchlist {entry("matic-network", K::notSet, 7)} << btc << true
            << Watchlist {entry("polygon-ecosystem-token", K::notSet, 7)} << btc;
        QTest::newRow("successor already watched")
            << Watchlist {entry("matic-network", K::above, 50000), entry("polygon-ecosystem-token", K::below, 0.2)}
            << matic << true << Watchlist {entry("polygon-ecosystem-token", K::below, 0.2)} << pol;
        QTest::newRow("displayed coin follows")
            << Watchlist {entry("bitcoin"), entry("matic-network")} << matic << true
            << Watchlist {entry("bitcoin"), entry("polygon-ecosystem-token")} << pol;
        QTest::newRow("old coin twice") << Watchlist {entry("matic-network", K::change, 3), entry("matic-network")}
                                        << btc << true << Watchlist {entry("polygon-ecosystem-token", K::change, 3)}
                                        << btc;
        QTest::newRow("two migrations") << Watchlist {entry("fantom"), entry("matic-network")} << btc << true
                                        << Watchlist {entry("sonic-3"), entry("polygon-ecosystem-token")} << btc;
    }

    void migratedSettings()
    {
        QFETCH(Watchlist, watchlist);
        QFETCH(QString, displayed);
        QFETCH(bool, changes);
        QFETCH(Watchlist, expected);
        QFETCH(QString, expectedDisplayed);

        const CoinCatalog catalog(
            {coin(QStringLiteral("bitcoin"), QStringLiteral("BTC"), 1),
                coin(QStringLiteral("ethereum"), QStringLiteral("ETH"), 2),
                coin(QStringLiteral("polygon-ecosystem-token"), QStringLiteral("POL"), 50),
                coin(QStringLiteral("sonic-3"), QStringLiteral("S"), 90),
                migrated(QStringLiteral("matic-network"), QStringLiteral("MATIC"),
                    QStringLiteral("polygon-ecosystem-token")),
                migrated(QStringLiteral("fantom"), QStringLiteral("FTM"), QStringLiteral("sonic-3")),
                migrated(QStringLiteral("old-x"), QStringLiteral("OLDX"), QStringLiteral("dead-y")),
                coin(QStringLiteral("dead-y"), QStringLiteral("DEADY"), 99, CoinStatus::delisted, false)},
            Bundle());
        AppSettings settings;
        settings.watchlistCoins = watchlist;
        settings.displayedCoinId = displayed;
        settings.baseCurrency = BaseCurrency::eur;

        const auto result = catalog.migratedSettings(settings);
        QCOMPARE(result.has_value(), changes);
        if (!result)
            return;
        QCOMPARE(result->displayedCoinId, expectedDisplayed);
        QCOMPARE(result->watchlistCoins.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            QVERIFY2(result->watchlistCoins.at(i).isIdenticalTo(expected.at(i)), qPrintable(expected.at(i).coinId));
        AppSettings untouched = *result;
        untouched.watchlistCoins = settings.watchlistCoins;
        untouched.displayedCoinId = settings.displayedCoinId;
        QVERIFY(untouched == settings);
    }

    void emptyCatalogMigratesNothing()
    {
        AppSettings settings;
        settings.watchlistCoins = {entry("matic-network")};
        QVERIFY(!CoinCatalog().migratedSettings(settings));
    }

    void shippedCatalog()
    {
        const Bundle bundle(QStringLiteral(VANTRELL_RESOURCES_DIR "/bundle"));
        Test::LogCapture logs;
        const auto catalog = CoinCatalog::load(bundle);
        QVERIFY(logs.records().isEmpty());

        const Coins listed = catalog->listedCoins();
        QVERIFY2(listed.size() >= 300 && listed.size() <= 600, qPrintable(QString::number(listed.size())));
        QCOMPARE(catalog->coins().at(0).id, QStringLiteral("bitcoin"));
        QCOMPARE(catalog->coins().at(1).id, QStringLiteral("ethereum"));

        bool anyDelisted = false;
        qsizetype unlistedActive = 0;
        for (const auto &c : catalog->coins()) {
            anyDelisted = anyDelisted || c.status == CoinStatus::delisted;
            unlistedActive += (c.status == CoinStatus::active && !c.listed) ? 1 : 0;
            // The logo store only fetches over HTTPS.
            if (c.logoURL)
                QVERIFY2(c.logoURL->startsWith(QLatin1String("https://")), qPrintable(c.id));
        }
        QVERIFY(anyDelisted);
        QVERIFY(unlistedActive > 0);

        AppSettings settings;
        settings.watchlistCoins = {entry("matic-network", CoinAlertKind::above, 1), entry("fantom")};
        settings.displayedCoinId = QStringLiteral("fantom");
        const auto migrated = catalog->migratedSettings(settings);
        QVERIFY(migrated);
        QCOMPARE(migrated->watchlistCoins.size(), 2);
        QVERIFY(
            migrated->watchlistCoins.at(0).isIdenticalTo(entry("polygon-ecosystem-token", CoinAlertKind::change, 2)));
        QVERIFY(migrated->watchlistCoins.at(1).isIdenticalTo(entry("sonic-3")));
        QCOMPARE(migrated->displayedCoinId, QStringLiteral("sonic-3"));

        QFile file(QStringLiteral(VANTRELL_RESOURCES_DIR "/bundle/recommendedCoins.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray recommended = QJsonDocument::fromJson(file.readAll()).array();
        QVERIFY(!recommended.isEmpty());
        QHash<QString, CoinMetadata> listedBySymbol;
        for (const auto &c : listed)
            listedBySymbol.insert(c.symbol, c);
        for (const auto &value : recommended) {
            const QString symbol = value.toString().trimmed().toUpper();
            QVERIFY2(listedBySymbol.contains(symbol) && listedBySymbol.value(symbol).status == CoinStatus::active,
                qPrintable(symbol));
        }
    }
};

QTEST_GUILESS_MAIN(TestCoinCatalog)
#include "tst_coincatalog.moc"
