// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the Binance ticker decoder with a fixed clock and a
// fixed set of requested symbols.
#include "fuzztickercheck.h"

#include "market/tickerproviders.h"

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The recorded answer's time, so that its tickers count as fresh.
    static BinanceTickerProvider provider(
        BinanceTickerProvider::mainBaseURL(), [] { return QDateTime::fromMSecsSinceEpoch(1710038880248, Qt::UTC); });
    return Fuzz::checkDecoder(provider, data, size);
}
