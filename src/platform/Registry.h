#pragma once
// The suite's registry, kept in a file in the Windows .reg text format so that several
// processes (and the other programs of the suite) can share it. Every call reads the file
// afresh; every change is made under an exclusive file lock and replaces the file atomically.
// The file is UTF-8; names and values cross this interface as Windows-1252 text, like every
// text of the program. The value name "" is the key's default value (@ in the file).
// Values of other types (dword, hex) are kept as they are when the file is rewritten.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace upfold {

enum class Hive { LocalMachine, ClassesRoot, CurrentUser };

// Raised for a file that cannot be read or written, a damaged file (the message names the
// file and the line), or a value that is not text where text was asked for.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Registry {
 public:
  // filePath: the .reg file; it need not exist yet (it then reads as empty).
  explicit Registry(std::string filePath);

  // MARROWFIELD_REGISTRY, else $XDG_CONFIG_HOME/marrowfield/registry.reg
  // (XDG_CONFIG_HOME defaulting to ~/.config).
  static std::string DefaultPath();

  const std::string& FilePath() const { return filePath_; }

  // Key paths are written as in the program ("\Software\Verrin\Marrowfield\Host"); a leading
  // backslash is optional and names compare without regard to case.
  bool KeyExists(Hive hive, const std::string& key) const;
  void CreateKey(Hive hive, const std::string& key);  // with every missing parent
  bool DeleteKey(Hive hive, const std::string& key);  // with its subkeys; false when missing
                                                      // (a hive's root cannot be deleted)

  bool ValueExists(Hive hive, const std::string& key, const std::string& name) const;
  // nullopt when the key or the value is missing; RegistryError when the value is not text
  // (string values, and expandable strings unexpanded, are text).
  std::optional<std::string> ReadString(Hive hive, const std::string& key,
                                        const std::string& name) const;
  // Creates the key when missing. The value becomes a text value. A damaged file is never
  // written: the change fails with the RegistryError that names the damage.
  void WriteString(Hive hive, const std::string& key, const std::string& name,
                   const std::string& value);
  bool DeleteValue(Hive hive, const std::string& key, const std::string& name);

  // Names as stored (original case), in file order. Empty when the key is missing.
  std::vector<std::string> ValueNames(Hive hive, const std::string& key) const;
  std::vector<std::string> SubKeyNames(Hive hive, const std::string& key) const;

 private:
  std::string filePath_;
};

}  // namespace upfold
