// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingsenums.h"

#include <QString>

class QTime;

namespace Vantrell {

// Price texts as the user sees them everywhere: "," groups every 3 integer
// digits, "." is the decimal point, independent of the system locale. The
// number of fraction digits is chosen from the value before rounding (so 99.995
// keeps the rule for values below 100 even though it rounds to 100). Rounding is
// half to even on the double's exact binary value: 0.125 gives 0.12 (a true
// tie), 2.675 gives 2.67 and 0.98765 gives 0.9877 (stored just below and just
// above the tie). A minus sign is never put in front of a result that is zero.
// NaN and infinities have no number form and come out as the shortest text of
// the double: "nan", "inf" and "-inf". Pure and thread-safe.

// A bare price for the panel title and notification texts: at most 4 fraction
// digits below 1, at most 2 below 100, none from 100 on; trailing zeros dropped.
// 97342.6 gives "97,343", 0.000123456 gives "0.0001". Negative values count as
// below 1.
QString formatPrice(double value);

// A price for lists, alert thresholds and widgets: 4 to 6 fraction digits below
// 1, exactly 2 below 100, none from 100 on, optionally preceded by the currency's
// symbol without a space. 0.5 in USD gives "$0.5000", 2.5 in EUR "€2.50".
QString formatPrice(double value, BaseCurrency currency, bool includeSymbol);

// An amount of the user's holdings: formatPrice() with the currency symbol, or
// "••••" while balances are hidden.
QString formatHoldingsAmount(double value, BaseCurrency currency, bool hidden);

// A move of the holdings' worth with its sign in front of the symbol, "+$588"
// or "-$2,000" (0 counts as a rise); "••••" while balances are hidden.
QString formatHoldingsChange(double value, BaseCurrency currency, bool hidden);

// What stands for an amount while balances are hidden.
inline QString hiddenAmount()
{
    return QStringLiteral("••••");
}

// A price as an input field shows it: the fraction digits of the list rule
// above chosen from `magnitude` instead of the value (a threshold near a coin's
// price follows the price's rule), no grouping, no symbol. 65280 with magnitude
// 64000 gives "65280", 0.357 with magnitude 0.35 gives "0.3570".
QString formatEditablePrice(double value, double magnitude);

// A plain number for an input field: no grouping, 0 to `maximumFractionDigits`
// fraction digits, trailing zeros dropped. 2.5 gives "2.5", 2 gives "2".
QString formatEditableNumber(double value, int maximumFractionDigits);

// A 24-hour change in percent with two decimals, as every view shows it. A
// change of 0 or more counts as a rise and is written "+2.31%" (so 0 and -0
// give "+0.00%"); a fall carries the number's own minus sign, "-1.27%", also
// when it rounds to zero ("-0.00%" for -0.004). Empty for NaN and infinities,
// which no exchange reports.
QString formatChangePercent(double percent);

// The size of a change without a sign, "2.35%", for texts that say the
// direction in words. Empty for NaN and infinities.
QString formatChangeMagnitude(double percent);

// Whether a change counts as a rise: 0 does, as does -0.
inline bool isRise(double change)
{
    return change >= 0;
}

// A price in about five characters, for a square tray icon: `significantDigits`
// significant digits (1 to 6, trailing zeros kept so the width stays put as
// the price moves), thousands as "k", "M", "B" and "T", and no "0" before the
// point: 43,714 gives "43.7k", 2,238 "2.24k", 1,234,567 "1.23M", 437.4 "437",
// 0.08199 ".0820". It never hides the magnitude: digits before the point or a
// suffix are never dropped (43,714 with 2 digits gives "44k", 437.4 gives
// "437"). Below 0.01 it keeps 2 digits at most (0.008123 gives ".0081"); from
// three zeros after the point on, their count is written as a subscript
// (0.00001234 gives ".0₄12"). Grouping and the currency are left out. NaN and
// infinities come out as formatPrice(double) gives them.
QString formatCompactPrice(double value, int significantDigits = 3);

// "$", "¥", "₩", "HK$", "NT$", "RM", "€", "£" …; several currencies share one.
QString currencySymbol(BaseCurrency currency);

// A time of day in the language's own short form, the same in the widgets and
// the application: "2:05 PM", "14:05", "下午2:05". `system` resolves through the
// user's preferred languages.
QString shortTime(const QTime &time, AppLanguage language);

} // namespace Vantrell
