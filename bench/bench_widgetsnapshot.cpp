// SPDX-License-Identifier: GPL-3.0-or-later
// The widget snapshot as the application and the widgets use it: one write
// cycle (make, encode, atomic write), one read, and one render of a large
// list widget at twice the resolution.
#include "market/coinmetadata.h"
#include "platform/bundle.h"
#include "settings/appsettings.h"
#include "widgetkit/widgetsnapshot.h"
#include "widgetkit/widgetviews.h"

#include <benchmark/benchmark.h>

#include <QPainter>
#include <QTemporaryDir>

using namespace Vantrell;

namespace {

struct Watchlist
{
    QList<Coin> coins;
    AppSettings settings;
};

Watchlist watchlist(int count)
{
    Watchlist result;
    result.settings.watchlistCoins.clear();
    for (int i = 0; i < count; ++i) {
        Coin coin;
        coin.id = QStringLiteral("coin-number-%1").arg(i);
        coin.symbol = QStringLiteral("C%1").arg(i);
        coin.name = QStringLiteral("Coin number %1").arg(i);
        coin.currentPrice = 1000.0 / (i + 1) + 0.123456;
        coin.priceChange24hPercent = (i % 7) - 3.25;
        result.coins.append(coin);
        result.settings.watchlistCoins.append(WatchlistCoin {coin.id});
    }
    return result;
}

void writeCycle(benchmark::State &state)
{
    QTemporaryDir directory;
    const WidgetSnapshotStore store {directory.path()};
    const Watchlist list = watchlist(int(state.range(0)));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (auto _ : state) {
        const bool written = store.write(makeSnapshot(list.coins, list.settings, now));
        benchmark::DoNotOptimize(written);
    }
}
BENCHMARK(writeCycle)->Arg(20)->Arg(200)->Unit(benchmark::kMicrosecond);

void readSnapshot(benchmark::State &state)
{
    QTemporaryDir directory;
    const WidgetSnapshotStore store {directory.path()};
    const Watchlist list = watchlist(int(state.range(0)));
    store.write(makeSnapshot(list.coins, list.settings, QDateTime::currentDateTimeUtc()));
    for (auto _ : state) {
        const auto snapshot = store.load();
        benchmark::DoNotOptimize(snapshot);
    }
}
BENCHMARK(readSnapshot)->Arg(20)->Unit(benchmark::kMicrosecond);

void renderLargeList(benchmark::State &state)
{
    WidgetResources resources(Bundle::embedded(), CoinLogoCache {});
    WidgetEntryContent content;
    const Watchlist list = watchlist(8);
    for (const Coin &coin : list.coins)
        content.rows.append(WidgetRow {
            coin.id, coin.symbol, coin.name, std::nullopt, true, coin.currentPrice, coin.priceChange24hPercent});
    content.rows.first().logoAssetName = QStringLiteral("coin-bitcoin");
    content.updatedAt = QDateTime::currentDateTimeUtc();
    QImage image(QSize(364, 382) * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    const WidgetEnvironment environment
        = WidgetEnvironment::fromPalette(QPalette(), state.range(0), state.range(0) > 0);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        WidgetListView::paint(
            painter, QRectF(16, 16, 332, 350), content, *content.updatedAt, true, resources, environment);
    }
}
// 0: a widget; 2: the overlay's large text with the halo of a clear backdrop.
BENCHMARK(renderLargeList)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
