// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the Coinbase Exchange statistics decoder, asked for
// one product as every request is.
#include "fuzztickercheck.h"

#include "market/tickerproviders.h"

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static CoinbaseTickerProvider provider;
    static const QSet<QString> requested {QStringLiteral("BTC")};
    return Fuzz::checkDecoder(provider, data, size, requested);
}
