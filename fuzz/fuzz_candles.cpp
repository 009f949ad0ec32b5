// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the candle decoder of every history source (the
// first byte picks the source) and places what it accepts in a window: every
// candle handed on has a usable close, and the window holds only such closes
// and gaps.
#include "market/pricehistory.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QList<HistorySource> sources = defaultHistorySources();
    if (size == 0)
        return 0;
    const HistorySource &source = sources.at(data[0] % sources.size());
    const QByteArray body(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const Result<QList<Candle>> candles = source.parse(body);
    if (!candles) {
        (void)candles.error().description();
        return 0;
    }
    for (const Candle &candle : *candles) {
        if (!std::isfinite(candle.close) || !(candle.close > 0) || candle.openTime < 0)
            __builtin_trap();
    }
    // 2023-11-14 22:45 UTC: the newest candle of the seed answers is the open one.
    static const QDateTime now = QDateTime::fromSecsSinceEpoch(1700001900, Qt::UTC);
    const PriceSeries series = mergeCandles({}, *candles, now);
    for (const double close : series.closes) {
        if (!std::isnan(close) && !(std::isfinite(close) && close > 0))
            __builtin_trap();
    }
    return 0;
}
