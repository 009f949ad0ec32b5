// SPDX-License-Identifier: GPL-3.0-or-later
#include "alertdecision.h"

#include <cmath>

namespace Vantrell {

double changeSinceReference(double price, std::optional<double> reference)
{
    const double base = reference.value_or(price);
    if (base == 0)
        return 0;
    return (price - base) / base * 100;
}

bool trustPrice(PriceTrust &state, double price)
{
    constexpr double kWildMovePercent = 10;
    constexpr double kConfirmingPercent = 1;
    const bool confirms
        = state.unconfirmed && std::abs(changeSinceReference(price, state.unconfirmed)) <= kConfirmingPercent;
    if (!confirms && state.trusted && std::abs(changeSinceReference(price, state.trusted)) > kWildMovePercent) {
        state.unconfirmed = price;
        return false;
    }
    state.trusted = price;
    state.unconfirmed.reset();
    return true;
}

AlertDecision decideAlert(
    CoinAlertKind kind, double threshold, double usdToTargetRate, double price, std::optional<double> reference)
{
    AlertDecision decision;
    decision.change = changeSinceReference(price, reference);
    const double target = usdToTargetRate > 0 ? threshold * usdToTargetRate : threshold;

    switch (kind) {
    case CoinAlertKind::above:
        decision.fires = price >= target && reference && *reference < target;
        decision.referenceAfter = (decision.fires || price < target || !reference) ? price : *reference;
        break;
    case CoinAlertKind::below:
        decision.fires = price <= target && reference && *reference > target;
        decision.referenceAfter = (decision.fires || price > target || !reference) ? price : *reference;
        break;
    case CoinAlertKind::change:
        decision.fires = std::abs(decision.change) >= threshold;
        decision.referenceAfter = decision.fires ? price : referenceWithoutAlert(price, reference);
        break;
    case CoinAlertKind::notSet:
        decision.referenceAfter = referenceWithoutAlert(price, reference);
        break;
    }
    return decision;
}

} // namespace Vantrell
