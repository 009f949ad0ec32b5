// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingsenums.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace Vantrell {

// The state of one watchlist row's threshold field, apart from its drawing:
// the text it shows, what typing leaves of it and what a finished edit writes.
// Once the user types, nothing from outside (a new price, a new rate) touches
// the typed text until the edit ends; before and after, the text follows the
// stored value. Focus alone is not an edit: a field entered and left without
// typing gets no end-of-edit from Qt, and must not freeze.
class WatchlistAlertField final
{
public:
    // Shown instead of the field while no alert is set.
    static QString notSetText() { return QStringLiteral("—"); }

    // The entry's current kind and value in display units, and the coin's price
    // in the display currency when known. The text is rebuilt when the kind
    // changes, otherwise only while the field is not being edited.
    void show(CoinAlertKind kind, double value, std::optional<double> referencePrice);

    CoinAlertKind kind() const { return m_kind; }
    const QString &text() const { return m_text; }
    bool isEditing() const { return m_isEditing; }
    // notSet shows notSetText() and takes no input.
    bool hasField() const { return m_kind != CoinAlertKind::notSet; }
    // "%" after the field of a change alert, empty otherwise.
    QString suffix() const;

    // The field's text was changed by the user: starts an edit, keeps and
    // returns the filtered text, which the field takes over when it differs
    // from what was typed.
    QString type(QStringView typed);
    // Return, Tab or loss of focus: the display value to write, or nothing when
    // the text does not parse (it then shows the current value again) or no
    // edit was under way.
    std::optional<double> endEditing();

private:
    void refreshText();

    CoinAlertKind m_kind = CoinAlertKind::notSet;
    double m_value = 0;
    std::optional<double> m_referencePrice;
    QString m_text;
    bool m_isEditing = false;
};

} // namespace Vantrell
