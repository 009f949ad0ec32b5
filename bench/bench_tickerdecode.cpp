// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding full all-tickers answers with a reused provider, as every poll does:
// the generated OKX (~250 KB) and Bybit (~180 KB) answers and the recorded
// Binance answer. Before the timings it counts the heap allocations of one
// steady-state decode and fails when decoding itself allocates.
//
// Instructions per decode: "--decodes=<okx|bybit|binance>:<n>" skips the
// timings and decodes the answer in place n times after one warm-up decode.
// Run it under callgrind for two values of n; the difference of the totals
// divided by the difference of n is the cost of one steady-state decode:
//   valgrind --tool=callgrind bench_tickerdecode --decodes=okx:1
//   valgrind --tool=callgrind bench_tickerdecode --decodes=okx:11
#include "market/tickerproviders.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *pointer, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *pointer);
}

namespace {

// Counts every allocation of this thread while enabled. Qt's containers
// allocate with malloc and the rest with operator new, so both are counted.
std::atomic<long> allocations {0};
thread_local bool counting = false;

void noteAllocation()
{
    if (counting)
        allocations.fetch_add(1, std::memory_order_relaxed);
}

void *allocate(std::size_t size)
{
    noteAllocation();
    if (void *pointer = __libc_malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}

void *allocateAligned(std::size_t size, std::align_val_t alignment)
{
    noteAllocation();
    if (void *pointer = __libc_memalign(static_cast<std::size_t>(alignment), size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}

} // namespace

extern "C" {
void *malloc(size_t size)
{
    noteAllocation();
    return __libc_malloc(size);
}
void *calloc(size_t count, size_t size)
{
    noteAllocation();
    return __libc_calloc(count, size);
}
void *realloc(void *pointer, size_t size)
{
    noteAllocation();
    return __libc_realloc(pointer, size);
}
void free(void *pointer)
{
    __libc_free(pointer);
}
}

void *operator new(std::size_t size)
{
    return allocate(size);
}
void *operator new[](std::size_t size)
{
    return allocate(size);
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    noteAllocation();
    return __libc_malloc(size ? size : 1);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    noteAllocation();
    return __libc_malloc(size ? size : 1);
}
void *operator new(std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}
void *operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}
void operator delete(void *pointer) noexcept
{
    __libc_free(pointer);
}
void operator delete[](void *pointer) noexcept
{
    __libc_free(pointer);
}
void operator delete(void *pointer, std::size_t) noexcept
{
    __libc_free(pointer);
}
void operator delete[](void *pointer, std::size_t) noexcept
{
    __libc_free(pointer);
}
void operator delete(void *pointer, std::align_val_t) noexcept
{
    __libc_free(pointer);
}
void operator delete[](void *pointer, std::align_val_t) noexcept
{
    __libc_free(pointer);
}
void operator delete(void *pointer, std::size_t, std::align_val_t) noexcept
{
    __libc_free(pointer);
}
void operator delete[](void *pointer, std::size_t, std::align_val_t) noexcept
{
    __libc_free(pointer);
}

using namespace Vantrell;

namespace {

enum class Exchange { binance, okx, bybit };

// Time of the recorded Binance answer, so that its tickers are fresh.
const QDateTime recordedNow = QDateTime::fromMSecsSinceEpoch(1710038880248, Qt::UTC);

std::unique_ptr<TickerProvider> makeProvider(Exchange exchange)
{
    switch (exchange) {
    case Exchange::binance:
        return std::make_unique<BinanceTickerProvider>(
            BinanceTickerProvider::mainBaseURL(), [] { return recordedNow; });
    case Exchange::okx:
        return std::make_unique<OKXTickerProvider>();
    case Exchange::bybit:
        return std::make_unique<BybitTickerProvider>();
    }
    return nullptr;
}

// The body as the HTTP client hands it on (spare room behind it, so the
// decoder reads in place), or without any room (the decoder copies it).
QByteArray answer(Exchange exchange, bool inPlace)
{
    const QString path = exchange == Exchange::binance
        ? QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/binance-ticker-24hr-2024-03.json")
        : exchange == Exchange::okx ? QStringLiteral(VANTRELL_GENERATED_DATA_DIR "/okx-tickers-spot.json")
                                    : QStringLiteral(VANTRELL_GENERATED_DATA_DIR "/bybit-tickers-spot.json");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    QByteArray body;
    body.reserve(content.size() + (inPlace ? 256 : 0));
    body.append(content);
    if (!inPlace)
        body.squeeze();
    return body;
}

// A typical watchlist.
const QSet<QString> &watchlist()
{
    static const QSet<QString> symbols {QStringLiteral("BTC"), QStringLiteral("ETH"), QStringLiteral("SOL"),
        QStringLiteral("BNB"), QStringLiteral("XRP"), QStringLiteral("DOGE"), QStringLiteral("ADA"),
        QStringLiteral("AVAX"), QStringLiteral("LINK"), QStringLiteral("DOT")};
    return symbols;
}

long allocationsOfOneDecode(TickerProvider &provider, const QByteArray &body, const QSet<QString> &requested)
{
    (void)provider.parse(body, requested);
    const long before = allocations.load();
    counting = true;
    {
        const auto result = provider.parse(body, requested);
        benchmark::DoNotOptimize(result);
    }
    counting = false;
    return allocations.load() - before;
}

// Prints the allocations of one steady-state decode; false when the decoding
// itself (nothing requested, so no result to build) allocated.
bool reportAllocations()
{
    bool ok = true;
    const QSet<QString> nothing;
    for (const auto &[exchange, name] : {std::pair {Exchange::okx, "okx"}, std::pair {Exchange::bybit, "bybit"},
             std::pair {Exchange::binance, "binance"}}) {
        for (const bool inPlace : {true, false}) {
            auto provider = makeProvider(exchange);
            const QByteArray body = answer(exchange, inPlace);
            const auto quotes = provider->parse(body, watchlist());
            if (!quotes.ok() || quotes->size() != watchlist().size()) {
                std::printf("%s: the answer did not decode to %lld quotes\n", name, qlonglong(watchlist().size()));
                ok = false;
                continue;
            }
            const long decoding = allocationsOfOneDecode(*provider, body, nothing);
            const long withResult = allocationsOfOneDecode(*provider, body, watchlist());
            std::printf("%-8s %-9s %8lld bytes: heap allocations per steady-state decode: %ld (decoding), "
                        "%ld (with a map of %lld quotes)\n",
                name, inPlace ? "in place" : "copied", qlonglong(body.size()), decoding, withResult,
                qlonglong(quotes->size()));
            ok = ok && decoding == 0;
        }
    }
    std::printf(ok ? "allocation check passed\n\n" : "allocation check FAILED\n\n");
    return ok;
}

void decode(benchmark::State &state, Exchange exchange)
{
    const bool inPlace = state.range(0) != 0;
    auto provider = makeProvider(exchange);
    const QByteArray body = answer(exchange, inPlace);
    for (auto _ : state) {
        auto quotes = provider->parse(body, watchlist());
        benchmark::DoNotOptimize(quotes);
    }
    state.SetBytesProcessed(state.iterations() * body.size());
    state.SetLabel(inPlace ? "in place" : "copied");
}

void BM_DecodeOKX(benchmark::State &state)
{
    decode(state, Exchange::okx);
}
void BM_DecodeBybit(benchmark::State &state)
{
    decode(state, Exchange::bybit);
}
void BM_DecodeBinanceRecorded(benchmark::State &state)
{
    decode(state, Exchange::binance);
}

BENCHMARK(BM_DecodeOKX)->ArgName("inPlace")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeBybit)->ArgName("inPlace")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeBinanceRecorded)->ArgName("inPlace")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace

// Decodes one answer `count` times after a warm-up; no timings, no report.
int repeatDecodes(const QString &argument)
{
    const QString name = argument.section(QLatin1Char(':'), 0, 0);
    const int count = argument.section(QLatin1Char(':'), 1, 1).toInt();
    const Exchange exchange = name == QLatin1String("binance") ? Exchange::binance
        : name == QLatin1String("okx")                         ? Exchange::okx
                                                               : Exchange::bybit;
    auto provider = makeProvider(exchange);
    const QByteArray body = answer(exchange, true);
    int quotes = provider->parse(body, watchlist())->size();
    for (int i = 0; i < count; ++i)
        quotes += provider->parse(body, watchlist())->size();
    std::printf("%d decodes of %s after one warm-up, %d quotes\n", count, qPrintable(name), quotes);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 2 && std::strncmp(argv[1], "--decodes=", 10) == 0)
        return repeatDecodes(QString::fromLocal8Bit(argv[1] + 10));
    const bool allocationsOk = reportAllocations();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return allocationsOk ? 0 : 1;
}
