#pragma once
// Reports must not be written into the program directory or any data directory of the host.
// The data directories are read from the registry's data-path key on the first check and kept
// until ForgetDataPaths (the dialog closed through its close box).

#include <optional>
#include <string>
#include <vector>

namespace upfold {

class DosFs;
class Registry;
class Ui;

class PrintDirectoryCheck {
 public:
  PrintDirectoryCheck(const Registry& registry, const DosFs& fs, Ui& ui);

  // IsPrintFilePathOK, for while the report goes to a file: false after the information box
  // when directory is pgmDir or a data directory. Directories are the same when their texts
  // agree without regard to case, surrounding blanks and a trailing backslash, or when both
  // lead to the same folder on disk. When the data-path key cannot be read (its message is
  // shown) only the program directory is refused.
  bool IsPrintFilePathOK(const std::string& directory, const std::string& pgmDir);

  void ForgetDataPaths() { dataPaths_.reset(); }
  // The data directories, once read.
  const std::optional<std::vector<std::string>>& DataPathList() const { return dataPaths_; }

 private:
  bool BuildDataPathList();
  bool SameDirectory(const std::string& a, const std::string& b) const;
  bool NoPgmOrDataDir(const std::string& pgmDir);

  const Registry& registry_;
  const DosFs& fs_;
  Ui& ui_;
  std::optional<std::vector<std::string>> dataPaths_;
};

}  // namespace upfold
