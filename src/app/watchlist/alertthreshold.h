// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/appsettings.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace Vantrell {

// The rules of a watchlist row's alert threshold: what may be typed, what a
// commit stores, and how a threshold is converted and shown. Thresholds of
// `above` and `below` are stored in USD but typed and shown in the display
// currency; `change` is in percent. Pure functions.

inline constexpr double maximumPriceThreshold = 1e15;
inline constexpr double minimumChangeThreshold = 0.5;
inline constexpr double maximumChangeThreshold = 200;
inline constexpr int maximumAlertTextLength = 24;

// The rate that turns USD into the display currency: the coin list's last
// rate, or 1 while none is known (a rate of 0 or less).
double effectiveUsdRate(double usdToTargetRate);

// Fraction digits accepted while typing: 8 for prices, 6 for change, none for notSet.
int maximumTypedFractionDigits(CoinAlertKind kind);

// What a number field keeps of a typed text: "," counts as ".", only digits
// and the first point stay, at most `maximumFractionDigits` follow the point,
// and at most 24 characters in all. "1,234.5678" with 6 gives "1.234567".
QString filterDecimalInput(QStringView typed, int maximumFractionDigits);

// The number a finished edit of a number field holds: the text with "," as
// ".", trimmed, read as a whole decimal number; nothing for an empty text or
// one that is not such a number.
std::optional<double> parseDecimalInput(QStringView text);

// filterDecimalInput() with the kind's fraction digits.
QString filterAlertInput(QStringView typed, CoinAlertKind kind);

// The display value that a finished edit writes, or nothing when the text is
// not a whole decimal number (the field then shows the current value again)
// or the kind is notSet. Out-of-range values are limited, not rejected: a price
// of 0 or less becomes 1, one above 1e15 becomes 1e15; a change is held to 0.5…200.
std::optional<double> committedAlertValue(QStringView text, CoinAlertKind kind);

// A price threshold within range: 0 or less (or not a number) becomes 1, more than 1e15 becomes 1e15.
double limitedPriceThreshold(double threshold);

// The threshold of `entry` in display units.
double displayedThreshold(const WatchlistCoin &entry, double usdToTargetRate);

// The threshold to store for a display value of `kind`.
double storedThreshold(CoinAlertKind kind, double displayValue, double usdToTargetRate);

// The threshold stored when the user switches an entry to `kind`: 2 % above or
// below the coin's price (`referencePrice`, display currency) for the price
// kinds, else a positive current threshold, else 1; 2 % for change; 0 for notSet.
double proposedThreshold(
    CoinAlertKind kind, double currentThreshold, std::optional<double> referencePrice, double usdToTargetRate);

// The field's text for a display value: empty for notSet, up to 6 fraction
// digits for change, and for prices the list's fraction-digit rule applied to
// the magnitude of the coin's price (the value itself without a price), so a
// threshold on a coin priced 0.35 shows "0.3570" and on one priced 64,000 "65280".
QString alertFieldText(CoinAlertKind kind, double value, std::optional<double> referencePrice);

} // namespace Vantrell
