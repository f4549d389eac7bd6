// Numbers written by the display patterns of the grids ("0.0", "#,##0.00"), in the
// decimal point, group separator and minus sign of a locale.
#pragma once

#include <QLocale>
#include <QString>

namespace dx {

// A number written by a display pattern of the grids: '0' a digit always written, '#' a
// digit written when significant, '.' the decimal point, ',' anywhere before the point
// groups thousands; other characters (or text in quotes) before and after the digits are
// copied. "0.0": 12 -> "12.0"; "#.0": 0.5 -> ".5"; "#,##0.0": 1234.56 -> "1,234.6".
// The stored value is rounded, an exact tie away from zero. The locale gives the decimal
// point, the group separator and the minus sign.
QString formatNumber(double value, const QString &pattern, const QLocale &locale = QLocale::c());

// A computed real shown without a display pattern, in the C form: at most 15 significant
// digits, trailing zeros dropped (1973.1000000000004 -> "1973.1", 12.0 -> "12"). A value
// read from a file has no more digits, so it reads as stored.
QString computedRealText(double value);

// Plain digits in the C form ("-12.5") written with the locale's decimal point and minus
// sign.
QString localisedNumber(QString text, const QLocale &locale);

} // namespace dx
