// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlist/alertdecision.h"
#include "coinlist/coinlistviewmodel.h"
#include "coinlist/pricefreshness.h"
#include "fakeclock.h"
#include "fakepriceservice.h"
#include "faketimer.h"
#include "market/coincatalog.h"
#include "memorysettingsstore.h"
#include "platform/bundle.h"
#include "recordingnotifier.h"
#include "recordingstatusitem.h"
#include "settingsstore/settingsstore.h"
#include "settingsstore/settingsviewmodel.h"
#include "testenvironment.h"
#include "tray/menubarviewmodel.h"
#include "tray/trayitem.h"
#include "widgetkit/priceformatter.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

using Test::MemorySettingsStore;

CoinMetadata record(const QString &id, const QString &symbol, qint64 rank, CoinStatus status = CoinStatus::active,
    std::optional<QString> migratedTo = std::nullopt)
{
    CoinMetadata metadata;
    metadata.id = id;
    metadata.symbol = symbol;
    metadata.name = id.left(1).toUpper() + id.mid(1);
    metadata.rank = rank;
    metadata.status = status;
    metadata.listed = status == CoinStatus::active;
    metadata.migratedTo = std::move(migratedTo);
    return metadata;
}

QList<CoinMetadata> testRecords()
{
    return {
        record(QStringLiteral("bitcoin"), QStringLiteral("BTC"), 1),
        record(QStringLiteral("ethereum"), QStringLiteral("ETH"), 2),
        record(QStringLiteral("solana"), QStringLiteral("SOL"), 5),
        record(QStringLiteral("dogecoin"), QStringLiteral("DOGE"), 8),
        record(QStringLiteral("polygon"), QStringLiteral("POL"), 20),
        record(QStringLiteral("matic"), QStringLiteral("MATIC"), 21, CoinStatus::migrated, QStringLiteral("polygon")),
        record(QStringLiteral("terra"), QStringLiteral("LUNC"), 90, CoinStatus::delisted),
    };
}

WatchlistCoin entry(const char *id, CoinAlertKind kind = CoinAlertKind::notSet, double threshold = 2.0)
{
    return WatchlistCoin {QString::fromLatin1(id), kind, threshold};
}

AppSettings settingsWith(QList<WatchlistCoin> watchlist, const char *displayed = "bitcoin")
{
    AppSettings settings;
    settings.watchlistCoins = std::move(watchlist);
    settings.displayedCoinId = QString::fromLatin1(displayed);
    return settings;
}

// Everything a coin list needs, in virtual time.
struct Rig
{
    explicit Rig(const AppSettings &initial, QList<CoinMetadata> records = testRecords())
        : store(initial)
        , settings(store)
        , catalog(std::move(records), Bundle())
        , timers(clock)
    { }

    void start()
    {
        model = std::make_unique<CoinListViewModel>(catalog, settings, prices, notifier, timers, clock.clock());
    }

    // Answers the pending fetch with `snapshot`.
    void deliver(const PriceSnapshot &snapshot) { QVERIFY(prices.answer(snapshot)); }

    std::optional<double> price(const QString &id) const
    {
        for (const Coin &coin : model->coins()) {
            if (coin.id == id)
                return coin.currentPrice;
        }
        return std::nullopt;
    }

    MemorySettingsStore store;
    SettingsViewModel settings;
    CoinCatalog catalog;
    Test::FakeClock clock;
    Test::FakeTimerFactory timers;
    Test::FakePriceService prices;
    Test::RecordingNotifier notifier;
    std::unique_ptr<CoinListViewModel> model;
};

// A tray item whose panel the test turns dark.
class RecordingTrayItem final : public TrayItem
{
public:
    void present(const StatusPresentation &presentation) override { m_last = presentation; }
    bool isDarkAppearance() const override { return m_dark; }
    void setMenu(const TrayMenu &) override { }
    TrayMenu menu() const override { return {}; }
    void popupMenu(QPoint) override { }

    void turnDark()
    {
        m_dark = true;
        Q_EMIT appearanceChanged();
    }
    const StatusPresentation &last() const { return m_last; }

private:
    StatusPresentation m_last;
    bool m_dark = false;
};

QStringList ids(const QList<Coin> &coins)
{
    QStringList result;
    for (const Coin &coin : coins)
        result.append(coin.id);
    return result;
}

} // namespace

class TestCoinListViewModel final : public QObject
{
    Q_OBJECT

    Test::IsolatedXdg m_xdg;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // One price against one reference.
    void decideAlert_data()
    {
        QTest::addColumn<CoinAlertKind>("kind");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<double>("rate");
        QTest::addColumn<std::optional<double>>("reference");
        QTest::addColumn<double>("price");
        QTest::addColumn<bool>("fires");
        QTest::addColumn<std::optional<double>>("referenceAfter");

        using R = std::optional<double>;
        const auto above = CoinAlertKind::above;
        const auto below = CoinAlertKind::below;
        const auto change = CoinAlertKind::change;
        const auto notSet = CoinAlertKind::notSet;
        QTest::newRow("above: first price above target") << above << 100.0 << 1.0 << R() << 120.0 << false << R(120);
        QTest::newRow("above: crossing up") << above << 100.0 << 1.0 << R(95) << 101.0 << true << R(101);
        QTest::newRow("above: equality counts") << above << 100.0 << 1.0 << R(95) << 100.0 << true << R(100);
        QTest::newRow("above: stays above, keeps reference")
            << above << 100.0 << 1.0 << R(101) << 102.0 << false << R(101);
        QTest::newRow("above: below target re-arms") << above << 100.0 << 1.0 << R(101) << 99.0 << false << R(99);
        QTest::newRow("above: target converted with rate") << above << 100.0 << 0.9 << R(85) << 90.0 << true << R(90);
        QTest::newRow("above: in EUR, 95 is above 90") << above << 100.0 << 0.9 << R(89) << 95.0 << true << R(95);
        QTest::newRow("above: zero rate leaves threshold as stored")
            << above << 100.0 << 0.0 << R(95) << 99.0 << false << R(99);
        QTest::newRow("below: crossing down, equality counts")
            << below << 100.0 << 1.0 << R(105) << 100.0 << true << R(100);
        QTest::newRow("below: first price below target") << below << 100.0 << 1.0 << R() << 90.0 << false << R(90);
        QTest::newRow("below: stays below, keeps reference")
            << below << 100.0 << 1.0 << R(99) << 98.0 << false << R(99);
        QTest::newRow("below: above target re-arms") << below << 100.0 << 1.0 << R(99) << 101.0 << false << R(101);
        QTest::newRow("below: converted target") << below << 100.0 << 7.2 << R(800) << 720.0 << true << R(720);
        QTest::newRow("change: exactly the threshold up") << change << 2.0 << 1.0 << R(100) << 102.0 << true << R(102);
        QTest::newRow("change: exactly the threshold down") << change << 2.0 << 1.0 << R(100) << 98.0 << true << R(98);
        QTest::newRow("change: short of it keeps reference")
            << change << 2.0 << 1.0 << R(100) << 101.9 << false << R(100);
        QTest::newRow("change: rate plays no part") << change << 2.0 << 0.5 << R(100) << 101.0 << false << R(100);
        QTest::newRow("change: first price") << change << 2.0 << 1.0 << R() << 100.0 << false << R(100);
        QTest::newRow("change: threshold 0 fires on the first price")
            << change << 0.0 << 1.0 << R() << 100.0 << true << R(100);
        QTest::newRow("change: zero reference counts as no move")
            << change << 2.0 << 1.0 << R(0) << 50.0 << false << R(0);
        QTest::newRow("notSet: never") << notSet << 0.0 << 1.0 << R(1) << 1000.0 << false << R(1);
        QTest::newRow("notSet: first price becomes reference") << notSet << 0.0 << 1.0 << R() << 7.0 << false << R(7);
    }

    void decideAlert()
    {
        QFETCH(CoinAlertKind, kind);
        QFETCH(double, threshold);
        QFETCH(double, rate);
        QFETCH(std::optional<double>, reference);
        QFETCH(double, price);
        QFETCH(bool, fires);
        QFETCH(std::optional<double>, referenceAfter);

        const AlertDecision decision = Vantrell::decideAlert(kind, threshold, rate, price, reference);
        QCOMPARE(decision.fires, fires);
        QCOMPARE(decision.referenceAfter, referenceAfter);
        QCOMPARE(decision.change, changeSinceReference(price, reference));
    }

    // Price sequences through the whole model: which prices alert, and what the notifier hears.
    void alertSequence_data()
    {
        QTest::addColumn<CoinAlertKind>("kind");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<BaseCurrency>("currency");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QList<double>>("sequence");
        QTest::addColumn<QList<int>>("firing");
        QTest::addColumn<QList<double>>("changes");

        const auto usd = BaseCurrency::usd;
        QTest::newRow("above 100 USD") << CoinAlertKind::above << 100.0 << usd << 1.0
                                       << QList<double> {95, 101, 102, 99, 103} << QList<int> {1, 4}
                                       << QList<double> {101.0 / 95 * 100 - 100, 103.0 / 99 * 100 - 100};
        QTest::newRow("above 100 USD shown in EUR")
            << CoinAlertKind::above << 100.0 << BaseCurrency::eur << 0.9 << QList<double> {85, 89.9, 90, 91}
            << QList<int> {2} << QList<double> {90.0 / 89.9 * 100 - 100};
        QTest::newRow("above starting above the target")
            << CoinAlertKind::above << 100.0 << usd << 1.0 << QList<double> {120, 110, 99, 100} << QList<int> {3}
            << QList<double> {100.0 / 99 * 100 - 100};
        // A move of more than 10 % in one poll alerts only once the next poll confirms it within 1 %.
        QTest::newRow("one wild tick is no alert")
            << CoinAlertKind::change << 5.0 << usd << 1.0 << QList<double> {100, 130, 100.5, 101} << QList<int> {}
            << QList<double> {};
        QTest::newRow("a real crash alerts one poll later")
            << CoinAlertKind::change << 5.0 << usd << 1.0 << QList<double> {100, 85, 85.4} << QList<int> {2}
            << QList<double> {85.4 / 100 * 100 - 100};
        QTest::newRow("a 9 % move alerts at once")
            << CoinAlertKind::change << 5.0 << usd << 1.0 << QList<double> {100, 91} << QList<int> {1}
            << QList<double> {91.0 / 100 * 100 - 100};
        QTest::newRow("a spike across the target waits, and falls back")
            << CoinAlertKind::above << 100.0 << usd << 1.0 << QList<double> {95, 120, 95.5, 96} << QList<int> {}
            << QList<double> {};
        QTest::newRow("a confirmed jump across the target fires")
            << CoinAlertKind::above << 100.0 << usd << 1.0 << QList<double> {95, 120, 119} << QList<int> {2}
            << QList<double> {119.0 / 95 * 100 - 100};
        QTest::newRow("two wild ticks either way, then back")
            << CoinAlertKind::below << 90.0 << usd << 1.0 << QList<double> {100, 130, 70, 100.2, 69, 69.5}
            << QList<int> {5} << QList<double> {69.5 / 100.2 * 100 - 100};
        QTest::newRow("below 100, equality counts")
            << CoinAlertKind::below << 100.0 << usd << 1.0 << QList<double> {105, 100} << QList<int> {1}
            << QList<double> {100.0 / 105 * 100 - 100};
        QTest::newRow("below 1 USD in JPY")
            << CoinAlertKind::below << 1.0 << BaseCurrency::jpy << 150.0 << QList<double> {160, 151, 150, 149, 151, 140}
            << QList<int> {2, 5} << QList<double> {150.0 / 151 * 100 - 100, 140.0 / 151 * 100 - 100};
        QTest::newRow("change 2 %") << CoinAlertKind::change << 2.0 << usd << 1.0
                                    << QList<double> {100, 101, 102, 103, 99} << QList<int> {2, 4}
                                    << QList<double> {2.0, 99.0 / 102 * 100 - 100};
        QTest::newRow("change 0 % fires on every price")
            << CoinAlertKind::change << 0.0 << usd << 1.0 << QList<double> {10, 10, 11} << QList<int> {0, 1, 2}
            << QList<double> {0.0, 0.0, 10.0};
        QTest::newRow("notSet") << CoinAlertKind::notSet << 0.0 << usd << 1.0 << QList<double> {1, 1000, 0.001}
                                << QList<int> {} << QList<double> {};
    }

    void alertSequence()
    {
        QFETCH(CoinAlertKind, kind);
        QFETCH(double, threshold);
        QFETCH(BaseCurrency, currency);
        QFETCH(double, rate);
        QFETCH(QList<double>, sequence);
        QFETCH(QList<int>, firing);
        QFETCH(QList<double>, changes);

        AppSettings initial = settingsWith({entry("bitcoin", kind, threshold), entry("ethereum")});
        initial.baseCurrency = currency;
        Rig rig(initial);
        rig.start();

        QList<int> fired;
        for (int i = 0; i < sequence.size(); ++i) {
            const qsizetype before = rig.notifier.alerts.size();
            rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), sequence[i]}, {QStringLiteral("ETH"), 1.0}}, rate));
            if (rig.notifier.alerts.size() > before)
                fired.append(i);
            rig.timers.advance(10s);
        }
        QCOMPARE(fired, firing);
        QCOMPARE(rig.notifier.alerts.size(), changes.size());
        for (int i = 0; i < changes.size(); ++i) {
            const auto &alert = rig.notifier.alerts.at(i);
            QCOMPARE(alert.coin.id, QStringLiteral("bitcoin"));
            QCOMPARE(alert.coin.currentPrice, sequence[firing[i]]);
            QCOMPARE(alert.kind, kind);
            QCOMPARE(alert.currency, currency);
            QCOMPARE(alert.threshold, threshold); // as stored, in USD
            QCOMPARE(alert.usdToTargetRate, rate);
            QVERIFY2(std::abs(alert.change - changes[i]) < 1e-9, qPrintable(QString::number(alert.change)));
        }
    }

    void alertsSwitchedOffKeepFirstReference()
    {
        AppSettings initial = settingsWith({entry("bitcoin", CoinAlertKind::change, 5)});
        initial.priceChangeNotificationEnabled = false;
        Rig rig(initial);
        rig.start();
        for (double price : {100.0, 120.0, 80.0}) {
            rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), price}}));
            rig.timers.advance(10s);
        }
        QVERIFY(rig.notifier.alerts.isEmpty());
        QCOMPARE(rig.model->coins().at(0).referencePrice, 100.0);

        // Switched on, the next price is judged against that first price.
        rig.settings.update([](AppSettings &s) { s.priceChangeNotificationEnabled = true; });
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 106.0}}));
        QCOMPARE(rig.notifier.alerts.size(), 1);
        QCOMPARE(rig.notifier.alerts.at(0).change, 6.0);
    }

    void duplicateWatchlistEntryAlertsOnce()
    {
        Rig rig(settingsWith({entry("bitcoin", CoinAlertKind::change, 0), entry("bitcoin", CoinAlertKind::above, 1)}));
        rig.start();
        QCOMPARE(ids(rig.model->coins()), (QStringList {QStringLiteral("bitcoin"), QStringLiteral("bitcoin")}));
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        QCOMPARE(rig.notifier.alerts.size(), 1);
        QCOMPARE(rig.notifier.alerts.at(0).kind, CoinAlertKind::change); // the first entry counts
        QCOMPARE(rig.model->coins().at(1).currentPrice, 100.0);
    }

    void currencyChangeClearsReferences()
    {
        Rig rig(settingsWith({entry("bitcoin", CoinAlertKind::change, 5), entry("ethereum")}));
        rig.start();
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}, {QStringLiteral("ETH"), 10.0}}));
        QCOMPARE(rig.model->priceDataCurrency(), BaseCurrency::usd);

        // What the shell does after the currency setting changed.
        rig.settings.update([](AppSettings &s) { s.baseCurrency = BaseCurrency::eur; });
        rig.model->rebuildCoins();
        for (const Coin &coin : rig.model->coins()) {
            QCOMPARE(coin.currentPrice, std::nullopt);
            QCOMPARE(coin.referencePrice, std::nullopt);
            QCOMPARE(coin.lastUpdated, std::nullopt);
        }
        rig.model->restartPolling();
        QCOMPARE(rig.prices.last()->currency, BaseCurrency::eur);

        // 90 EUR is no 10 % fall from 100 USD: the EUR price is the new first price.
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 90.0}, {QStringLiteral("ETH"), 9.0}}, 0.9));
        QVERIFY(rig.notifier.alerts.isEmpty());
        QCOMPARE(rig.model->priceDataCurrency(), BaseCurrency::eur);
        QCOMPARE(rig.model->coins().at(0).referencePrice, 90.0);
        QCOMPARE(rig.model->usdToTargetRate(), 0.9);
    }

    void snapshotInAnotherCurrencyClearsReferences()
    {
        Rig rig(settingsWith({entry("bitcoin", CoinAlertKind::change, 5)}));
        rig.start();
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        rig.model->applySnapshot({{QStringLiteral("BTC"), 700.0}}, {}, BaseCurrency::cny, 7.0);
        QVERIFY(rig.notifier.alerts.isEmpty());
        QCOMPARE(rig.model->coins().at(0).referencePrice, 700.0);
        QCOMPARE(rig.model->priceDataCurrency(), BaseCurrency::cny);
    }

    void snapshotForAbandonedCurrencyIsDropped()
    {
        Rig rig(settingsWith({entry("bitcoin")}));
        rig.start();
        QCOMPARE(rig.prices.last()->currency, BaseCurrency::usd);
        rig.settings.update([](AppSettings &s) { s.baseCurrency = BaseCurrency::gbp; });
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}, 1.0));
        QCOMPARE(rig.price(QStringLiteral("bitcoin")), std::nullopt);
        QCOMPARE(rig.model->priceDataCurrency(), std::nullopt);
        QVERIFY(!rig.model->isLoading());
    }

    void appliesPricesChangesAndTime()
    {
        Rig rig(settingsWith({entry("bitcoin"), entry("ethereum"), entry("solana")}));
        rig.start();
        QCOMPARE(rig.prices.last()->symbols,
            (QStringList {QStringLiteral("BTC"), QStringLiteral("ETH"), QStringLiteral("SOL")}));
        const QDateTime firstUpdate = rig.clock.now();
        rig.deliver(Test::makeSnapshot(
            {{QStringLiteral("BTC"), 100.0}, {QStringLiteral("ETH"), 10.0}, {QStringLiteral("SOL"), 1.0}}, 1.0,
            {{QStringLiteral("BTC"), -1.5}, {QStringLiteral("ETH"), 0.0}}));
        const auto coins = rig.model->coins();
        QCOMPARE(coins.at(0).priceChange24hPercent, -1.5);
        QCOMPARE(coins.at(1).priceChange24hPercent, 0.0);
        QCOMPARE(coins.at(2).priceChange24hPercent, std::nullopt);
        QCOMPARE(coins.at(2).lastUpdated, firstUpdate);

        // SOL missing from the next snapshot keeps its price and time; a change that vanished goes.
        rig.timers.advance(10s);
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 101.0}, {QStringLiteral("ETH"), 11.0}}));
        const auto later = rig.model->coins();
        QCOMPARE(later.at(0).currentPrice, 101.0);
        QCOMPARE(later.at(0).priceChange24hPercent, std::nullopt);
        QCOMPARE(later.at(0).lastUpdated, firstUpdate.addSecs(10));
        QCOMPARE(later.at(2).currentPrice, 1.0);
        QCOMPARE(later.at(2).lastUpdated, firstUpdate);
    }

    void unusablePriceLeavesCoinAlone_data()
    {
        QTest::addColumn<double>("price");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -3.0;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    }

    void unusablePriceLeavesCoinAlone()
    {
        QFETCH(double, price);
        Rig rig(settingsWith({entry("bitcoin", CoinAlertKind::change, 2)}));
        rig.start();
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), price}}));
        QCOMPARE(rig.model->coins().at(0), Coin::fromMetadata(rig.catalog.byID().value(QStringLiteral("bitcoin"))));

        // The change alert still works from the first real price on.
        rig.timers.advance(10s);
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        rig.timers.advance(10s);
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 103.0}}));
        QCOMPARE(rig.notifier.alerts.size(), 1);
    }

    void failedFetchKeepsPrices()
    {
        Rig rig(settingsWith({entry("bitcoin")}));
        rig.start();
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        const QList<Coin> before = rig.model->coins();
        rig.timers.advance(10s);
        QVERIFY(rig.model->isLoading());
        QVERIFY(rig.prices.answer(MarketError::make(MarketError::Code::cannotLoadFromNetwork)));
        QVERIFY(!rig.model->isLoading());
        QCOMPARE(rig.model->coins(), before);
        rig.timers.advance(10s);
        QCOMPARE(rig.prices.fetchCount(), 3);
    }

    // Whether every exchange refuses this network follows the outcome of each
    // fetch: set by a refusal, cleared by prices or by a failure of another kind.
    void networkRefusalFollowsEachFetch_data()
    {
        QTest::addColumn<QList<int>>("outcomes"); // -1 prices, else a MarketError code
        QTest::addColumn<QList<bool>>("expected");
        QTest::addColumn<int>("signals");

        const int refused = int(MarketError::Code::networkRefused);
        const int unreachable = int(MarketError::Code::cannotLoadFromNetwork);
        QTest::newRow("refused, and again") << QList<int> {refused, refused} << QList<bool> {true, true} << 1;
        QTest::newRow("prices end it") << QList<int> {refused, -1} << QList<bool> {true, false} << 2;
        QTest::newRow("another failure ends it") << QList<int> {refused, unreachable} << QList<bool> {true, false} << 2;
        QTest::newRow("other failures never set it")
            << QList<int> {unreachable, unreachable} << QList<bool> {false, false} << 0;
    }

    void networkRefusalFollowsEachFetch()
    {
        QFETCH(QList<int>, outcomes);
        QFETCH(QList<bool>, expected);
        QFETCH(int, signals);

        Rig rig(settingsWith({entry("bitcoin")}));
        rig.start();
        QSignalSpy changes(rig.model.get(), &CoinListViewModel::networkRefusedChanged);
        for (qsizetype i = 0; i < outcomes.size(); ++i) {
            if (i > 0)
                rig.timers.advance(10s);
            if (outcomes[i] < 0)
                rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
            else
                QVERIFY(rig.prices.answer(MarketError::make(MarketError::Code(outcomes[i]))));
            QCOMPARE(rig.model->networkRefused(), expected[i]);
        }
        QCOMPARE(changes.size(), signals);
    }

    // The exchange of each price is kept with the coin, and follows the next price.
    void coinsKeepTheExchangeOfTheirPrice()
    {
        Rig rig(settingsWith({entry("bitcoin"), entry("ethereum")}));
        rig.start();
        PriceSnapshot snapshot = Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}, {QStringLiteral("ETH"), 10.0}});
        snapshot.sources
            = {{QStringLiteral("BTC"), QStringLiteral("kraken")}, {QStringLiteral("ETH"), QStringLiteral("okx")}};
        rig.deliver(snapshot);
        QCOMPARE(rig.model->coins().at(0).priceSource, QStringLiteral("kraken"));
        QCOMPARE(rig.model->coins().at(1).priceSource, QStringLiteral("okx"));

        rig.timers.advance(10s);
        snapshot.prices.remove(QStringLiteral("ETH"));
        snapshot.sources = {{QStringLiteral("BTC"), QStringLiteral("coinbase")}};
        rig.deliver(snapshot);
        QCOMPARE(rig.model->coins().at(0).priceSource, QStringLiteral("coinbase"));
        // No new price: the old one stays on show, with its exchange.
        QCOMPARE(rig.model->coins().at(1).priceSource, QStringLiteral("okx"));
    }

    // The warning comes from the clock, not from a fetch ending: a fetch that
    // hangs for ten minutes must not keep it away.
    void pricesTurnStaleWhileAFetchHangs()
    {
        Rig rig(settingsWith({entry("bitcoin")}));
        rig.start();
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        const QDateTime fetchedAt = rig.clock.now();
        QSignalSpy changes(rig.model.get(), &CoinListViewModel::stalePricesSinceChanged);

        rig.timers.advance(10s);
        QVERIFY(rig.model->isLoading()); // and never answered
        rig.timers.advance(stalePriceAge - 10s - 1ms);
        QCOMPARE(rig.model->stalePricesSince(), std::nullopt);
        rig.timers.advance(1ms);
        QCOMPARE(rig.model->stalePricesSince(), std::optional(fetchedAt));
        rig.timers.advance(10min);
        QCOMPARE(changes.size(), 1);

        // Failures keep it; the next price clears it.
        QVERIFY(rig.prices.answer(MarketError::make(MarketError::Code::cannotLoadFromNetwork)));
        QCOMPARE(rig.model->stalePricesSince(), std::optional(fetchedAt));
        rig.timers.advance(10s);
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 101.0}}));
        QCOMPARE(rig.model->stalePricesSince(), std::nullopt);
        QCOMPARE(changes.size(), 2);
    }

    // Monotonic timers stand still during sleep; the wake-up restart looks at the wall clock.
    void restartAfterSleepShowsStalePricesAtOnce()
    {
        Rig rig(settingsWith({entry("bitcoin")}));
        rig.start();
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        const QDateTime fetchedAt = rig.clock.now();
        rig.clock.advance(3600);
        rig.model->restartPolling();
        QCOMPARE(rig.model->stalePricesSince(), std::optional(fetchedAt));
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        QCOMPARE(rig.model->stalePricesSince(), std::nullopt);
    }

    void rebuild_data()
    {
        QTest::addColumn<QList<WatchlistCoin>>("watchlist");
        QTest::addColumn<QString>("displayed");
        QTest::addColumn<QStringList>("expectedCoins");
        QTest::addColumn<QString>("expectedDisplayed");
        QTest::addColumn<QStringList>("fetched");

        const auto s = [](const char *text) { return QString::fromLatin1(text); };
        QTest::newRow("empty watchlist") << QList<WatchlistCoin> {} << s("ethereum") << QStringList {} << s("ethereum")
                                         << QStringList {};
        QTest::newRow("displayed coin not watched")
            << QList<WatchlistCoin> {entry("dogecoin"), entry("bitcoin")} << s("ethereum")
            << QStringList {s("dogecoin"), s("bitcoin")} << s("dogecoin") << QStringList {s("DOGE"), s("BTC")};
        QTest::newRow("unknown ids give no coin but count as watched")
            << QList<WatchlistCoin> {entry("nosuchcoin"), entry("bitcoin")} << s("nosuchcoin")
            << QStringList {s("bitcoin")} << s("nosuchcoin") << QStringList {s("BTC")};
        QTest::newRow("inactive coins are shown, never fetched")
            << QList<WatchlistCoin> {entry("terra"), entry("ethereum")} << s("terra")
            << QStringList {s("terra"), s("ethereum")} << s("terra") << QStringList {s("ETH")};
        QTest::newRow("only inactive coins") << QList<WatchlistCoin> {entry("terra")} << s("terra")
                                             << QStringList {s("terra")} << s("terra") << QStringList {};
        QTest::newRow("migrated coin moves to its successor")
            << QList<WatchlistCoin> {entry("matic", CoinAlertKind::above, 1), entry("bitcoin")} << s("matic")
            << QStringList {s("polygon"), s("bitcoin")} << s("polygon") << QStringList {s("POL"), s("BTC")};
    }

    void rebuild()
    {
        QFETCH(QList<WatchlistCoin>, watchlist);
        QFETCH(QString, displayed);
        QFETCH(QStringList, expectedCoins);
        QFETCH(QString, expectedDisplayed);
        QFETCH(QStringList, fetched);

        AppSettings initial = settingsWith(watchlist);
        initial.displayedCoinId = displayed;
        Rig rig(initial);
        rig.start();

        QCOMPARE(ids(rig.model->coins()), expectedCoins);
        QCOMPARE(rig.settings.settings().displayedCoinId, expectedDisplayed);
        // Whatever the model changed in the settings is saved at once.
        QCOMPARE(rig.store.saves > 0, rig.store.stored != initial);
        QCOMPARE(rig.store.stored->displayedCoinId, expectedDisplayed);
        if (fetched.isEmpty()) {
            QCOMPARE(rig.prices.fetchCount(), 0);
            QVERIFY(!rig.model->isLoading());
            rig.timers.advance(60s);
            QCOMPARE(rig.prices.fetchCount(), 0);
        } else {
            QCOMPARE(rig.prices.fetchCount(), 1);
            QCOMPARE(rig.prices.last()->symbols, fetched);
        }
    }

    void pricesSurviveRebuildInSameCurrency()
    {
        Rig rig(settingsWith({entry("bitcoin", CoinAlertKind::change, 3), entry("ethereum")}));
        rig.start();
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}, {QStringLiteral("ETH"), 10.0}}));
        const QList<Coin> before = rig.model->coins();

        // A polling interval change, as the shell applies it.
        rig.settings.update([](AppSettings &s) {
            s.pollingInterval = 30;
            s.watchlistCoins.prepend(entry("solana"));
        });
        rig.model->rebuildCoins();
        rig.model->restartPolling();
        QCOMPARE(rig.model->coins().at(1), before.at(0));
        QCOMPARE(rig.model->coins().at(2), before.at(1));
        QCOMPARE(rig.model->coins().at(0).currentPrice, std::nullopt);
        QCOMPARE(rig.prices.fetchCount(), 2);
        QCOMPARE(rig.timers.nextTimeout(), std::optional(30'000ms));
    }

    void overlappingTicksAreDropped()
    {
        Rig rig(settingsWith({entry("bitcoin")}));
        rig.start();
        QSignalSpy loadingChanges(rig.model.get(), &CoinListViewModel::isLoadingChanged);
        QCOMPARE(rig.prices.fetchCount(), 1);
        QVERIFY(rig.model->isLoading());
        rig.timers.advance(35s); // three ticks while the first fetch hangs
        QCOMPARE(rig.prices.fetchCount(), 1);
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        QVERIFY(!rig.model->isLoading());
        rig.timers.advance(5s);
        QCOMPARE(rig.prices.fetchCount(), 2);
        QCOMPARE(loadingChanges.size(), 2);
    }

    void restartAbandonsRunningFetch()
    {
        Rig rig(settingsWith({entry("bitcoin")}));
        rig.start();
        const auto first = rig.prices.last();
        rig.model->restartPolling();
        QVERIFY(first->cancelled);
        QCOMPARE(rig.prices.fetchCount(), 2);
        QVERIFY(rig.model->isLoading());

        // An abandoned fetch that answers anyway changes nothing.
        Test::FakePriceService::finish(*first, Test::makeSnapshot({{QStringLiteral("BTC"), 1.0}}));
        QCOMPARE(rig.price(QStringLiteral("bitcoin")), std::nullopt);
        QVERIFY(rig.model->isLoading());
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 2.0}}));
        QCOMPARE(rig.price(QStringLiteral("bitcoin")), 2.0);
    }

    void serviceAnsweringAtOnce()
    {
        Rig rig(settingsWith({entry("bitcoin")}));
        rig.prices.answerAtOnce = Test::makeSnapshot({{QStringLiteral("BTC"), 5.0}});
        rig.start();
        QCOMPARE(rig.price(QStringLiteral("bitcoin")), 5.0);
        QVERIFY(!rig.model->isLoading());
        rig.timers.advance(10s);
        QCOMPARE(rig.prices.fetchCount(), 2);
        rig.model->restartPolling(); // nothing left to cancel
        QCOMPARE(rig.prices.fetchCount(), 3);
        QVERIFY(!rig.prices.last()->cancelled);
    }

    void pollPeriod_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("milliseconds");
        QTest::newRow("default") << 10.0 << qint64(10'000);
        QTest::newRow("half a second") << 0.5 << qint64(500);
        QTest::newRow("very long") << 100000.0 << qint64(100'000'000);
        QTest::newRow("below a millisecond") << 0.0001 << qint64(1);
        QTest::newRow("zero") << 0.0 << qint64(10'000);
        QTest::newRow("negative") << -1.0 << qint64(10'000);
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << qint64(10'000);
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << qint64(10'000);
        QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << qint64(10'000);
    }

    void pollPeriod()
    {
        QFETCH(double, seconds);
        QFETCH(qint64, milliseconds);
        QCOMPARE(CoinListViewModel::pollPeriod(seconds).count(), milliseconds);

        AppSettings initial = settingsWith({entry("bitcoin")});
        initial.pollingInterval = seconds;
        Rig rig(initial);
        rig.prices.answerAtOnce = Test::makeSnapshot({{QStringLiteral("BTC"), 5.0}});
        rig.start();
        QCOMPARE(rig.prices.fetchCount(), 1);
        rig.timers.advance(std::chrono::milliseconds(milliseconds - 1));
        QCOMPARE(rig.prices.fetchCount(), 1);
        rig.timers.advance(1ms);
        QCOMPARE(rig.prices.fetchCount(), 2);
        // The stored value is left as the user wrote it.
        QCOMPARE(std::isnan(rig.settings.settings().pollingInterval), std::isnan(seconds));
        if (!std::isnan(seconds))
            QCOMPARE(rig.settings.settings().pollingInterval, seconds);
    }

    void catalogUpdateRebuildsAndRestarts()
    {
        Rig rig(settingsWith({entry("bitcoin"), entry("newcoin")}));
        rig.start();
        QCOMPARE(ids(rig.model->coins()), QStringList {QStringLiteral("bitcoin")});
        QList<CoinMetadata> records = testRecords();
        records.append(record(QStringLiteral("newcoin"), QStringLiteral("NEW"), 50));
        rig.catalog.setCoins(records, Bundle());
        QCOMPARE(ids(rig.model->coins()), (QStringList {QStringLiteral("bitcoin"), QStringLiteral("newcoin")}));
        QVERIFY(rig.prices.fetches().at(0)->cancelled);
        QCOMPARE(rig.prices.last()->symbols, (QStringList {QStringLiteral("BTC"), QStringLiteral("NEW")}));
    }

    // The tooltip learns of stale prices from the timer, and forgets with the next price.
    void menuBarFollowsStaleness()
    {
        Rig rig(settingsWith({entry("bitcoin")}));
        rig.start();
        Test::RecordingStatusItem item;
        MenuBarViewModel menuBar;
        menuBar.bind(*rig.model, rig.settings, item);
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        const QString fetchedAt = shortTime(rig.clock.now().toLocalTime().time(), AppLanguage::system);
        QCOMPARE(item.presentations().constLast().stalePricesTime, QString());

        rig.timers.advance(stalePriceAge);
        QCOMPARE(item.presentations().constLast().stalePricesTime, fetchedAt);
        QCOMPARE(item.presentations().constLast().text, QStringLiteral("BTC 100"));

        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 100.0}}));
        QCOMPARE(item.presentations().constLast().stalePricesTime, QString());
    }

    // The panel title follows both the coins and the settings.
    void menuBarFollowsCoinsAndSettings()
    {
        Rig rig(settingsWith({entry("bitcoin"), entry("ethereum")}, "ethereum"));
        rig.start();
        Test::RecordingStatusItem item;
        MenuBarViewModel menuBar;
        menuBar.bind(*rig.model, rig.settings, item);
        QCOMPARE(item.presentations().size(), 1);
        QCOMPARE(item.last().kind, StatusPresentation::Kind::icon);

        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 97342.6}, {QStringLiteral("ETH"), 3456.7}}));
        QCOMPARE(item.last().kind, StatusPresentation::Kind::title);
        QCOMPARE(item.last().text, QStringLiteral("ETH 3,457"));

        // The handler sees the new record although the stored one is still the old.
        rig.settings.update([](AppSettings &s) { s.displayedCoinId = QStringLiteral("bitcoin"); });
        QCOMPARE(item.last().text, QStringLiteral("BTC 97,343"));
        rig.settings.update([](AppSettings &s) { s.menuBarContent = MenuBarContent::icon; });
        QCOMPARE(item.last().kind, StatusPresentation::Kind::icon);

        // Binding again replaces the first binding.
        menuBar.bind(*rig.model, rig.settings, item);
        const qsizetype before = item.presentations().size();
        rig.settings.update([](AppSettings &s) { s.menuBarContent = MenuBarContent::price; });
        QCOMPARE(item.presentations().size(), before + 1);
    }

    // Without price colours a background title takes its colours from the
    // panel: they follow the panel at once, not only with the next price.
    void menuBarFollowsThePanelsAppearance()
    {
        AppSettings settings = settingsWith({entry("bitcoin")});
        settings.priceColorEnabled = false;
        settings.showMenuBarBackground = true;
        Rig rig(settings);
        rig.start();
        RecordingTrayItem item;
        MenuBarViewModel menuBar;
        menuBar.bind(*rig.model, rig.settings, item);
        rig.deliver(Test::makeSnapshot({{QStringLiteral("BTC"), 97342.6}}));
        QCOMPARE(item.last().background, std::optional<QColor>(QColor(Qt::black)));

        item.turnDark();
        QCOMPARE(item.last().background, std::optional<QColor>(QColor(Qt::white)));
        QCOMPARE(item.last().text, QStringLiteral(" BTC 97,343 "));
    }

    void destroyedModelStopsPolling()
    {
        Rig rig(settingsWith({entry("bitcoin")}));
        rig.start();
        const auto fetch = rig.prices.last();
        rig.model.reset();
        QVERIFY(fetch->cancelled);
        QCOMPARE(rig.timers.timerCount(), 0);
        Test::FakePriceService::finish(*fetch, Test::makeSnapshot({{QStringLiteral("BTC"), 1.0}}));
    }
};

QTEST_GUILESS_MAIN(TestCoinListViewModel)
#include "tst_coinlistviewmodel.moc"
