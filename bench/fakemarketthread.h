// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakemarket.h"
#include "market/exchangerates.h"
#include "market/networkhttpclient.h"
#include "market/priceservice.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <functional>

#include <pthread.h>
#include <time.h>

namespace Vantrell::Bench {

inline double cpuSeconds(clockid_t clock)
{
    timespec time {};
    clock_gettime(clock, &time);
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}

// The fake market on a thread of its own, so that its CPU time can be told
// apart from the client's. `setUp` prepares the market on that thread before
// it listens.
class FakeMarketThread final : public QThread
{
public:
    explicit FakeMarketThread(std::function<void(FakeMarket &)> setUp)
        : m_setUp(std::move(setUp))
    { }
    ~FakeMarketThread() override
    {
        quit();
        wait();
    }

    // Starts the market and waits until it listens; false (and the benchmark
    // skipped) when it cannot.
    bool startAndWait(benchmark::State &state)
    {
        start();
        m_ready.acquire();
        if (m_hostMap.isEmpty())
            state.SkipWithError("the fake market cannot listen");
        return !m_hostMap.isEmpty();
    }

    // Empty when the market could not listen.
    QString hostMap() const { return m_hostMap; }
    double cpuSeconds() const
    {
        clockid_t clock {};
        pthread_getcpuclockid(m_thread, &clock);
        return Bench::cpuSeconds(clock);
    }
    // See FakeMarket::bytesOnWire().
    qint64 bytesOnWire() const
    {
        const FakeMarket *market = m_market.load();
        return market ? market->bytesOnWire() : 0;
    }

protected:
    void run() override
    {
        FakeMarket market;
        m_setUp(market);
        if (market.listen() != 0)
            m_hostMap = market.hostMap();
        m_thread = pthread_self();
        m_market = &market;
        m_ready.release();
        exec();
        m_market = nullptr;
    }

private:
    std::function<void(FakeMarket &)> m_setUp;
    QSemaphore m_ready;
    QString m_hostMap;
    pthread_t m_thread {};
    std::atomic<const FakeMarket *> m_market {nullptr};
};

// The program's market-data session, rates and price service, sent to the
// fake market of `hostMap`; rates are kept in memory only.
struct PriceRig
{
    explicit PriceRig(const QString &hostMap)
        : client(NetworkHTTPClient::marketDataHosts(), NetworkHTTPClient::parseHostMap(hostMap))
        , rates(client, defaultExchangeRateProviders(), ExchangeRateCacheStore(std::nullopt), systemClock())
        , service(client, rates, defaultTickerProviders(systemClock()), systemClock())
    { }

    NetworkHTTPClient client;
    ExchangeRateService rates;
    PriceService service;
};

// A watchlist of twenty well-known coins.
inline const QStringList &twentyCoins()
{
    static const QStringList symbols = [] {
        QStringList list;
        for (const char *symbol : {"BTC", "ETH", "BNB", "SOL", "XRP", "ADA", "DOGE", "AVAX", "DOT", "LINK", "LTC",
                 "TRX", "ATOM", "UNI", "ETC", "BCH", "XLM", "NEAR", "FIL", "APT"})
            list.append(QString::fromLatin1(symbol));
        return list;
    }();
    return symbols;
}

// One fetch, waited for in the event loop.
inline Result<PriceSnapshot> fetchOnce(PriceService &service, const QStringList &coins, BaseCurrency currency)
{
    std::optional<Result<PriceSnapshot>> result;
    service.fetchPrices(coins, currency, [&](Result<PriceSnapshot> r) { result = std::move(r); });
    while (!result)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return *std::move(result);
}

// `rounds` fetches before the measured ones, each of which must price every
// coin; false (and the benchmark skipped) otherwise.
inline bool warmUp(
    benchmark::State &state, PriceService &service, const QStringList &coins, BaseCurrency currency, int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        const auto fetched = fetchOnce(service, coins, currency);
        if (!fetched || fetched->prices.size() != coins.size()) {
            state.SkipWithError(fetched ? "prices missing after the warm-up" : "the warm-up fetch failed");
            return false;
        }
    }
    return true;
}

} // namespace Vantrell::Bench
