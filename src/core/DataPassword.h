// The password that protects the program's own Paradox project tables. It is handed to
// the table engine whenever a protected table asks for one.
#pragma once

#include <string>

namespace dx {

// Assembled at run time, so the text does not stand in the binary in one piece.
std::string dataPassword();

} // namespace dx
