// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the two exchange-rate decoders. The first byte
// picks the decoder (even: ExchangeRate-API, odd: currency-api); the rest is
// the body. Both decoders are reused across inputs, as in the program.
#include "market/exchangerates.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static ERAPIRateProvider erapi;
    static CurrencyAPIRateProvider currencyApi(CurrencyAPIRateProvider::cdnURL());
    if (size == 0)
        return 0;

    ExchangeRateProvider &provider = data[0] % 2 == 0 ? static_cast<ExchangeRateProvider &>(erapi) : currencyApi;
    const QByteArray body(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const Result<RatesTable> table = provider.parseRates(body);
    if (!table) {
        (void)table.error().description();
        return 0;
    }
    // Every rate handed on is usable, and the table survives the cache file.
    for (auto it = table->cbegin(); it != table->cend(); ++it) {
        if (!std::isfinite(it.value()) || !(it.value() > 0))
            __builtin_trap();
    }
    const ExchangeRateCacheStore::Entry entry {*table, QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC)};
    const auto encoded = ExchangeRateCacheStore::encode(entry);
    if (!encoded)
        __builtin_trap();
    const auto decoded = ExchangeRateCacheStore::decode(*encoded);
    if (!decoded || *decoded != entry)
        __builtin_trap();
    return 0;
}
