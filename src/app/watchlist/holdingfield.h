// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace Vantrell {

// The rules of a watchlist row's holding and average-cost fields. Both type
// like the alert threshold (comma as point, one point, up to 8 fraction
// digits); a holding is in coins, an average cost in the display currency
// (stored in USD). Emptying a field removes the value.

inline constexpr int maximumHoldingFractionDigits = 8;
inline constexpr double maximumHolding = 1e15;
inline constexpr double maximumAverageCost = 1e15;

// What a finished edit writes: a value, or none to remove it.
struct AmountEdit
{
    std::optional<double> value;

    bool operator==(const AmountEdit &) const = default;
};

// The edit state of one holding or average-cost field, apart from its
// drawing. As the threshold field: once the user types, a new price or rate
// leaves the typed text alone until the edit ends.
class WatchlistAmountField final
{
public:
    enum class Kind { holding, averageCost };

    explicit WatchlistAmountField(Kind kind)
        : m_kind(kind)
    { }

    // The stored value in display units (coins, or the display currency) and
    // the coin's price, which sets an average cost's fraction digits.
    void show(std::optional<double> value, std::optional<double> referencePrice);

    const QString &text() const { return m_text; }
    bool isEditing() const { return m_isEditing; }

    // The user changed the text: starts an edit and returns what is kept.
    QString type(QStringView typed);
    // The edit ended: what to write, or nothing when no edit was under way or
    // the text does not parse (the field then shows the stored value again).
    std::optional<AmountEdit> endEditing();

private:
    void refreshText();

    Kind m_kind;
    std::optional<double> m_value;
    std::optional<double> m_referencePrice;
    QString m_text;
    bool m_isEditing = false;
};

// The edit of `text` in a field of `kind`: none (revert) for text that is not
// a whole decimal number; no value for an empty text, and for an average cost
// of 0; else the number, limited to 1e15.
std::optional<AmountEdit> committedAmount(WatchlistAmountField::Kind kind, QStringView text);

// The field's text for a stored value: empty without one; a holding with up
// to 8 fraction digits; an average cost by the list's fraction-digit rule for
// the coin's price (the value itself without a price).
QString amountFieldText(
    WatchlistAmountField::Kind kind, std::optional<double> value, std::optional<double> referencePrice);

} // namespace Vantrell
