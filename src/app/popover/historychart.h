// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/settingsenums.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace Vantrell {

// What the 24-hour chart of a coin says in words: the high and the low with
// their times, a point's time and price, and the sentence a screen reader
// hears. Slot i of n lies (n - 1 - i) quarter hours before the slot that
// holds `priceTime`. Pure.
struct HistoryChartReadout
{
    QString high; // "High $44,100 at 13:45"
    QString low;
    QString point; // "14:15 · $43,714" for the chosen slot; empty for a gap
    QString description; // "Change +2.31%. High … Low …"

    static std::optional<HistoryChartReadout> of(const Coin &coin, qsizetype pointIndex, BaseCurrency currency,
        AppLanguage language, const QDateTime &priceTime);

    // When slot `index` of `count` began.
    static QDateTime slotTime(qsizetype index, qsizetype count, const QDateTime &priceTime);
    // The slot a key moves to from `index` (Left, Right, Home, End; others stay), skipping gaps.
    static qsizetype stepped(const QList<double> &values, qsizetype index, int key);
};

} // namespace Vantrell
