// SPDX-License-Identifier: GPL-3.0-or-later
// One applied price snapshot over a watchlist of 1,000 coins: the work the
// main thread does per poll before the observers run.
#include "alerts/pricealertnotifying.h"
#include "coinlist/coinlistviewmodel.h"
#include "idletimer.h"
#include "market/coincatalog.h"
#include "market/services.h"
#include "platform/bundle.h"
#include "platform/timer.h"
#include "settingsstore/settingsstore.h"
#include "settingsstore/settingsviewmodel.h"

#include <benchmark/benchmark.h>

using namespace Vantrell;

namespace {

constexpr int coinCount = 1000;

class MemoryStore final : public SettingsStore
{
public:
    explicit MemoryStore(AppSettings settings)
        : m_settings(std::move(settings))
    { }
    std::optional<AppSettings> load() const override { return m_settings; }
    void save(const AppSettings &settings) override { m_settings = settings; }

private:
    AppSettings m_settings;
};

// Fetches that never answer: the benchmark applies its snapshots itself.
class SilentPriceService final : public PriceServicing
{
    struct Pending final : Cancellable
    {
        void cancel() override { }
    };

public:
    CancelHandle fetchPrices(const QStringList &, BaseCurrency, Completion<PriceSnapshot>) override
    {
        return std::make_shared<Pending>();
    }
};

class CountingNotifier final : public PriceAlertNotifying
{
public:
    void notify(const Coin &, CoinAlertKind, BaseCurrency, double, double, double) override { ++alerts; }
    long alerts = 0;
};

QString symbolOf(int i)
{
    // Symbols as long as real ones: "C0", "C1" … "C999".
    return QStringLiteral("C%1").arg(i);
}

void BM_ApplySnapshot(benchmark::State &state)
{
    QList<CoinMetadata> records;
    AppSettings settings;
    settings.watchlistCoins.clear();
    for (int i = 0; i < coinCount; ++i) {
        CoinMetadata record;
        record.id = QStringLiteral("coin-%1").arg(i);
        record.symbol = symbolOf(i);
        record.name = QStringLiteral("Coin %1").arg(i);
        record.rank = i + 1;
        records.append(record);
        // A mix of all four kinds; the above/below levels sit between the two prices used below.
        const auto kind = static_cast<CoinAlertKind>(i % 4);
        settings.watchlistCoins.append(WatchlistCoin {record.id, kind, kind == CoinAlertKind::change ? 2.0 : 100.5});
    }
    settings.displayedCoinId = records.first().id;

    MemoryStore store(settings);
    SettingsViewModel settingsViewModel(store);
    CoinCatalog catalog(records, Bundle());
    SilentPriceService prices;
    CountingNotifier notifier;
    Bench::IdleTimers timers;
    CoinListViewModel model(catalog, settingsViewModel, prices, notifier, timers, systemClock());

    // Prices alternate between 100 and 101 (+1 %): above/below alerts cross every time.
    QHash<QString, double> low, high, changes;
    for (int i = 0; i < coinCount; ++i) {
        low.insert(symbolOf(i), 100.0);
        high.insert(symbolOf(i), 101.0);
        changes.insert(symbolOf(i), 1.25);
    }

    bool flip = false;
    for (auto _ : state) {
        model.applySnapshot(flip ? high : low, changes, BaseCurrency::usd, 1.0);
        flip = !flip;
        benchmark::DoNotOptimize(model.coins().constData());
    }
    state.counters["coins"] = coinCount;
    state.counters["alerts/snapshot"]
        = benchmark::Counter(double(notifier.alerts) / double(state.iterations()), benchmark::Counter::kDefaults);
}
BENCHMARK(BM_ApplySnapshot)->Unit(benchmark::kMicrosecond);

} // namespace
