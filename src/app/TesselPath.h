#pragma once
// The Tessel path form handed to the bridge runner: C:\DIR\SUB becomes /DIR\SUB/C, a drive
// root (C: or C:\) becomes //C. Inner backslashes stay.

#include <optional>
#include <string>

namespace upfold {

// nullopt for a path that does not start with a drive letter, a colon and (if anything
// follows) a backslash: UNC paths, relative paths, empty text.
std::optional<std::string> PathToTesselFormat(const std::string& path);

}  // namespace upfold
