// Numbers as the lists write them and read them back: the rounding to tenths of the
// aligned text tables, and the recognition of a shown number that a spreadsheet stores
// as a number again.
#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace dx {

// The integer part of x plus the fraction's tenths rounded to the nearest, ties to even.
// The fraction is that of the stored double: 12.25 -> 12.2, 12.75 -> 12.8, 12.35 -> 12.3.
double RoundToTenth(double x);

// The number a cell text stands for, when the text is a plain number written in the C form
// or in the form of `locale` (digits, at most one decimal point, an optional minus; no
// group separators, no leading zeros but the one before the point, at most 15 digits), so
// that a spreadsheet can show it again exactly as it stands.
struct PlainNumber {
    double value = 0;
    int decimals = 0;         // digits after the point
    bool integerPart = true;  // false for ".5": no digit before the point
};
std::optional<PlainNumber> plainNumber(const QString &text, const QLocale &locale);

} // namespace dx
