#pragma once
// The contents of a .reg file in memory: keys in file order, each with its values (and
// comment lines) in file order. Names and data are UTF-8 as in the file; key paths are
// written without the hive and without a leading backslash ("Software\Verrin"), the hive
// root being "". Parent keys need not have a section of their own: a key exists when it or
// any key below it does. Names compare without regard to ASCII case.

#include <string>
#include <vector>

#include "platform/Registry.h"

namespace upfold {

struct RegEntry {
  bool comment = false;  // a ';' line kept as it stands in text
  std::string name;      // value name; "" for the default value (@)
  std::string text;      // value data exactly as after the '=' (see RegValueData.h), or the comment
};

struct RegKey {
  Hive hive = Hive::LocalMachine;
  std::string path;
  std::vector<RegEntry> entries;
};

class RegDocument {
 public:
  // Throws RegistryError naming fileName and the line when the text is damaged.
  static RegDocument Parse(const std::string& bytes, const std::string& fileName);
  // UTF-8 with LF line ends, the standard header first.
  std::string Serialize() const;

  bool KeyExists(Hive hive, const std::string& path) const;
  // A section for the key (its parents then exist through it); false when it existed.
  bool CreateKey(Hive hive, const std::string& path);
  // The key and all below it; false when it does not exist.
  bool DeleteKey(Hive hive, const std::string& path);
  // Immediate subkeys in order of first appearance, as first spelt.
  std::vector<std::string> SubKeyNames(Hive hive, const std::string& path) const;

  // Null when the key has no section or no such value.
  const RegEntry* FindValue(Hive hive, const std::string& path, const std::string& name) const;
  std::vector<std::string> ValueNames(Hive hive, const std::string& path) const;
  // Creates the key when missing; false when the value already had this data.
  bool SetValue(Hive hive, const std::string& path, const std::string& name,
                const std::string& data);
  bool DeleteValue(Hive hive, const std::string& path, const std::string& name);

  // Comment lines that stand before the first key.
  std::vector<std::string> preamble;
  std::vector<RegKey> keys;

 private:
  RegKey* FindKey(Hive hive, const std::string& path);
  const RegKey* FindKey(Hive hive, const std::string& path) const;
};

// "HKEY_LOCAL_MACHINE" and so on.
const char* HiveName(Hive hive);

}  // namespace upfold
