// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/tickerprovider.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace Vantrell::Fuzz {

// Decodes the bytes twice through one reused provider: from a buffer with no
// spare room behind it (the decoder copies) and from one with room (the
// decoder reads in place). Both must agree, and every quote handed on must be
// a requested symbol with a usable price and change.
inline const QSet<QString> &someSymbols()
{
    static const QSet<QString> symbols {QStringLiteral("BTC"), QStringLiteral("ETH"), QStringLiteral("SOL"),
        QStringLiteral("1000SATS"), QStringLiteral("HDP.Ф"), QStringLiteral("A"), QStringLiteral("DOGE")};
    return symbols;
}

inline int checkDecoder(TickerProvider &provider, const std::uint8_t *data, std::size_t size,
    const QSet<QString> &requested = someSymbols())
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const QByteArray tight = QByteArray::fromRawData(bytes, qsizetype(size));
    QByteArray roomy;
    roomy.reserve(qsizetype(size) + 256);
    roomy.append(bytes, qsizetype(size));

    const Result<QuoteMap> first = provider.parse(tight, requested);
    const Result<QuoteMap> second = provider.parse(roomy, requested);
    if (first.ok() != second.ok())
        __builtin_trap();
    if (!first.ok()) {
        if (!(first.error() == second.error()))
            __builtin_trap();
        (void)first.error().description();
        return 0;
    }
    if (*first != *second)
        __builtin_trap();
    for (auto it = first->cbegin(); it != first->cend(); ++it) {
        if (!requested.contains(it.key()) || !std::isfinite(it->priceUsd) || !(it->priceUsd > 0))
            __builtin_trap();
        if (it->change24hPercent && !std::isfinite(*it->change24hPercent))
            __builtin_trap();
    }
    return 0;
}

} // namespace Vantrell::Fuzz
