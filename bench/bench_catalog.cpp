// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up cost of the coin catalog: reading, decoding, validating, sorting
// and indexing the shipped coins.json, from the source tree and from the
// bundle embedded as Qt resources.
#include "market/coincatalog.h"
#include "platform/bundle.h"

#include <QFile>

#include <benchmark/benchmark.h>

using namespace Vantrell;

namespace {

const QString bundleRoot = QStringLiteral(VANTRELL_RESOURCES_DIR "/bundle");

QByteArray shippedCatalog()
{
    QFile file(bundleRoot + QStringLiteral("/coins.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void BM_LoadShippedCatalog(benchmark::State &state)
{
    const Bundle bundle(bundleRoot);
    for (auto _ : state) {
        const auto catalog = CoinCatalog::load(bundle);
        if (catalog->isEmpty())
            state.SkipWithError("shipped coins.json did not load");
        benchmark::DoNotOptimize(catalog->coins().data());
    }
}
BENCHMARK(BM_LoadShippedCatalog)->Unit(benchmark::kMillisecond);

// The same file as the program reads it: from the bundle compiled into the executable.
void BM_LoadEmbeddedCatalog(benchmark::State &state)
{
    for (auto _ : state) {
        const auto catalog = CoinCatalog::load(Bundle::embedded());
        if (catalog->isEmpty())
            state.SkipWithError("embedded coins.json did not load");
        benchmark::DoNotOptimize(catalog->coins().data());
    }
}
BENCHMARK(BM_LoadEmbeddedCatalog)->Unit(benchmark::kMillisecond);

void BM_DecodeShippedCatalog(benchmark::State &state)
{
    const QByteArray json = shippedCatalog();
    for (auto _ : state) {
        auto file = CoinCatalog::decode(json);
        benchmark::DoNotOptimize(file);
    }
    state.SetBytesProcessed(state.iterations() * json.size());
}
BENCHMARK(BM_DecodeShippedCatalog)->Unit(benchmark::kMillisecond);

void BM_ValidateShippedCatalog(benchmark::State &state)
{
    const auto file = CoinCatalog::decode(shippedCatalog());
    if (!file) {
        state.SkipWithError("shipped coins.json did not decode");
        return;
    }
    for (auto _ : state) {
        auto problems = CoinCatalog::validate(file->schemaVersion, file->coins);
        benchmark::DoNotOptimize(problems);
    }
}
BENCHMARK(BM_ValidateShippedCatalog)->Unit(benchmark::kMicrosecond);

void BM_SetCoins(benchmark::State &state)
{
    const Bundle bundle(bundleRoot);
    const auto file = CoinCatalog::decode(shippedCatalog());
    if (!file) {
        state.SkipWithError("shipped coins.json did not decode");
        return;
    }
    CoinCatalog catalog;
    for (auto _ : state)
        catalog.setCoins(file->coins, bundle);
}
BENCHMARK(BM_SetCoins)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
