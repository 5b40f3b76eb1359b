#pragma once
// The start-up parameters of the desktop program, as the suite's main menu passes them.

#include <array>
#include <string>

namespace upfold {

// argv[1]..argv[6] as Windows-1252 text (the host hands over UTF-8); missing ones are empty,
// further ones are ignored.
std::array<std::string, 6> StartParameters(int argc, const char* const* argv);

}  // namespace upfold
