// Numbers as the lists write them and read them back: the rounding to tenths of the
// aligned text tables, and the recognition of a shown number that a spreadsheet stores
// as a number again.
#pragma once

namespace dx {

// The integer part of x plus the fraction's tenths rounded to the nearest, ties to even.
// The fraction is that of the stored double: 12.25 -> 12.2, 12.75 -> 12.8, 12.35 -> 12.3.
double RoundToTenth(double x);

} // namespace dx
