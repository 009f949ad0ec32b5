// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingsenums.h"

#include <optional>

namespace Vantrell {

// Percentage move of `price` since `reference`; 0 without a reference or
// when the reference is 0.
double changeSinceReference(double price, std::optional<double> reference);

// Whether a coin's alert fires for a new price, and the reference price the
// coin keeps afterwards.
struct AlertDecision
{
    bool fires = false;
    std::optional<double> referenceAfter;
    // The signed move since the reference, handed to the notifier.
    double change = 0;

    bool operator==(const AlertDecision &) const = default;
};

// The alert rule of one watchlist entry for one new price. `threshold` is as
// stored: USD for above/below (converted with `usdToTargetRate` when that is
// positive), percent for change. `above` fires once per upward crossing of the
// target and re-arms below it, `below` mirrors it, `change` fires on a move of
// at least `threshold` percent since the last alert or first price.
AlertDecision decideAlert(
    CoinAlertKind kind, double threshold, double usdToTargetRate, double price, std::optional<double> reference);

// Whether a coin's new price may decide its alert. An exchange now and then
// answers one wild price (a thin book's last trade, a glitch): a move of more
// than 10 % since the last trusted price is held back until a second poll,
// from any exchange, confirms it within 1 %. Meanwhile the price shows; only
// the alert waits.
struct PriceTrust
{
    // The price the alert was last decided on.
    std::optional<double> trusted;
    // A wild move waiting for its confirmation.
    std::optional<double> unconfirmed;

    bool operator==(const PriceTrust &) const = default;
};

// Takes the new `price` (a usable one) into `state`: true when it may decide the alert.
bool trustPrice(PriceTrust &state, double price);

// With alerts off (or no watchlist entry): the reference stays at the first price seen.
inline std::optional<double> referenceWithoutAlert(double price, std::optional<double> reference)
{
    return reference ? reference : std::optional<double>(price);
}

} // namespace Vantrell
