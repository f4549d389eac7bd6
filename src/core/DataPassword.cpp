#include "DataPassword.h"

namespace dx {

std::string dataPassword()
{
    // Kept as shifted letters and put together on demand.
    static const unsigned char shifted[] = {'e' + 3, 'f' + 3, 'o' + 3, 'e' + 3, 's' + 3, 'j' + 3, 'y' + 3, '2' + 3, '6' + 3};
    std::string s;
    for (unsigned char c : shifted) s += char(c - 3);
    return s;
}

} // namespace dx
