// SPDX-License-Identifier: GPL-3.0-or-later
// The square price icon drawn for one title change: every size the tray item
// publishes, converted to the StatusNotifierItem pixmap format. Target: at most
// 1 ms for all sizes.
#include "tray/statustitlerenderer.h"
#include "tray/traydbustypes.h"

#include <benchmark/benchmark.h>

using namespace Vantrell;

namespace {

constexpr int kIconSizes[] = {16, 22, 24, 32, 48};

StatusPresentation bitcoinTitle(double price)
{
    StatusPresentation presentation;
    presentation.kind = StatusPresentation::Kind::title;
    presentation.text = QStringLiteral("BTC 43,714");
    presentation.plain = false;
    presentation.textColor = PriceColor::of(kRiseGreen);
    presentation.coinSymbol = QStringLiteral("BTC");
    presentation.coinName = QStringLiteral("Bitcoin");
    presentation.change24hPercent = 2.31;
    presentation.price = price;
    return presentation;
}

void BM_PriceIconAllSizes(benchmark::State &state)
{
    const StatusTitleRenderer renderer(std::nullopt);
    double price = 43714.2;
    for (auto _ : state) {
        // A new price each time, as on every poll.
        price += 100.0;
        const StatusPresentation presentation = bitcoinTitle(price);
        DBusImageList images;
        for (const int size : kIconSizes)
            images.append(toDBusImage(renderer.priceIconImage(presentation, size, Qt::black)));
        benchmark::DoNotOptimize(images);
    }
}
BENCHMARK(BM_PriceIconAllSizes)->Unit(benchmark::kMicrosecond);

} // namespace
