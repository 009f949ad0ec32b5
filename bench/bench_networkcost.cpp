// SPDX-License-Identifier: GPL-3.0-or-later
// Bytes on the wire of the real price fetch, per poll and per day at 10 s
// polls, against the fake market serving books of the real exchanges' sizes
// (Binance's recorded 2,519 symbols, OKX padded to 1,300 instruments, Bybit to
// 600 pairs) and compressing its answers as they do. Each exchange is made the
// one that answers in turn by having the hosts before it refuse this network
// (HTTP 451), as they do for users in some countries: those hosts are set
// aside for an hour, so a steady poll costs only the answering exchange and
// its fill-ins. Counted on the server's socket side, both directions: request
// line and headers, status line, headers and body.
#include "fakemarketthread.h"

#include <benchmark/benchmark.h>

using namespace Vantrell;

namespace {

constexpr double pollsPerDay = 24 * 3600 / 10.0;

const QStringList fiveCoins {
    QStringLiteral("BTC"), QStringLiteral("ETH"), QStringLiteral("SOL"), QStringLiteral("XRP"), QStringLiteral("DOGE")};
const QStringList &twentyCoins = Bench::twentyCoins();
// In the default provider order; the hosts before the preferred one refuse.
const QStringList exchangeHosts {FakeMarketHost::binance, FakeMarketHost::binanceData, FakeMarketHost::okx,
    FakeMarketHost::bybit, FakeMarketHost::coinbase, FakeMarketHost::kraken};
const QStringList exchangeNames {QStringLiteral("binance"), QStringLiteral("binance"), QStringLiteral("okx"),
    QStringLiteral("bybit"), QStringLiteral("coinbase"), QStringLiteral("kraken")};

// Arguments: the number of coins (5 or 20) and the index of the preferred
// provider in the default order (0 Binance, 2 OKX, 3 Bybit, 4 Coinbase, 5 Kraken).
void BM_BytesOnTheWire(benchmark::State &state)
{
    const QStringList &coins = state.range(0) == 5 ? fiveCoins : twentyCoins;
    const int preferred = int(state.range(1));
    Bench::FakeMarketThread market([preferred](FakeMarket &market) {
        market.padBook(QStringLiteral("okx"), 1300);
        market.padBook(QStringLiteral("bybit"), 600);
        for (int i = 0; i < preferred; ++i)
            market.setFault(exchangeHosts.at(i), FakeMarketFault::httpStatus(451));
    });
    if (!market.startAndWait(state))
        return;
    Bench::PriceRig rig(market.hostMap());
    PriceService &service = rig.service;

    // The first poll meets the refusals and sets those hosts aside.
    if (!Bench::warmUp(state, service, coins, BaseCurrency::usd, 2))
        return;
    QStringList answering;
    const auto steady = Bench::fetchOnce(service, coins, BaseCurrency::usd);
    if (!steady) {
        state.SkipWithError("the steady fetch failed");
        return;
    }
    for (const QString &source : steady->sources) {
        if (!answering.contains(source))
            answering.append(source);
    }
    answering.sort();
    if (!answering.contains(exchangeNames.at(preferred))) {
        state.SkipWithError("the preferred exchange did not answer");
        return;
    }

    const qint64 start = market.bytesOnWire();
    for (auto _ : state) {
        const auto snapshot = Bench::fetchOnce(service, coins, BaseCurrency::usd);
        if (!snapshot || snapshot->prices.size() != coins.size()) {
            state.SkipWithError("a fetch came back incomplete");
            break;
        }
    }
    const double perPoll = double(market.bytesOnWire() - start) / double(state.iterations());
    state.counters["bytes_per_poll"] = benchmark::Counter(perPoll);
    state.counters["MB_per_day"] = benchmark::Counter(perPoll * pollsPerDay / 1e6);
    state.SetLabel(answering.join(u'+').toStdString());
}

BENCHMARK(BM_BytesOnTheWire)
    ->ArgNames({"coins", "preferred"})
    ->ArgsProduct({{5, 20}, {0, 2, 3, 4, 5}})
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

} // namespace
