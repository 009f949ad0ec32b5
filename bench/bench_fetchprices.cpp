// SPDX-License-Identifier: GPL-3.0-or-later
// One whole price fetch for a 20-coin watchlist in EUR, over loopback against
// the fake market: Binance lacks four of the coins, OKX fills in two of them
// and Bybit the other two. The rate table is warm in memory, so no fetch
// downloads rates. Reports process CPU time per fetch; the fake market runs on
// its own thread, and its share is reported separately ("server_ms"), so that
// "client_ms" is what the program itself spends.
#include "fakemarket.h"
#include "market/exchangerates.h"
#include "market/networkhttpclient.h"
#include "market/priceservice.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>

#include <pthread.h>
#include <time.h>

using namespace Vantrell;

namespace {

const QStringList watchlist = [] {
    QStringList symbols;
    for (const char *symbol : {"BTC", "ETH", "BNB", "SOL", "XRP", "ADA", "DOGE", "AVAX", "DOT", "LINK", "LTC", "TRX",
             "ATOM", "UNI", "ETC", "BCH", "XLM", "NEAR", "FIL", "APT"})
        symbols.append(QString::fromLatin1(symbol));
    return symbols;
}();

double cpuSeconds(clockid_t clock)
{
    timespec time {};
    clock_gettime(clock, &time);
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}

// The fake market on a thread of its own, so that its CPU time can be told
// apart from the client's.
class MarketThread final : public QThread
{
public:
    ~MarketThread() override
    {
        quit();
        wait();
    }

    void startAndWait()
    {
        start();
        m_ready.acquire();
    }

    QString hostMap() const { return m_hostMap; }
    double cpuSeconds() const
    {
        clockid_t clock {};
        pthread_getcpuclockid(m_thread, &clock);
        return ::cpuSeconds(clock);
    }

protected:
    void run() override
    {
        FakeMarket market;
        market.delist(QStringLiteral("binance"),
            {QStringLiteral("XLM"), QStringLiteral("NEAR"), QStringLiteral("FIL"), QStringLiteral("APT")});
        market.delist(QStringLiteral("okx"), {QStringLiteral("XLM"), QStringLiteral("NEAR")});
        if (market.listen() != 0)
            m_hostMap = market.hostMap();
        m_thread = pthread_self();
        m_ready.release();
        exec();
    }

private:
    QSemaphore m_ready;
    QString m_hostMap;
    pthread_t m_thread {};
};

Result<PriceSnapshot> fetchOnce(PriceService &service)
{
    std::optional<Result<PriceSnapshot>> result;
    service.fetchPrices(watchlist, BaseCurrency::eur, [&](Result<PriceSnapshot> r) { result = std::move(r); });
    while (!result)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return *std::move(result);
}

void BM_FetchPrices(benchmark::State &state)
{
    MarketThread market;
    market.startAndWait();
    if (market.hostMap().isEmpty()) {
        state.SkipWithError("the fake market cannot listen");
        return;
    }
    NetworkHTTPClient client(NetworkHTTPClient::marketDataHosts(), NetworkHTTPClient::parseHostMap(market.hostMap()));
    ExchangeRateService rates(
        client, defaultExchangeRateProviders(), ExchangeRateCacheStore(std::nullopt), systemClock());
    PriceService service(client, rates, defaultTickerProviders(systemClock()), systemClock());

    // The first fetch downloads the rates, meets Binance's 400 for the coins
    // it lacks and marks them; from then on every fetch is the steady one.
    for (int i = 0; i < 3; ++i) {
        const auto warmUp = fetchOnce(service);
        if (!warmUp || warmUp->prices.size() != watchlist.size()) {
            state.SkipWithError(warmUp ? "prices missing after the fill-in" : "the warm-up fetch failed");
            return;
        }
    }

    const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double serverStart = market.cpuSeconds();
    for (auto _ : state) {
        const auto snapshot = fetchOnce(service);
        if (!snapshot || snapshot->prices.size() != watchlist.size()) {
            state.SkipWithError("a fetch came back incomplete");
            break;
        }
        benchmark::DoNotOptimize(snapshot->usdToTargetRate);
    }
    const double process = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
    const double server = market.cpuSeconds() - serverStart;
    const double fetches = double(state.iterations());
    state.counters["server_ms"] = benchmark::Counter(server * 1000 / fetches);
    state.counters["client_ms"] = benchmark::Counter((process - server) * 1000 / fetches);
}

BENCHMARK(BM_FetchPrices)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
