// SPDX-License-Identifier: GPL-3.0-or-later
// The price and exchange-rate services with the real HTTP client and ticker
// providers, over loopback sockets against the fake market.
#include "fakeclock.h"
#include "fakemarket.h"
#include "market/exchangerates.h"
#include "market/networkhttpclient.h"
#include "market/pricehistory.h"
#include "market/priceservice.h"
#include "testenvironment.h"

#include <QStandardPaths>
#include <QTest>

#include <cmath>

using namespace Vantrell;
using Vantrell::Test::FakeClock;
using Code = MarketError::Code;
namespace Host = FakeMarketHost;

namespace {

const QString binancePath = QStringLiteral("/api/v3/ticker/24hr");

QStringList strings(std::initializer_list<const char *> items)
{
    QStringList result;
    for (const char *item : items)
        result.append(QString::fromUtf8(item));
    return result;
}

template<typename T>
struct Outcome
{
    int calls = 0;
    std::optional<Result<T>> result;

    Completion<T> completion()
    {
        return [this](Result<T> r) {
            ++calls;
            result = std::move(r);
        };
    }
    // Real sockets: generous, but the fake market answers in milliseconds.
    bool wait()
    {
        return QTest::qWaitFor([this] { return calls > 0; }, 15000);
    }
    bool ok() const { return result && result->ok(); }
    T value() const { return ok() ? result->value() : T {}; }
    std::optional<Code> error() const
    {
        return result && !result->ok() ? std::optional(result->error().code) : std::nullopt;
    }
};

struct Harness
{
    Test::IsolatedXdg xdg;
    FakeClock clock;
    FakeMarket market;
    std::unique_ptr<NetworkHTTPClient> client;
    std::unique_ptr<ExchangeRateService> rates;
    std::unique_ptr<PriceService> prices;

    Harness()
    {
        if (market.listen() == 0)
            qFatal("fake market cannot listen");
        market.setClock(clock.clock());
        market.setDriftEnabled(false);
        client = std::make_unique<NetworkHTTPClient>(
            NetworkHTTPClient::marketDataHosts(), NetworkHTTPClient::parseHostMap(market.hostMap()));
        rates = std::make_unique<ExchangeRateService>(*client, defaultExchangeRateProviders(),
            ExchangeRateCacheStore(xdg.cacheHome() + QStringLiteral("/group")), clock.clock());
        prices = std::make_unique<PriceService>(*client, *rates, defaultTickerProviders(clock.clock()), clock.clock());
    }

    Outcome<PriceSnapshot> fetch(const QStringList &symbols, BaseCurrency currency = BaseCurrency::usd)
    {
        Outcome<PriceSnapshot> outcome;
        prices->fetchPrices(symbols, currency, outcome.completion());
        outcome.wait();
        return outcome;
    }

    // The hosts asked, in order, with "*" after a Binance all-pairs request.
    QStringList asked() const
    {
        QStringList result;
        for (const FakeMarketRequest &request : market.requests()) {
            const bool allPairs = request.host.contains(QLatin1String("binance")) && request.query.isEmpty();
            result.append(request.host + (allPairs ? QStringLiteral(" *") : QString()));
        }
        return result;
    }

    qint64 backOff(const QString &name) const
    {
        const auto until = prices->rateLimitedUntil().constFind(name);
        return until == prices->rateLimitedUntil().constEnd() ? -1 : clock.now().secsTo(until.value());
    }
};

} // namespace

Q_DECLARE_METATYPE(FakeMarketFault)

class TestMarketIntegration final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void pricesInDisplayCurrency()
    {
        Harness h;
        h.market.setQuote(QStringLiteral("BTC"), 60000, 2.5);
        h.market.setUsdRate(QStringLiteral("EUR"), 0.9);

        const auto outcome = h.fetch(strings({"btc", "USDT"}), BaseCurrency::eur);
        QVERIFY(outcome.ok());
        QCOMPARE(outcome.value().prices.value(QStringLiteral("BTC")), 60000 * 0.9);
        QCOMPARE(outcome.value().changes24h.value(QStringLiteral("BTC")), 2.5);
        QCOMPARE(outcome.value().prices.value(QStringLiteral("USDT")), 0.9);
        // The rate and the tickers are asked for in parallel.
        QCOMPARE(h.market.requestCount(QString(Host::erApi)), 1);
        QCOMPARE(h.market.requestCount(QString(Host::binance)), 1);
        QCOMPARE(h.market.requestCount(), 2);
    }

    void failover_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("retryAfter");
        QTest::addColumn<QStringList>("expectedAsked");
        QTest::addColumn<int>("expectedPreference");
        QTest::addColumn<qint64>("expectedBinanceBackOff");

        // OKX is asked once per coin.
        const QStringList thenOkx {Host::binance, Host::okx, Host::okx};
        QTest::newRow("429 with Retry-After")
            << QString(Host::binance) << 429 << QByteArray("120") << thenOkx << 2 << qint64(120);
        QTest::newRow("429 without Retry-After")
            << QString(Host::binance) << 429 << QByteArray() << thenOkx << 2 << qint64(60);
        QTest::newRow("403 without Retry-After")
            << QString(Host::binance) << 403 << QByteArray() << thenOkx << 2 << qint64(600);
    }

    void failover()
    {
        QFETCH(QString, host);
        QFETCH(int, status);
        QFETCH(QByteArray, retryAfter);
        QFETCH(QStringList, expectedAsked);
        QFETCH(int, expectedPreference);
        QFETCH(qint64, expectedBinanceBackOff);

        Harness h;
        auto fault = FakeMarketFault::httpStatus(status);
        if (!retryAfter.isEmpty())
            fault = fault.withRetryAfter(retryAfter);
        h.market.queueFault(host, fault);

        const auto outcome = h.fetch(strings({"BTC", "ETH"}));
        QVERIFY(outcome.ok());
        QCOMPARE(outcome.value().prices.size(), 2);
        QCOMPARE(h.asked(), expectedAsked);
        QCOMPARE(h.prices->preferredProviderIndex(), expectedPreference);
        QCOMPARE(h.backOff(QStringLiteral("binance")), expectedBinanceBackOff);
    }

    void rotationStartsWithTheLastExchangeThatAnswered()
    {
        Harness h;
        h.market.queueFault(QString(Host::binance), FakeMarketFault::httpStatus(500));
        h.market.queueFault(QString(Host::binanceData), FakeMarketFault::malformedJson());
        QVERIFY(h.fetch(strings({"BTC"})).ok());
        QCOMPARE(h.asked(), QStringList({Host::binance, Host::binanceData, Host::okx}));
        QCOMPARE(h.prices->preferredProviderIndex(), 2);

        h.market.clearLog();
        h.market.queueFault(QString(Host::okx), FakeMarketFault::okxRateLimit());
        QVERIFY(h.fetch(strings({"BTC"})).ok());
        QCOMPARE(h.asked(), QStringList({Host::okx, Host::bybit}));
        QCOMPARE(h.prices->preferredProviderIndex(), 3);
        QCOMPARE(h.backOff(QStringLiteral("okx")), qint64(60));
    }

    void allExchangesFailing()
    {
        Harness h;
        for (const QString host :
            {Host::binance, Host::binanceData, Host::okx, Host::bybit, Host::coinbase, Host::kraken})
            h.market.setFault(host, FakeMarketFault::httpStatus(503));
        const auto outcome = h.fetch(strings({"BTC"}));
        QCOMPARE(outcome.error(), std::optional(Code::cannotLoadFromNetwork));
        QCOMPARE(h.market.requestCount(), 6);
    }

    // Binance answers 400 for a pair it does not list; the all-pairs request
    // then serves the rest, and OKX fills in the missing coin.
    void fillInWhenAnExchangeLacksACoin()
    {
        Harness h;
        h.market.delist(QStringLiteral("binance"), strings({"ETH"}));
        h.market.setQuote(QStringLiteral("okx"), QStringLiteral("ETH"), 3000, -1.5);

        const auto outcome = h.fetch(strings({"BTC", "ETH"}));
        QVERIFY(outcome.ok());
        QCOMPARE(outcome.value().prices.value(QStringLiteral("ETH")), 3000.0);
        QCOMPARE(outcome.value().changes24h.value(QStringLiteral("ETH")), -1.5);
        QVERIFY(outcome.value().prices.contains(QStringLiteral("BTC")));
        QCOMPARE(h.asked(), QStringList({Host::binance, QString(Host::binance) + QStringLiteral(" *"), Host::okx}));
        QVERIFY(h.prices->unavailableSince().contains(QStringLiteral("binance/ETH")));

        // The mark keeps ETH out of the next Binance request: no 400, no all pairs.
        h.market.clearLog();
        h.clock.advance(10);
        QVERIFY(h.fetch(strings({"BTC", "ETH"})).ok());
        QCOMPARE(h.asked(), QStringList({Host::binance, Host::okx}));
        QCOMPARE(
            h.market.requests().constFirst().queryItem(QStringLiteral("symbols")), QStringLiteral("[\"BTCUSDT\"]"));
    }

    void concurrentRateCallersShareOneDownload()
    {
        Harness h;
        h.market.setUsdRate(QStringLiteral("EUR"), 0.9);
        h.market.setUsdRate(QStringLiteral("JPY"), 150);
        Outcome<double> eur, jpy;
        h.rates->usdRate(BaseCurrency::eur, eur.completion());
        h.rates->usdRate(BaseCurrency::jpy, jpy.completion());
        QVERIFY(eur.wait());
        QVERIFY(jpy.wait());
        QCOMPARE(eur.value(), 0.9);
        QCOMPARE(jpy.value(), 150.0);
        QCOMPARE(h.market.requestCount(), 1);
    }

    // A rate limit is sat out, but never for longer than an hour, whatever the
    // server asks: once the table is stale the first source is asked again.
    void rateLimitedRateSourceComesBackWithinAnHour()
    {
        Harness h;
        h.market.setUsdRate(QStringLiteral("EUR"), 0.9);
        h.market.queueFault(QString(Host::erApi), FakeMarketFault::httpStatus(429).withRetryAfter("1e300"));

        Outcome<double> first;
        h.rates->usdRate(BaseCurrency::eur, first.completion());
        QVERIFY(first.wait());
        QCOMPARE(first.value(), 0.9);
        QCOMPARE(h.asked(), QStringList({Host::erApi, Host::currencyApiCdn}));

        h.market.clearLog();
        h.clock.advance(3600);
        Outcome<double> second;
        h.rates->usdRate(BaseCurrency::eur, second.completion());
        QVERIFY(second.wait());
        QCOMPARE(h.asked(), QStringList {QString(Host::erApi)});
    }

    // Every exchange's candles as the fake market writes them, whole and with
    // each fault, read by the exchange's own history source: a fault either
    // fails the answer or leaves gaps, never a close in the wrong slot.
    void candleFaults_data()
    {
        QTest::addColumn<int>("source"); // in defaultHistorySources()
        QTest::addColumn<FakeMarketFault>("fault");
        QTest::addColumn<int>("candles"); // read; -1: the answer fails
        QTest::addColumn<int>("gaps"); // in the window they make

        using F = FakeMarketFault;
        const QList<HistorySource> sources = defaultHistorySources();
        for (int i = 0; i < sources.size(); ++i) {
            const QByteArray name = sources.at(i).baseURL.toUtf8();
            QTest::addRow("%s, whole", name.constData()) << i << F() << 97 << 0;
            QTest::addRow("%s, empty", name.constData()) << i << F::candleDefect(F::Candles::Empty) << 0 << 97;
            QTest::addRow("%s, out of order", name.constData())
                << i << F::candleDefect(F::Candles::OutOfOrder) << 97 << 0;
            QTest::addRow("%s, four missing", name.constData()) << i << F::candleDefect(F::Candles::Gap) << 93 << 4;
            QTest::addRow("%s, a close of 0", name.constData())
                << i << F::candleDefect(F::Candles::ZeroClose) << 96 << 1;
            QTest::addRow("%s, malformed", name.constData()) << i << F::malformedJson() << -1 << 0;
            QTest::addRow("%s, cut short", name.constData()) << i << F::truncated() << -1 << 0;
        }
    }
    void candleFaults()
    {
        QFETCH(int, source);
        QFETCH(FakeMarketFault, fault);
        QFETCH(int, candles);
        QFETCH(int, gaps);
        Harness h;
        const HistorySource history = defaultHistorySources().at(source);
        const auto fetch = [&] {
            Outcome<HttpResponse> outcome;
            h.client->get(
                *history.request(QStringLiteral("BTC"), PriceSeries::slots, h.clock.now()), outcome.completion());
            if (!outcome.wait())
                return Result<QList<Candle>>(MarketError::make(Code::timedOut));
            return outcome.ok() ? screenAndParseCandles(history, outcome.value())
                                : Result<QList<Candle>>(outcome.result->error());
        };
        const Result<QList<Candle>> whole = fetch();
        QVERIFY(whole);
        const PriceSeries expected = mergeCandles({}, *whole, h.clock.now());

        for (const auto &[host, path] : FakeMarket::candleEndpoints())
            h.market.setFault(host, path, fault);
        const Result<QList<Candle>> answer = fetch();
        QCOMPARE(answer ? int(answer->size()) : -1, candles);
        if (!answer)
            return;
        const PriceSeries series = mergeCandles({}, *answer, h.clock.now());
        QCOMPARE(
            std::count_if(series.closes.cbegin(), series.closes.cend(), [](double v) { return std::isnan(v); }), gaps);
        for (qsizetype i = 0; i < series.closes.size(); ++i) {
            if (!std::isnan(series.closes.at(i)))
                QCOMPARE(series.closes.at(i), expected.closes.at(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestMarketIntegration)
#include "tst_marketintegration.moc"
