// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlistalertfield.h"

#include "alertthreshold.h"

namespace Vantrell {

void WatchlistAlertField::show(CoinAlertKind kind, double value, std::optional<double> referencePrice)
{
    const bool kindChanged = kind != m_kind;
    m_kind = kind;
    m_value = value;
    m_referencePrice = referencePrice;
    if (kindChanged || !m_isEditing)
        refreshText();
}

QString WatchlistAlertField::suffix() const
{
    return m_kind == CoinAlertKind::change ? QStringLiteral("%") : QString();
}

QString WatchlistAlertField::type(QStringView typed)
{
    if (hasField())
        m_isEditing = true;
    m_text = filterAlertInput(typed, m_kind);
    return m_text;
}

std::optional<double> WatchlistAlertField::endEditing()
{
    // Return and the loss of focus that may follow end one edit: it is written once.
    if (!m_isEditing)
        return std::nullopt;
    m_isEditing = false;
    const std::optional<double> committed = committedAlertValue(m_text, m_kind);
    if (committed)
        m_value = *committed;
    refreshText();
    return committed;
}

void WatchlistAlertField::refreshText()
{
    m_text = alertFieldText(m_kind, m_value, m_referencePrice);
}

} // namespace Vantrell
