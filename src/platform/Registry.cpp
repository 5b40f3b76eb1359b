#include "platform/Registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/RegDocument.h"
#include "platform/RegValueData.h"
#include "platform/TextEncoding.h"

namespace upfold {

namespace {

// A line break in a name would split its line in the file and damage it.
void RefuseLineBreaks(const std::string& name) {
  if (name.find_first_of("\r\n") != std::string::npos)
    throw RegistryError("A registry name cannot contain a line break: \"" + name + "\".");
}

// The program's key path (Windows-1252, leading backslash optional) in the file's form.
std::string FileKeyPath(const std::string& key) {
  RefuseLineBreaks(key);
  std::string path;
  std::string part;
  for (char c : Cp1252ToUtf8(key) + '\\') {
    if (c != '\\') {
      part += c;
    } else if (!part.empty()) {
      path += (path.empty() ? "" : "\\") + part;
      part.clear();
    }
  }
  return path;
}

std::string ShownKey(Hive hive, const std::string& path) {
  return std::string(HiveName(hive)) + (path.empty() ? "" : "\\" + path);
}

// Writes go to the target of a symbolic link, and the lock must guard that same file.
std::string WriteTarget(const std::string& filePath) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(filePath, ec)) return filePath;
  auto target = std::filesystem::weakly_canonical(filePath, ec);
  return ec ? filePath : target.string();
}

RegDocument Load(const std::string& filePath) {
  std::optional<std::string> bytes;
  try {
    bytes = ReadWholeFile(filePath);
  } catch (const std::system_error& e) {
    throw RegistryError("Cannot read the registry file " + filePath + ": " + e.code().message() + ".");
  }
  return bytes ? RegDocument::Parse(*bytes, filePath) : RegDocument{};
}

// One read-modify-write cycle under the lock; change returns whether it altered anything.
// A damaged file raises from Load before anything is written.
bool Modify(const std::string& filePath, const std::function<bool(RegDocument&)>& change) {
  std::string target = WriteTarget(filePath);
  try {
    ExclusiveFileLock lock(target);
    RegDocument doc = Load(filePath);
    if (!change(doc)) return false;
    ReplaceFileAtomically(target, doc.Serialize());
    return true;
  } catch (const std::system_error& e) {
    throw RegistryError("Cannot write the registry file " + filePath + ": " + e.code().message() + ".");
  }
}

}  // namespace

Registry::Registry(std::string filePath) : filePath_(std::move(filePath)) {}

std::string Registry::DefaultPath() {
  const char* explicitPath = std::getenv("MARROWFIELD_REGISTRY");
  if (explicitPath && *explicitPath) return explicitPath;
  std::string config;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') {
    config = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* pw = ::getpwuid(::getuid());
      home = pw ? pw->pw_dir : "/";
    }
    config = std::string(home) + "/.config";
  }
  return config + "/marrowfield/registry.reg";
}

bool Registry::KeyExists(Hive hive, const std::string& key) const {
  return Load(filePath_).KeyExists(hive, FileKeyPath(key));
}

void Registry::CreateKey(Hive hive, const std::string& key) {
  std::string path = FileKeyPath(key);
  Modify(filePath_, [&](RegDocument& doc) { return doc.CreateKey(hive, path); });
}

bool Registry::DeleteKey(Hive hive, const std::string& key) {
  std::string path = FileKeyPath(key);
  if (path.empty()) throw RegistryError(std::string("The root key ") + HiveName(hive) + " cannot be deleted.");
  return Modify(filePath_, [&](RegDocument& doc) { return doc.DeleteKey(hive, path); });
}

bool Registry::ValueExists(Hive hive, const std::string& key, const std::string& name) const {
  return Load(filePath_).FindValue(hive, FileKeyPath(key), Cp1252ToUtf8(name)) != nullptr;
}

std::optional<std::string> Registry::ReadString(Hive hive, const std::string& key,
                                                const std::string& name) const {
  std::string path = FileKeyPath(key);
  RegDocument doc = Load(filePath_);
  const RegEntry* value = doc.FindValue(hive, path, Cp1252ToUtf8(name));
  if (!value) return std::nullopt;
  std::optional<std::string> text = regdata::TextOf(value->text);
  if (!text) {
    throw RegistryError("The registry value " + ShownKey(hive, path) + "\\" +
                        (name.empty() ? "@" : name) + " in " + filePath_ + " is not a text value.");
  }
  return Utf8ToCp1252(*text);
}

void Registry::WriteString(Hive hive, const std::string& key, const std::string& name,
                           const std::string& value) {
  std::string path = FileKeyPath(key);
  RefuseLineBreaks(name);
  std::string data = regdata::TextData(Cp1252ToUtf8(value));
  Modify(filePath_, [&](RegDocument& doc) { return doc.SetValue(hive, path, Cp1252ToUtf8(name), data); });
}

bool Registry::DeleteValue(Hive hive, const std::string& key, const std::string& name) {
  std::string path = FileKeyPath(key);
  return Modify(filePath_,
                [&](RegDocument& doc) { return doc.DeleteValue(hive, path, Cp1252ToUtf8(name)); });
}

std::vector<std::string> Registry::ValueNames(Hive hive, const std::string& key) const {
  std::vector<std::string> names = Load(filePath_).ValueNames(hive, FileKeyPath(key));
  for (std::string& n : names) n = Utf8ToCp1252(n);
  return names;
}

std::vector<std::string> Registry::SubKeyNames(Hive hive, const std::string& key) const {
  std::vector<std::string> names = Load(filePath_).SubKeyNames(hive, FileKeyPath(key));
  for (std::string& n : names) n = Utf8ToCp1252(n);
  return names;
}

}  // namespace upfold
