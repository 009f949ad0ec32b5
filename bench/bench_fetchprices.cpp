// SPDX-License-Identifier: GPL-3.0-or-later
// One whole price fetch for a 20-coin watchlist in EUR, over loopback against
// the fake market: Binance lacks four of the coins, OKX fills in two of them
// and Bybit the other two. The rate table is warm in memory, so no fetch
// downloads rates. Reports process CPU time per fetch; the fake market runs on
// its own thread, and its share is reported separately ("server_ms"), so that
// "client_ms" is what the program itself spends.
#include "fakemarketthread.h"

#include <benchmark/benchmark.h>

using namespace Vantrell;

namespace {

const QStringList &watchlist = Bench::twentyCoins();
void BM_FetchPrices(benchmark::State &state)
{
    Bench::FakeMarketThread market([](FakeMarket &market) {
        market.delist(QStringLiteral("binance"),
            {QStringLiteral("XLM"), QStringLiteral("NEAR"), QStringLiteral("FIL"), QStringLiteral("APT")});
        market.delist(QStringLiteral("okx"), {QStringLiteral("XLM"), QStringLiteral("NEAR")});
    });
    if (!market.startAndWait(state))
        return;
    Bench::PriceRig rig(market.hostMap());
    PriceService &service = rig.service;

    // The first fetch downloads the rates, meets Binance's 400 for the coins
    // it lacks and marks them; from then on every fetch is the steady one.
    if (!Bench::warmUp(state, service, watchlist, BaseCurrency::eur, 3))
        return;

    const double processStart = Bench::cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double serverStart = market.cpuSeconds();
    for (auto _ : state) {
        const auto snapshot = Bench::fetchOnce(service, watchlist, BaseCurrency::eur);
        if (!snapshot || snapshot->prices.size() != watchlist.size()) {
            state.SkipWithError("a fetch came back incomplete");
            break;
        }
        benchmark::DoNotOptimize(snapshot->usdToTargetRate);
    }
    const double process = Bench::cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
    const double server = market.cpuSeconds() - serverStart;
    const double fetches = double(state.iterations());
    state.counters["server_ms"] = benchmark::Counter(server * 1000 / fetches);
    state.counters["client_ms"] = benchmark::Counter((process - server) * 1000 / fetches);
}

BENCHMARK(BM_FetchPrices)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace
