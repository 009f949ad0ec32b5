// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"

#include <QDateTime>
#include <QList>

#include <chrono>
#include <optional>

namespace Vantrell {

// Prices whose newest update is this old are shown with a warning.
inline constexpr std::chrono::milliseconds stalePriceAge = std::chrono::minutes(5);

// Whether the prices on show are stale, and when to look again.
struct PriceFreshness
{
    bool stale = false;
    // From now until the prices would turn stale; empty when they cannot
    // (no price yet) or already are (only a new price changes that).
    std::optional<std::chrono::milliseconds> recheckIn;

    bool operator==(const PriceFreshness &) const = default;
};

// Prices last updated at `newestUpdate` seen at `now`: stale from `staleAfter`
// of age on. A wait is never shorter than a second, nor longer than
// `staleAfter`, so a wall clock set back does not postpone the warning by the
// size of the step.
PriceFreshness priceFreshness(const std::optional<QDateTime> &newestUpdate, const QDateTime &now,
    std::chrono::milliseconds staleAfter = stalePriceAge);

// The latest lastUpdated among `coins`; empty when none has a price.
std::optional<QDateTime> newestUpdate(const QList<Coin> &coins);

} // namespace Vantrell
