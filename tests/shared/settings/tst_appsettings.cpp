// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/appsettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Vantrell;

namespace {
AppSettings decodeOrFail(const QByteArray &json)
{
    const auto settings = AppSettings::decode(json);
    if (!settings)
        qFatal("fixture did not decode: %s", json.constData());
    return *settings;
}

// The settings `{}` decodes to, changed by `change`.
AppSettings defaultsWith(const std::function<void(AppSettings &)> &change)
{
    AppSettings s;
    change(s);
    return s;
}
} // namespace

class TestAppSettings final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultsMatchTheDocumentedRecord()
    {
        const AppSettings s;
        QCOMPARE(s.language, AppLanguage::system);
        QCOMPARE(s.baseCurrency, BaseCurrency::usd);
        QCOMPARE(s.customUpColorHex, QStringLiteral("#2CBD84"));
        QCOMPARE(s.customDownColorHex, QStringLiteral("#F6465D"));
        QCOMPARE(s.pollingInterval, 10.0);
        QCOMPARE(s.desktopOverlayBackgroundOpacity, 1.0);
        QCOMPARE(s.displayedCoinId, QStringLiteral("bitcoin"));
        QVERIFY(!s.desktopOverlayTopLeft);
        QCOMPARE(s.watchlistCoins.size(), 2);
        QVERIFY(s.watchlistCoins[0].isIdenticalTo({QStringLiteral("bitcoin"), CoinAlertKind::change, 2.0}));
        QVERIFY(s.watchlistCoins[1].isIdenticalTo({QStringLiteral("ethereum"), CoinAlertKind::change, 2.0}));
    }

    void decodeTolerantly_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<AppSettings>("expected");

        QTest::newRow("empty object") << QByteArray("{}") << AppSettings();
        QTest::newRow("unknown keys ignored") << QByteArray(R"({"foo": 1, "watchlistCoins": []})") << AppSettings();
        QTest::newRow("currency raw value") << QByteArray(R"({"baseCurrency": "EUR"})")
                                            << defaultsWith([](auto &s) { s.baseCurrency = BaseCurrency::eur; });
        QTest::newRow("currency is case-sensitive") << QByteArray(R"({"baseCurrency": "eur"})") << AppSettings();
        QTest::newRow("unknown language") << QByteArray(R"({"language": "fr"})") << AppSettings();
        QTest::newRow("language zh-Hant") << QByteArray(R"({"language": "zh-Hant"})")
                                          << defaultsWith([](auto &s) { s.language = AppLanguage::zhHant; });
        QTest::newRow("null bool keeps default") << QByteArray(R"({"priceColorEnabled": null})") << AppSettings();
        QTest::newRow("string for true default") << QByteArray(R"({"priceColorEnabled": "yes"})") << AppSettings();
        QTest::newRow("string for false default") << QByteArray(R"({"launchAtLogin": "yes"})") << AppSettings();
        QTest::newRow("number for bool") << QByteArray(R"({"launchAtLogin": 1})") << AppSettings();
        QTest::newRow("bool for string") << QByteArray(R"({"displayedCoinId": true})") << AppSettings();
        QTest::newRow("string for number") << QByteArray(R"({"pollingInterval": "5"})") << AppSettings();
        QTest::newRow("tiny polling interval kept")
            << QByteArray(R"({"pollingInterval": 0.5})") << defaultsWith([](auto &s) { s.pollingInterval = 0.5; });
        QTest::newRow("huge polling interval kept") << QByteArray(R"({"pollingInterval": 100000})")
                                                    << defaultsWith([](auto &s) { s.pollingInterval = 100000; });
        QTest::newRow("opacity above one")
            << QByteArray(R"({"desktopOverlayBackgroundOpacity": 1.7})") << AppSettings();
        QTest::newRow("opacity negative") << QByteArray(R"({"desktopOverlayBackgroundOpacity": -0.2})")
                                          << defaultsWith([](auto &s) { s.desktopOverlayBackgroundOpacity = 0.0; });
        QTest::newRow("opacity zero") << QByteArray(R"({"desktopOverlayBackgroundOpacity": 0})")
                                      << defaultsWith([](auto &s) { s.desktopOverlayBackgroundOpacity = 0.0; });
        QTest::newRow("opacity inside range")
            << QByteArray(R"({"desktopOverlayBackgroundOpacity": 0.35})")
            << defaultsWith([](auto &s) { s.desktopOverlayBackgroundOpacity = 0.35; });
        QTest::newRow("empty watchlist") << QByteArray(R"({"addedCoins": []})")
                                         << defaultsWith([](auto &s) { s.watchlistCoins.clear(); });
        QTest::newRow("null watchlist") << QByteArray(R"({"addedCoins": null})")
                                        << defaultsWith([](auto &s) { s.watchlistCoins.clear(); });
        QTest::newRow("number watchlist")
            << QByteArray(R"({"addedCoins": 5})") << defaultsWith([](auto &s) { s.watchlistCoins.clear(); });
        QTest::newRow("watchlist element by element")
            << QByteArray(R"({"addedCoins": [{"coinId": "solana"}, {"alertKind": "above"},
                   {"coinId": "dogecoin", "alertKind": "bogus", "notificationThreshold": "x"}, 7, null]})")
            << defaultsWith([](auto &s) {
                   s.watchlistCoins = {{QStringLiteral("solana"), CoinAlertKind::change, 2.0},
                       {QStringLiteral("dogecoin"), CoinAlertKind::change, 2.0}};
               });
        QTest::newRow("watchlist keeps alerts and duplicates")
            << QByteArray(R"({"addedCoins": [{"coinId": "solana", "alertKind": "below", "notificationThreshold": 120.5},
                   {"coinId": "solana", "alertKind": "notSet", "notificationThreshold": 0}]})")
            << defaultsWith([](auto &s) {
                   s.watchlistCoins = {{QStringLiteral("solana"), CoinAlertKind::below, 120.5},
                       {QStringLiteral("solana"), CoinAlertKind::notSet, 0}};
               });
        QTest::newRow("holdings read, the rest of the entry stays")
            << QByteArray(R"({"addedCoins": [{"coinId": "solana", "alertKind": "above", "notificationThreshold": 150,
                   "holding": 12.5, "averageCostUSD": 98.25}, {"coinId": "ripple", "holding": 0}]})")
            << defaultsWith([](auto &s) {
                   s.watchlistCoins = {{QStringLiteral("solana"), CoinAlertKind::above, 150, 12.5, 98.25},
                       {QStringLiteral("ripple"), CoinAlertKind::change, 2.0, 0.0, std::nullopt}};
               });
        QTest::newRow("unusable holdings are none")
            << QByteArray(R"({"addedCoins": [{"coinId": "solana", "holding": -1, "averageCostUSD": 0},
                   {"coinId": "ripple", "holding": "12", "averageCostUSD": -3},
                   {"coinId": "tron", "holding": null, "averageCostUSD": [1]},
                   {"coinId": "stellar", "holding": true, "averageCostUSD": {"usd": 1}}]})")
            << defaultsWith([](auto &s) {
                   s.watchlistCoins = {{QStringLiteral("solana")}, {QStringLiteral("ripple")}, {QStringLiteral("tron")},
                       {QStringLiteral("stellar")}};
               });
        QTest::newRow("hide balances") << QByteArray(R"({"hideBalances": true})")
                                       << defaultsWith([](auto &s) { s.hideBalances = true; });
        QTest::newRow("hide balances not a bool") << QByteArray(R"({"hideBalances": "true"})") << AppSettings();
        QTest::newRow("legacy origin, large")
            << QByteArray(R"({"desktopOverlayOrigin": {"x": 100, "y": 200}, "desktopOverlaySize": "large"})")
            << defaultsWith([](auto &s) {
                   s.desktopOverlayTopLeft = DesktopOverlayOrigin {100, 582};
               });
        QTest::newRow("legacy origin, no size")
            << QByteArray(R"({"desktopOverlayOrigin": {"x": 100, "y": 200}})") << defaultsWith([](auto &s) {
                   s.desktopOverlayTopLeft = DesktopOverlayOrigin {100, 370};
               });
        QTest::newRow("legacy origin, small")
            << QByteArray(R"({"desktopOverlayOrigin": {"x": 100, "y": 200}, "desktopOverlaySize": "small"})")
            << defaultsWith([](auto &s) {
                   s.desktopOverlayTopLeft = DesktopOverlayOrigin {100, 370};
               });
        QTest::newRow("legacy size is case-sensitive")
            << QByteArray(R"({"desktopOverlayOrigin": {"x": 0, "y": 0}, "desktopOverlaySize": "Large"})")
            << defaultsWith([](auto &s) {
                   s.desktopOverlayTopLeft = DesktopOverlayOrigin {0, 170};
               });
        QTest::newRow("new origin wins over legacy") << QByteArray(R"({"desktopOverlayTopLeft": {"x": 5, "y": 6},
                   "desktopOverlayOrigin": {"x": 100, "y": 200}, "desktopOverlaySize": "large"})")
                                                     << defaultsWith([](auto &s) {
                                                            s.desktopOverlayTopLeft = DesktopOverlayOrigin {5, 6};
                                                        });
        QTest::newRow("unreadable new origin falls back to legacy")
            << QByteArray(R"({"desktopOverlayTopLeft": {"x": 5}, "desktopOverlayOrigin": {"x": 1, "y": 2}})")
            << defaultsWith([](auto &s) {
                   s.desktopOverlayTopLeft = DesktopOverlayOrigin {1, 172};
               });
        QTest::newRow("incomplete legacy origin")
            << QByteArray(R"({"desktopOverlayOrigin": {"x": 1}})") << AppSettings();
    }

    void decodeTolerantly()
    {
        QFETCH(QByteArray, json);
        QFETCH(AppSettings, expected);
        const AppSettings decoded = decodeOrFail(json);
        QCOMPARE(decoded, expected);
    }

    void decodeFailsOnlyForNonObjects_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("array") << QByteArray("[]");
        QTest::newRow("string") << QByteArray("\"settings\"");
        QTest::newRow("not json") << QByteArray("xyz");
        QTest::newRow("truncated") << QByteArray(R"({"language": "en")");
        QTest::newRow("empty") << QByteArray();
    }

    void decodeFailsOnlyForNonObjects()
    {
        QFETCH(QByteArray, data);
        QString error;
        QVERIFY(!AppSettings::decode(data, &error));
        QVERIFY(!error.isEmpty());
    }

    void encodeWritesEveryKeyInOrder()
    {
        AppSettings s;
        s.desktopOverlayTopLeft = DesktopOverlayOrigin {12.5, -40};
        const QByteArray json = *s.encode();
        const QStringList expectedOrder = {QStringLiteral("launchAtLogin"), QStringLiteral("language"),
            QStringLiteral("baseCurrency"), QStringLiteral("priceColorEnabled"), QStringLiteral("colorScheme"),
            QStringLiteral("customUpColorHex"), QStringLiteral("customDownColorHex"),
            QStringLiteral("priceChangeNotificationEnabled"), QStringLiteral("pollingInterval"),
            QStringLiteral("showMenuBarBackground"), QStringLiteral("menuBarContent"),
            QStringLiteral("displayedCoinId"), QStringLiteral("desktopOverlayEnabled"),
            QStringLiteral("desktopOverlayBackgroundOpacity"), QStringLiteral("desktopOverlayTextSize"),
            QStringLiteral("desktopOverlayTopLeft"), QStringLiteral("show24hCharts"),
            QStringLiteral("desktopOverlayShowsCharts"), QStringLiteral("addedCoins")};
        const QString text = QString::fromUtf8(json);
        qsizetype last = -1;
        for (const QString &key : expectedOrder) {
            const qsizetype at = text.indexOf(QLatin1Char('"') + key + QStringLiteral("\":"));
            QVERIFY2(at > last, qPrintable(key));
            last = at;
        }
        for (const char *legacy : {"desktopOverlaySize", "desktopOverlayOrigin", "watchlistCoins"})
            QVERIFY2(!json.contains(legacy), legacy);

        const QJsonObject object = QJsonDocument::fromJson(json).object();
        QCOMPARE(object.size(), expectedOrder.size());
        QCOMPARE(object.value(QLatin1String("baseCurrency")).toString(), QStringLiteral("USD"));
        const QJsonObject first = object.value(QLatin1String("addedCoins")).toArray().first().toObject();
        QCOMPARE(first.keys(),
            (QStringList {
                QStringLiteral("alertKind"), QStringLiteral("coinId"), QStringLiteral("notificationThreshold")}));
    }

    void encodeOmitsAbsentOrigin()
    {
        const QByteArray json = *AppSettings().encode();
        QVERIFY(!json.contains("desktopOverlayTopLeft"));
    }

    // Builds that know nothing of holdings read and rewrite this record
    // unchanged only when it has no holdings keys of its own.
    void encodeOmitsAbsentHoldings()
    {
        AppSettings s;
        s.watchlistCoins[1].holding = 0.0;
        const QJsonObject object = QJsonDocument::fromJson(*s.encode()).object();
        QVERIFY(!object.contains(QLatin1String("hideBalances")));
        const QJsonArray entries = object.value(QLatin1String("addedCoins")).toArray();
        QCOMPARE(entries.at(0).toObject().size(), 3);
        QCOMPARE(entries.at(1).toObject().value(QLatin1String("holding")), QJsonValue(0.0));
        QVERIFY(!entries.at(1).toObject().contains(QLatin1String("averageCostUSD")));
    }

    void roundTripKeepsEveryField()
    {
        AppSettings s;
        s.launchAtLogin = true;
        s.language = AppLanguage::zhHans;
        s.baseCurrency = BaseCurrency::krw;
        s.priceColorEnabled = false;
        s.colorScheme = PriceColorScheme::custom;
        s.customUpColorHex = QStringLiteral(" #00ff7F \"quoted\\\" ");
        s.customDownColorHex = QStringLiteral("\u7EA2");
        s.priceChangeNotificationEnabled = false;
        s.pollingInterval = 0.1 + 0.2;
        s.showMenuBarBackground = true;
        s.menuBarContent = MenuBarContent::icon;
        s.desktopOverlayEnabled = true;
        s.desktopOverlayBackgroundOpacity = 0.35;
        s.desktopOverlayTextSize = DesktopOverlayTextSize::large;
        s.desktopOverlayTopLeft = DesktopOverlayOrigin {-1920.25, 1e-3};
        s.displayedCoinId = QStringLiteral("solana");
        s.show24hCharts = false;
        s.desktopOverlayShowsCharts = true;
        s.watchlistCoins = {{QStringLiteral("solana"), CoinAlertKind::above, 250.125, 0.1 + 0.2, 1e-8},
            {QStringLiteral("ripple"), CoinAlertKind::notSet, 2.0, 1e15, std::nullopt},
            {QStringLiteral("tron"), CoinAlertKind::change, 2.0, std::nullopt, 0.25}};
        s.hideBalances = true;
        const auto decoded = AppSettings::decode(*s.encode());
        QVERIFY(decoded);
        QCOMPARE(*decoded, s);
    }

    void encodeRefusesNonFiniteNumbers()
    {
        AppSettings s;
        s.pollingInterval = std::numeric_limits<double>::infinity();
        QString error;
        QVERIFY(!s.encode(&error));
        QVERIFY(!error.isEmpty());
    }

    void watchlistCoinEqualityIsByCoinId()
    {
        const WatchlistCoin a {QStringLiteral("bitcoin"), CoinAlertKind::above, 1};
        const WatchlistCoin b {QStringLiteral("bitcoin"), CoinAlertKind::below, 99};
        QCOMPARE(a, b);
        QCOMPARE(qHash(a), qHash(b));
        QVERIFY(!a.isIdenticalTo(b));
        QVERIFY(a != (WatchlistCoin {QStringLiteral("ethereum")}));
    }

    void enumerationsRoundTripTheirRawValues()
    {
        for (const auto c : allCases<BaseCurrency>())
            QCOMPARE(fromRawValue<BaseCurrency>(rawValue(c)), c);
        for (const auto c : allCases<CoinAlertKind>())
            QCOMPARE(fromRawValue<CoinAlertKind>(rawValue(c)), c);
        QCOMPARE(allCases<BaseCurrency>().size(), size_t(12));
        QCOMPARE(rawValue(BaseCurrency::gbp), QStringLiteral("GBP"));
        QCOMPARE(displayNameKey(BaseCurrency::twd), QStringLiteral("TWD"));
        QCOMPARE(displayNameKey(DesktopOverlayTextSize::large), QStringLiteral("desktop.textSize.large"));
        QCOMPARE(displayNameKey(MenuBarContent::icon), QStringLiteral("menubarContent.icon"));
        QCOMPARE(rawValue(AppLanguage::zhHans), QStringLiteral("zh-Hans"));
    }
};

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_appsettings.moc"
