// SPDX-License-Identifier: GPL-3.0-or-later
// The coin list with the real price and exchange-rate services, HTTP client and
// notification service: prices come over loopback sockets from the fake
// market, alerts go over the private session bus to a fake notification
// server. The poll timer runs in virtual time.
#include "alerts/notificationservice.h"
#include "coinlist/coinlistviewmodel.h"
#include "fakeclock.h"
#include "fakemarket.h"
#include "fakenotificationserver.h"
#include "faketimer.h"
#include "i18n/localizationmanager.h"
#include "logcapture.h"
#include "market/coincatalog.h"
#include "market/exchangerates.h"
#include "market/networkhttpclient.h"
#include "market/priceservice.h"
#include "memorysettingsstore.h"
#include "platform/bundle.h"
#include "settingsstore/settingsstore.h"
#include "settingsstore/settingsviewmodel.h"
#include "testenvironment.h"

#include <QStandardPaths>
#include <QTest>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

using Test::MemorySettingsStore;

StringBundle strings(AppLanguage language)
{
    return LocalizationManager::bundle(language, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)));
}

AppSettings initialSettings()
{
    AppSettings settings;
    settings.watchlistCoins = {
        WatchlistCoin {QStringLiteral("bitcoin"), CoinAlertKind::change, 2.0},
        WatchlistCoin {QStringLiteral("ethereum"), CoinAlertKind::above, 4000.0},
    };
    return settings;
}

} // namespace

class TestPollingIntegration final : public QObject
{
    Q_OBJECT

    Test::IsolatedXdg m_xdg;
    Test::FakeClock m_clock;
    FakeMarket m_market;
    Test::FakeNotificationServer m_server;
    std::unique_ptr<NetworkHTTPClient> m_client;
    std::unique_ptr<ExchangeRateService> m_rates;
    std::unique_ptr<PriceService> m_prices;
    std::unique_ptr<NotificationService> m_notifications;
    std::unique_ptr<Test::FakeTimerFactory> m_timers;
    std::unique_ptr<MemorySettingsStore> m_store;
    std::unique_ptr<SettingsViewModel> m_settings;
    std::unique_ptr<CoinCatalog> m_catalog;
    std::unique_ptr<CoinListViewModel> m_model;

    std::optional<double> price(const char *id) const
    {
        for (const Coin &coin : m_model->coins()) {
            if (coin.id == QLatin1String(id))
                return coin.currentPrice;
        }
        return std::nullopt;
    }

    // One tick of the poll timer and the fetch it starts, over the sockets.
    bool poll()
    {
        m_timers->advance(10s);
        return m_model->isLoading() && QTest::qWaitFor([this] { return !m_model->isLoading(); }, 15000);
    }

    // Everything handed to the bus so far has reached the server once a later
    // call on the same connection has been answered.
    bool busSettled(const Test::LogCapture &log)
    {
        const auto answers = [&log] {
            int count = 0;
            for (const auto &record : log.records(QStringLiteral("Notifications")))
                count += record.message.startsWith(QLatin1String("Notification server:")) ? 1 : 0;
            return count;
        };
        const int before = answers();
        m_notifications->requestAuthorization();
        return QTest::qWaitFor([&] { return answers() == before + 1; }, 15000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_market.listen() != 0);
        m_market.setClock(m_clock.clock());
        m_market.setDriftEnabled(false);
        QVERIFY(m_server.start());
        LocalizationManager::shared().setBundle(strings(AppLanguage::en));

        m_client = std::make_unique<NetworkHTTPClient>(
            NetworkHTTPClient::marketDataHosts(), NetworkHTTPClient::parseHostMap(m_market.hostMap()));
        m_rates = std::make_unique<ExchangeRateService>(*m_client, defaultExchangeRateProviders(),
            ExchangeRateCacheStore(m_xdg.cacheHome() + QStringLiteral("/vantrell")), m_clock.clock());
        m_prices = std::make_unique<PriceService>(
            *m_client, *m_rates, defaultTickerProviders(m_clock.clock()), m_clock.clock());
        m_notifications = std::make_unique<NotificationService>(QDBusConnection::sessionBus(), m_clock.clock());
        m_timers = std::make_unique<Test::FakeTimerFactory>(m_clock);
        m_store = std::make_unique<MemorySettingsStore>(initialSettings());
        m_settings = std::make_unique<SettingsViewModel>(*m_store);
        m_catalog = CoinCatalog::load(Bundle(QStringLiteral(VANTRELL_RESOURCES_DIR "/bundle")));
        QVERIFY(m_catalog->byID().contains(QStringLiteral("bitcoin")));
    }

    void cleanupTestCase()
    {
        m_model.reset();
        m_server.stop();
    }

    void firstPricesArrive()
    {
        m_market.setQuote(QStringLiteral("BTC"), 60000, 1.5);
        m_market.setQuote(QStringLiteral("ETH"), 3900, -0.5);
        m_market.setUsdRate(QStringLiteral("EUR"), 0.9);

        Test::LogCapture log;
        m_model = std::make_unique<CoinListViewModel>(
            *m_catalog, *m_settings, *m_prices, *m_notifications, *m_timers, m_clock.clock());
        QVERIFY(m_model->isLoading());
        QVERIFY(QTest::qWaitFor([this] { return !m_model->isLoading(); }, 15000));
        QCOMPARE(price("bitcoin"), 60000.0);
        QCOMPARE(price("ethereum"), 3900.0);
        QCOMPARE(m_model->coins().at(0).priceChange24hPercent, 1.5);
        QCOMPARE(m_model->coins().at(1).priceChange24hPercent, -0.5);
        QCOMPARE(m_model->priceDataCurrency(), BaseCurrency::usd);

        // First prices never alert.
        QVERIFY(busSettled(log));
        QCOMPARE(m_server.notifications().size(), 0);
    }

    void crossingAlertsOnceInEnglish()
    {
        Test::LogCapture log;
        m_market.setQuote(QStringLiteral("ETH"), 4100, 3.0);
        QVERIFY(poll());
        QCOMPARE(price("ethereum"), 4100.0);
        QTRY_COMPARE(m_server.notifications().size(), 1);
        const auto sent = m_server.notifications().constLast();
        QCOMPARE(sent.summary, QStringLiteral("Ethereum Price Alert"));
        QCOMPARE(sent.body, QString::fromUtf8("ETH rose above $4,000 — now 4,100"));
        QCOMPARE(sent.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral(VANTRELL_APP_ID));

        // Staying above the level does not alert again; nor does BTC's 1.67 % move.
        m_market.setQuote(QStringLiteral("ETH"), 4200, 3.5);
        m_market.setQuote(QStringLiteral("BTC"), 61000, 1.6);
        QVERIFY(poll());
        QCOMPARE(price("ethereum"), 4200.0);
        QVERIFY(busSettled(log));
        QCOMPARE(m_server.notifications().size(), 1);
    }

    void currencyChangeClearsReferences()
    {
        Test::LogCapture log;
        // What the shell does after the currency setting changed.
        m_settings->update([](AppSettings &s) { s.baseCurrency = BaseCurrency::eur; });
        m_model->rebuildCoins();
        QCOMPARE(price("bitcoin"), std::nullopt);
        m_model->restartPolling();
        QVERIFY(QTest::qWaitFor([this] { return !m_model->isLoading(); }, 15000));

        // 61,000 USD is 54,900 EUR: a 10 % "fall" against the USD reference, but no alert.
        QCOMPARE(m_model->priceDataCurrency(), BaseCurrency::eur);
        QCOMPARE(m_model->usdToTargetRate(), 0.9);
        QCOMPARE(price("bitcoin"), 61000 * 0.9);
        QCOMPARE(m_model->coins().at(0).referencePrice, 61000 * 0.9);
        QVERIFY(busSettled(log));
        QCOMPARE(m_server.notifications().size(), 1);
    }

    void changeAlertsInChinese()
    {
        LocalizationManager::shared().setBundle(strings(AppLanguage::zhHans));
        // +3 % against the first EUR price.
        m_market.setQuote(QStringLiteral("BTC"), 62830, 4.0);
        QVERIFY(poll());
        QTRY_COMPARE(m_server.notifications().size(), 2);
        const auto sent = m_server.notifications().constLast();
        QCOMPARE(sent.summary, QString::fromUtf8("Bitcoin 价格提醒"));
        QCOMPARE(sent.body, QString::fromUtf8("BTC 上涨 3.00%，现价 56,547"));
        QCOMPARE(sent.actions.value(1), QString::fromUtf8("查看行情"));
    }
};

QTEST_GUILESS_MAIN(TestPollingIntegration)
#include "tst_pollingintegration.moc"
