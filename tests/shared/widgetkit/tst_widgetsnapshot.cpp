// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/localizationmanager.h"
#include "market/coinmetadata.h"
#include "platform/bundle.h"
#include "settings/appsettings.h"
#include "settings/pricecolors.h"
#include "testenvironment.h"
#include "widgetkit/widgetsnapshot.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

using namespace Vantrell;

namespace {

const QDateTime kTime(QDate(2025, 1, 31), QTime(12, 0), Qt::UTC);

WidgetSnapshot sample()
{
    WidgetSnapshot snapshot;
    snapshot.writtenAt = kTime;
    snapshot.language = AppLanguage::zhHant;
    snapshot.currency = BaseCurrency::eur;
    snapshot.colorByChange = false;
    snapshot.upColorHex = QStringLiteral("#2CBD84");
    snapshot.downColorHex = QStringLiteral("#F6465D");
    snapshot.displayedCoinId = QStringLiteral("ethereum");
    snapshot.watchlist = {QStringLiteral("bitcoin"), QStringLiteral("ethereum"), QStringLiteral("terra-luna")};
    snapshot.quotes.insert(QStringLiteral("bitcoin"), {89012.5, 2.5});
    snapshot.quotes.insert(QStringLiteral("ethereum"), {3012.25, std::nullopt});
    return snapshot;
}

// The sample's JSON with `key` replaced by `value` (or removed when undefined).
QByteArray sampleWith(const QString &key, const QJsonValue &value)
{
    QJsonObject object = QJsonDocument::fromJson(*sample().encode()).object();
    if (value.isUndefined())
        object.remove(key);
    else
        object.insert(key, value);
    return QJsonDocument(object).toJson();
}

QByteArray sampleWithQuote(const QByteArray &quoteJson)
{
    QByteArray data = *sample().encode();
    const QByteArray quote = QByteArray("\"quotes\":{\"solana\":") + quoteJson + ',';
    return data.replace("\"quotes\":{", quote);
}

Coin coin(const QString &id, std::optional<double> price, std::optional<double> change,
    CoinStatus status = CoinStatus::active)
{
    Coin coin;
    coin.id = id;
    coin.symbol = id.left(3).toUpper();
    coin.status = status;
    coin.currentPrice = price;
    coin.priceChange24hPercent = change;
    return coin;
}

// A second snapshot, much larger, so that a write takes a while.
WidgetSnapshot large()
{
    WidgetSnapshot snapshot = sample();
    for (int i = 0; i < 400; ++i) {
        const QString id = QStringLiteral("coin-%1").arg(i);
        snapshot.watchlist.append(id);
        snapshot.quotes.insert(id, {1.0 + i, -1.0 * i});
    }
    return snapshot;
}

constexpr char kWriterVariable[] = "VANTRELL_TEST_SNAPSHOT_WRITER_DIR";

// The child of killedWriterLeavesAWholeFile: writes the two snapshots in turn until killed.
int runWriter()
{
    const WidgetSnapshotStore store {qEnvironmentVariable(kWriterVariable)};
    for (quint64 i = 0;; ++i) {
        if (!store.write(i % 2 ? large() : sample()))
            return 1;
        if (i == 1) {
            std::fputs("writing\n", stdout);
            std::fflush(stdout);
        }
    }
}

} // namespace

class TestWidgetSnapshot final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void roundTrip()
    {
        const std::optional<QByteArray> data = sample().encode();
        QVERIFY(data);
        QVERIFY(data->contains("\"writtenAt\":\"2025-01-31T12:00:00Z\""));
        QVERIFY(data->contains("\"ethereum\":{\"price\":3012.25}"));
        QVERIFY(!data->contains('\n'));
        QCOMPARE(WidgetSnapshot::decode(*data), sample());
    }

    void decodeIsStrict_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("readable");

        const QByteArray whole = *sample().encode();
        QTest::newRow("truncated") << whole.left(whole.size() - 2) << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("extra key ignored") << sampleWith(QStringLiteral("future"), 42) << true;
        QTest::newRow("currency outside the enumeration")
            << sampleWith(QStringLiteral("currency"), QStringLiteral("BTC")) << false;
        QTest::newRow("currency in lower case")
            << sampleWith(QStringLiteral("currency"), QStringLiteral("eur")) << false;
        QTest::newRow("unknown language") << sampleWith(QStringLiteral("language"), QStringLiteral("fr")) << false;
        QTest::newRow("date with fractions")
            << sampleWith(QStringLiteral("writtenAt"), QStringLiteral("2025-01-31T12:00:00.5Z")) << false;
        QTest::newRow("date with an offset")
            << sampleWith(QStringLiteral("writtenAt"), QStringLiteral("2025-01-31T13:00:00+01:00")) << false;
        QTest::newRow("date without time")
            << sampleWith(QStringLiteral("writtenAt"), QStringLiteral("2025-01-31")) << false;
        QTest::newRow("impossible date") << sampleWith(
            QStringLiteral("writtenAt"), QStringLiteral("2025-02-30T12:00:00Z"))
                                         << false;
        QTest::newRow("boolean as number") << sampleWith(QStringLiteral("colorByChange"), 1) << false;
        QTest::newRow("missing colour") << sampleWith(QStringLiteral("upColorHex"), QJsonValue::Undefined) << false;
        QTest::newRow("watchlist not an array")
            << sampleWith(QStringLiteral("watchlist"), QStringLiteral("bitcoin")) << false;
        QTest::newRow("watchlist with a number")
            << sampleWith(QStringLiteral("watchlist"), QJsonArray {QStringLiteral("bitcoin"), 1}) << false;
        QTest::newRow("missing quotes") << sampleWith(QStringLiteral("quotes"), QJsonValue::Undefined) << false;
        QTest::newRow("quote without price") << sampleWithQuote("{\"change24hPercent\":1}") << false;
        QTest::newRow("price as text") << sampleWithQuote("{\"price\":\"150\"}") << false;
        QTest::newRow("price too large for a double") << sampleWithQuote("{\"price\":1e400}") << false;
        QTest::newRow("change as text") << sampleWithQuote("{\"price\":150,\"change24hPercent\":\"1\"}") << false;
        QTest::newRow("null change reads as none")
            << sampleWithQuote("{\"price\":150,\"change24hPercent\":null}") << true;
    }

    void decodeIsStrict()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, readable);
        QCOMPARE(WidgetSnapshot::decode(data).has_value(), readable);
    }

    void makeSnapshotFromTheLiveState_data()
    {
        QTest::addColumn<PriceColorScheme>("scheme");
        QTest::addColumn<QString>("up");
        QTest::addColumn<QString>("down");

        QTest::newRow("green up") << PriceColorScheme::greenUpRedDown << "#2CBD84"
                                  << "#F6465D";
        QTest::newRow("red up") << PriceColorScheme::redUpGreenDown << "#F6465D"
                                << "#2CBD84";
        QTest::newRow("custom copied unchanged, even empty") << PriceColorScheme::custom << " #abc123"
                                                             << "";
    }

    void makeSnapshotFromTheLiveState()
    {
        QFETCH(PriceColorScheme, scheme);
        QFETCH(QString, up);
        QFETCH(QString, down);

        AppSettings settings;
        settings.colorScheme = scheme;
        settings.customUpColorHex = QStringLiteral(" #abc123");
        settings.customDownColorHex = QString();
        settings.watchlistCoins = {{QStringLiteral("bitcoin")}, {QStringLiteral("terra-luna")},
            {QStringLiteral("matic-network")}, {QStringLiteral("solana")}, {QStringLiteral("unknown")}};
        const QList<Coin> coins {
            coin(QStringLiteral("bitcoin"), 100.0, 1.0),
            coin(QStringLiteral("terra-luna"), 0.5, 3.0, CoinStatus::delisted),
            coin(QStringLiteral("matic-network"), 0.4, 1.0, CoinStatus::migrated),
            coin(QStringLiteral("solana"), std::nullopt, std::nullopt),
            coin(QStringLiteral("bitcoin"), 101.0, std::nullopt), // a later copy replaces the first
        };

        const WidgetSnapshot snapshot = makeSnapshot(coins, settings, kTime);
        QCOMPARE(snapshot.upColorHex, up);
        QCOMPARE(snapshot.downColorHex, down);
        QCOMPARE(snapshot.watchlist.size(), 5);
        QCOMPARE(snapshot.quotes.keys(), QStringList {QStringLiteral("bitcoin")});
        QCOMPARE(snapshot.quotes.value(QStringLiteral("bitcoin")).price, 101.0);
        QCOMPARE(snapshot.quotes.value(QStringLiteral("bitcoin")).change24hPercent, std::nullopt);
        QCOMPARE(WidgetSnapshot::decode(*snapshot.encode()), snapshot);
    }

    // What the panel front ends show, decided here: they only pick a quote.
    void panelTexts_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<std::optional<double>>("change");
        QTest::addColumn<bool>("colored");
        QTest::addColumn<PriceColorScheme>("scheme");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("changeText");
        QTest::addColumn<QString>("color");

        QTest::newRow("rise, green up") << 43714.2 << std::optional(2.31) << true << PriceColorScheme::greenUpRedDown
                                        << "BIT 43,714"
                                        << "\u25B2 +2.31%"
                                        << "#2CBD84";
        QTest::newRow("fall, green up") << 0.98765 << std::optional(-1.27) << true << PriceColorScheme::greenUpRedDown
                                        << "BIT 0.9877"
                                        << "\u25BC -1.27%"
                                        << "#F6465D";
        QTest::newRow("fall, red up") << 12.5 << std::optional(-0.5) << true << PriceColorScheme::redUpGreenDown
                                      << "BIT 12.5"
                                      << "\u25BC -0.50%"
                                      << "#2CBD84";
        QTest::newRow("zero change is a rise")
            << 100.0 << std::optional(0.0) << true << PriceColorScheme::greenUpRedDown << "BIT 100"
            << "\u25B2 +0.00%"
            << "#2CBD84";
        QTest::newRow("colours off: the panel's text colour")
            << 100.0 << std::optional(3.0) << false << PriceColorScheme::greenUpRedDown << "BIT 100"
            << "\u25B2 +3.00%" << QString();
        QTest::newRow("no change: no colour")
            << 100.0 << std::optional<double>() << true << PriceColorScheme::greenUpRedDown << "BIT 100" << QString()
            << QString();
    }

    void panelTexts()
    {
        QFETCH(double, price);
        QFETCH(std::optional<double>, change);
        QFETCH(bool, colored);
        QFETCH(PriceColorScheme, scheme);
        QFETCH(QString, text);
        QFETCH(QString, changeText);
        QFETCH(QString, color);

        AppSettings settings;
        settings.priceColorEnabled = colored;
        settings.colorScheme = scheme;
        settings.baseCurrency = BaseCurrency::eur;
        Coin bitcoin = coin(QStringLiteral("bitcoin"), price, change);
        bitcoin.name = QStringLiteral("Bitcoin <b>");
        const WidgetSnapshot snapshot = makeSnapshot({bitcoin}, settings, kTime);
        const auto panel = snapshot.quotes.value(QStringLiteral("bitcoin")).panel;
        QVERIFY(panel);
        QCOMPARE(panel->text, text);
        QCOMPARE(panel->change, changeText);
        QCOMPARE(panel->colorHex, color);
        QCOMPARE(panel->staleText, QStringLiteral("\u26A0\uFE0E BIT \u2014"));
        // The name as is (front ends show plain text), the price with its currency.
        QVERIFY2(panel->toolTip.startsWith(QStringLiteral("Bitcoin <b>\n\u20AC")), qPrintable(panel->toolTip));
        QVERIFY(panel->toolTip.contains(changeText));
        QVERIFY(panel->staleToolTip.startsWith(QStringLiteral("Bitcoin <b>\n\u26A0")));
        if (color.isEmpty()) {
            QVERIFY(panel->colorOnLightHex.isEmpty() && panel->colorOnDarkHex.isEmpty());
        } else {
            // Readable on either kind of panel, and still the same colour family.
            QVERIFY(contrastRatio(*parseHexColor(panel->colorOnLightHex), QColor(0xEF, 0xF0, 0xF1)) >= 4.5);
            QVERIFY(contrastRatio(*parseHexColor(panel->colorOnDarkHex), QColor(0x31, 0x36, 0x3B)) >= 4.5);
            QVERIFY(std::abs(parseHexColor(panel->colorOnLightHex)->hslHue() - parseHexColor(color)->hslHue()) <= 3);
        }

        // The file carries them, with the moment they go stale; they read back.
        const QByteArray data = *snapshot.encode();
        const QJsonObject object = QJsonDocument::fromJson(data).object();
        QCOMPARE(object.value(QLatin1String("panelStaleAt")).toDouble(),
            double(kTime.toSecsSinceEpoch() + WidgetSnapshot::panelFreshSeconds));
        QCOMPARE(
            object
                .value(QLatin1String("quotes"))[QLatin1String("bitcoin")][QLatin1String("panel")][QLatin1String("text")]
                .toString(),
            text);
        QCOMPARE(WidgetSnapshot::decode(data), snapshot);
    }

    // The widgets do not need the panel's texts: a defect there loses those
    // texts, not the snapshot.
    void panelPartsAreReadLeniently_data()
    {
        QTest::addColumn<QByteArray>("quote");
        QTest::addColumn<bool>("hasPanel");
        QTest::newRow("panel not an object") << QByteArray("{\"price\":1,\"panel\":7}") << false;
        QTest::newRow("panel missing a text") << QByteArray("{\"price\":1,\"panel\":{\"text\":\"SOL 1\"}}") << false;
        QTest::newRow("panel with a number for a text")
            << QByteArray("{\"price\":1,\"panel\":{\"text\":1,\"change\":\"\",\"color\":\"\",\"colorOnLight\":\"\","
                          "\"colorOnDark\":\"\",\"toolTip\":\"\",\"staleText\":\"\",\"staleToolTip\":\"\"}}")
            << false;
        QTest::newRow("whole panel") << QByteArray(
            "{\"price\":1,\"panel\":{\"text\":\"SOL 1\",\"change\":\"\",\"color\":\"\",\"colorOnLight\":"
            "\"\",\"colorOnDark\":\"\",\"toolTip\":\"\",\"staleText\":\"\",\"staleToolTip\":\"\"}}")
                                     << true;
    }

    void panelPartsAreReadLeniently()
    {
        QFETCH(QByteArray, quote);
        QFETCH(bool, hasPanel);
        const auto snapshot = WidgetSnapshot::decode(sampleWithQuote(quote));
        QVERIFY(snapshot);
        QCOMPARE(snapshot->quotes.value(QStringLiteral("solana")).panel.has_value(), hasPanel);
    }

    // The totals go to the widgets only while balances are shown and
    // something held has a price.
    void holdingsInTheSnapshot_data()
    {
        QTest::addColumn<std::optional<double>>("btcHolding");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("present");
        QTest::addColumn<double>("total");
        QTest::addColumn<QString>("toolTipLine");

        QTest::newRow("held") << std::optional<double>(0.5) << false << true << 30000.0 + 2 * 3000.0
                              << QStringLiteral("\nHoldings: $36,000 (+2.00% today)");
        QTest::newRow("hidden") << std::optional<double>(0.5) << true << false << 0.0
                                << QStringLiteral("\nHoldings: •••• (+2.00% today)");
        QTest::newRow("nothing held") << std::optional<double>() << false << false << 0.0 << QString();
    }

    void holdingsInTheSnapshot()
    {
        QFETCH(std::optional<double>, btcHolding);
        QFETCH(bool, hidden);
        QFETCH(bool, present);
        QFETCH(double, total);
        QFETCH(QString, toolTipLine);
        LocalizationManager::shared().setBundle(
            LocalizationManager::bundle(AppLanguage::en, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {}));
        AppSettings settings;
        settings.hideBalances = hidden;
        settings.watchlistCoins[0].holding = btcHolding;
        if (btcHolding)
            settings.watchlistCoins[1].holding = 2.0;
        const QList<Coin> coins {
            coin(QStringLiteral("bitcoin"), 60000, 2.0), coin(QStringLiteral("ethereum"), 3000, 2.0)};
        const WidgetSnapshot snapshot = makeSnapshot(coins, settings, kTime);
        QCOMPARE(snapshot.holdings.has_value(), present);
        const QByteArray data = *snapshot.encode();
        QCOMPARE(data.contains("\"holdings\""), present);
        QVERIFY(!data.contains("totalValue") || present);
        if (present) {
            QCOMPARE(snapshot.holdings->totalValue, total);
            QVERIFY(qAbs(*snapshot.holdings->change24hPercent - 2.0) < 1e-9);
        }
        QCOMPARE(WidgetSnapshot::decode(data), snapshot);
        // The panel front ends' tooltip has the tray's holdings line.
        const QString toolTip = snapshot.quotes.value(QStringLiteral("bitcoin")).panel->toolTip;
        QVERIFY2(toolTipLine.isEmpty() ? !toolTip.contains(u"Holdings") : toolTip.endsWith(toolTipLine),
            qPrintable(toolTip));
        LocalizationManager::shared().setBundle(StringBundle());
    }

    void holdingsAreReadLeniently_data()
    {
        QTest::addColumn<QJsonValue>("holdings");
        QTest::addColumn<std::optional<WidgetSnapshot::Holdings>>("expected");
        QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << std::optional<WidgetSnapshot::Holdings>();
        QTest::newRow("not an object") << QJsonValue(5) << std::optional<WidgetSnapshot::Holdings>();
        QTest::newRow("total missing") << QJsonValue(QJsonObject {{QStringLiteral("change24hPercent"), 1}})
                                       << std::optional<WidgetSnapshot::Holdings>();
        QTest::newRow("total alone") << QJsonValue(QJsonObject {{QStringLiteral("totalValue"), 1234.5}})
                                     << std::optional<WidgetSnapshot::Holdings>({1234.5, std::nullopt});
        QTest::newRow("unreadable change") << QJsonValue(QJsonObject {
            {QStringLiteral("totalValue"), 10}, {QStringLiteral("change24hPercent"), QStringLiteral("up")}})
                                           << std::optional<WidgetSnapshot::Holdings>({10, std::nullopt});
        QTest::newRow("whole") << QJsonValue(QJsonObject {{QStringLiteral("totalValue"), 10},
            {QStringLiteral("change24hPercent"), -1.5}, {QStringLiteral("future"), true}})
                               << std::optional<WidgetSnapshot::Holdings>({10, -1.5});
    }

    void holdingsAreReadLeniently()
    {
        QFETCH(QJsonValue, holdings);
        QFETCH(std::optional<WidgetSnapshot::Holdings>, expected);
        const auto snapshot = WidgetSnapshot::decode(sampleWith(QStringLiteral("holdings"), holdings));
        QVERIFY(snapshot);
        QCOMPARE(snapshot->holdings, expected);
    }

    void storeWritesAtomicallyAndReadsBack()
    {
        Test::IsolatedXdg xdg;
        const WidgetSnapshotStore store {xdg.cacheHome() + QStringLiteral("/group.test")};
        QVERIFY(!store.load());
        QString error;
        QVERIFY2(store.write(sample(), &error), qPrintable(error));
        QCOMPARE(store.load(), sample());
        QCOMPARE(QDir(*store.directory).entryList(QDir::Files), QStringList {QStringLiteral("widget-snapshot.json")});

        // A directory that cannot be made: the old file stays, the failure is reported.
        const WidgetSnapshotStore blocked {*store.filePath() + QStringLiteral("/below-a-file")};
        QVERIFY(!blocked.write(sample(), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(store.load(), sample());
    }

    void storeWithoutDirectoryDoesNothing()
    {
        const WidgetSnapshotStore store;
        QVERIFY(store.write(sample()));
        QVERIFY(!store.load());
    }

    void oversizedFileIsNotRead()
    {
        Test::IsolatedXdg xdg;
        const WidgetSnapshotStore store {xdg.cacheHome()};
        QVERIFY(store.write(sample()));
        // Valid JSON padded with white space past the limit.
        QFile file(*store.filePath());
        QVERIFY(file.open(QIODevice::Append));
        QVERIFY(file.write(QByteArray(5 * 1024 * 1024, ' ')) > 0);
        file.close();
        QVERIFY(WidgetSnapshot::decode(QByteArray(*sample().encode()) + QByteArray(64, ' ')));
        QVERIFY(!store.load());
    }

    // A writer killed at any moment leaves the old file or the new one.
    void killedWriterLeavesAWholeFile()
    {
        Test::IsolatedXdg xdg;
        const WidgetSnapshotStore store {xdg.cacheHome()};
        QVERIFY(store.write(sample()));
        QRandomGenerator random(42);
        for (int kill = 0; kill < 20; ++kill) {
            QProcess writer;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QString::fromLatin1(kWriterVariable), *store.directory);
            writer.setProcessEnvironment(environment);
            writer.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(writer.waitForReadyRead(30000));
            QTest::qWait(int(random.bounded(30)));
            writer.kill();
            QVERIFY(writer.waitForFinished());
            const std::optional<WidgetSnapshot> read = store.load();
            QVERIFY2(read == sample() || read == large(), qPrintable(QStringLiteral("after kill %1").arg(kill)));
        }
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(kWriterVariable))
        return runWriter();
    QCoreApplication app(argc, argv);
    TestWidgetSnapshot test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_widgetsnapshot.moc"
