// SPDX-License-Identifier: GPL-3.0-or-later
// The watchlist editor's per-event work: one keystroke in the add-coin search
// over the shipped catalog, and one frame of a drag over 100 watched coins.
#include "fakeclock.h"
#include "faketimer.h"
#include "market/coincatalog.h"
#include "memorysettingsstore.h"
#include "platform/bundle.h"
#include "settingsstore/settingsviewmodel.h"
#include "watchlist/watchlistreordersession.h"
#include "watchlist/watchlistviewmodel.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

// Typing "bitcoin" one letter after the other, then clearing it (the whole listed catalog).
void searchKeystroke(benchmark::State &state)
{
    const auto catalog = CoinCatalog::load(Bundle::embedded());
    Test::MemorySettingsStore store;
    SettingsViewModel settings(store);
    Test::FakeTimerFactory timers;
    WatchlistViewModel model(
        *catalog, Bundle::embedded(), settings, [] {}, timers, systemClock());
    const QString word = QStringLiteral("bitcoin");
    qsizetype typed = 0;
    for (auto _ : state) {
        typed = (typed + 1) % (word.size() + 1);
        model.setSearchText(word.left(typed));
        benchmark::DoNotOptimize(model.results());
    }
    state.counters["listedCoins"] = double(catalog->listedCoins().size());
}
BENCHMARK(searchKeystroke)->Unit(benchmark::kMicrosecond);

// A pointer move that crosses slots as it sweeps the visible rows, the animation
// tick that follows it, and the frame the list draws.
void reorderFrame(benchmark::State &state)
{
    const int count = int(state.range(0));
    QStringList ids;
    for (int i = 0; i < count; ++i)
        ids.append(QStringLiteral("coin-%1").arg(i));
    Test::FakeClock clock;
    Test::FakeTimerFactory timers(clock);
    WatchlistReorderSession session(timers, clock.clock());
    session.setViewportHeight(600);
    session.setScrollOffset(1000);
    session.press(30, ids, 30 * 44 - 1000 + 10, [](const QStringList &) {});
    double y = 100;
    double step = 7;
    for (auto _ : state) {
        y += step;
        if (y > 500 || y < 100)
            step = -step;
        session.move(y);
        timers.advance(16ms);
        benchmark::DoNotOptimize(session.frame());
    }
}
BENCHMARK(reorderFrame)->Arg(100)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
