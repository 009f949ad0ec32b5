// SPDX-License-Identifier: GPL-3.0-or-later
#include "holdingfield.h"

#include "alertthreshold.h"
#include "widgetkit/priceformatter.h"

#include <algorithm>

namespace Vantrell {

void WatchlistAmountField::show(std::optional<double> value, std::optional<double> referencePrice)
{
    m_value = value;
    m_referencePrice = referencePrice;
    if (!m_isEditing)
        refreshText();
}

QString WatchlistAmountField::type(QStringView typed)
{
    m_isEditing = true;
    m_text = filterDecimalInput(typed, maximumHoldingFractionDigits);
    return m_text;
}

std::optional<AmountEdit> WatchlistAmountField::endEditing()
{
    if (!m_isEditing)
        return std::nullopt;
    m_isEditing = false;
    const std::optional<AmountEdit> edit = committedAmount(m_kind, m_text);
    if (edit)
        m_value = edit->value;
    refreshText();
    return edit;
}

void WatchlistAmountField::refreshText()
{
    m_text = amountFieldText(m_kind, m_value, m_referencePrice);
}

std::optional<AmountEdit> committedAmount(WatchlistAmountField::Kind kind, QStringView text)
{
    if (text.trimmed().isEmpty())
        return AmountEdit {};
    const std::optional<double> value = parseDecimalInput(text);
    if (!value)
        return std::nullopt;
    if (kind == WatchlistAmountField::Kind::holding)
        return AmountEdit {std::min(*value, maximumHolding)};
    if (!(*value > 0))
        return AmountEdit {};
    return AmountEdit {std::min(*value, maximumAverageCost)};
}

QString amountFieldText(
    WatchlistAmountField::Kind kind, std::optional<double> value, std::optional<double> referencePrice)
{
    if (!value)
        return {};
    if (kind == WatchlistAmountField::Kind::holding)
        return formatEditableNumber(*value, maximumHoldingFractionDigits);
    return formatEditablePrice(*value, referencePrice && *referencePrice > 0 ? *referencePrice : *value);
}

} // namespace Vantrell
