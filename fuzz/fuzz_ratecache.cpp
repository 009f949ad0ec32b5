// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the decoder of the shared exchange-rate cache file,
// which the other process may have written, and checks that whatever it
// accepts is written back and read again unchanged.
#include "market/exchangerates.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto entry = ExchangeRateCacheStore::decode(bytes);
    if (!entry)
        return 0;
    if (!entry->fetchedAt.isValid())
        __builtin_trap();
    for (auto it = entry->rates.cbegin(); it != entry->rates.cend(); ++it) {
        if (!std::isfinite(it.value()) || !(it.value() > 0))
            __builtin_trap();
    }
    const auto encoded = ExchangeRateCacheStore::encode(*entry);
    if (!encoded)
        __builtin_trap();
    const auto again = ExchangeRateCacheStore::decode(*encoded);
    if (!again || again->rates != entry->rates || again->fetchedAt != entry->fetchedAt)
        __builtin_trap();
    return 0;
}
