#pragma once
// A DOS path taken apart: its drive letter and its components, with "." and ".." applied.

#include <optional>
#include <string>
#include <vector>

namespace upfold {

struct DosPath {
  char drive = 'C';                // upper case
  std::vector<std::string> parts;  // never "", "." or ".."

  // "C:\DIR\FILE", or "C:\" for the root.
  std::string ToString() const;
};

// Takes absolute ("C:\A", "c:/a"), rooted ("\A", on the current drive), drive-relative
// ("C:A") and relative ("A\B") paths; the last two start from currentDir, an absolute DOS
// path (a drive-relative path on another drive starts from that drive's root). ".." stops
// at the root. nullopt for an empty text, a UNC path (\\server\share) or a bad drive.
std::optional<DosPath> ParseDosPath(const std::string& text, const std::string& currentDir);

// True when the name may be given to a new file or folder: none of <>:"/\|?* and no
// control characters.
bool IsValidDosName(const std::string& name);

}  // namespace upfold
