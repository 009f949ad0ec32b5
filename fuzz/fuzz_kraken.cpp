// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the Kraken ticker decoder with a fixed set of
// requested symbols (among them BTC and DOGE, which Kraken renames).
#include "fuzztickercheck.h"

#include "market/tickerproviders.h"

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static KrakenTickerProvider provider;
    return Fuzz::checkDecoder(provider, data, size);
}
