// Rounding and recognition of the numbers in list texts.
#include "lists/NumberTexts.h"

#include <cmath>

namespace dx {

double RoundToTenth(double x)
{
    const double whole = std::trunc(x);
    const double tenths = (x - whole) * 10.0;
    double rounded = std::floor(tenths);
    const double rest = tenths - rounded;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    return whole + rounded / 10.0;
}

} // namespace dx
