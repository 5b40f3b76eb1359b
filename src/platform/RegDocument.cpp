#include "platform/RegDocument.h"

#include <algorithm>

#include "platform/RegValueData.h"
#include "platform/TextEncoding.h"

namespace upfold {

namespace {

// True when path is ancestor or lies below it ("" is the hive root, the ancestor of all).
bool IsWithin(const std::string& path, const std::string& ancestor) {
  if (ancestor.empty()) return true;
  if (path.size() == ancestor.size()) return EqualsIgnoreAsciiCase(path, ancestor);
  return path.size() > ancestor.size() && path[ancestor.size()] == '\\' &&
         EqualsIgnoreAsciiCase(path.substr(0, ancestor.size()), ancestor);
}

// "a\b\c" gives "a", "a\b", "a\b\c".
std::vector<std::string> Prefixes(const std::string& path) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '\\') out.push_back(path.substr(0, i));
  return out;
}

}  // namespace

const char* HiveName(Hive hive) {
  switch (hive) {
    case Hive::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case Hive::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case Hive::CurrentUser: return "HKEY_CURRENT_USER";
  }
  return "?";
}

std::string RegDocument::Serialize() const {
  std::string out = "Windows Registry Editor Version 5.00\n\n";
  for (const std::string& line : preamble) out += line + '\n';
  if (!preamble.empty()) out += '\n';
  for (const RegKey& key : keys) {
    out += '[';
    out += HiveName(key.hive);
    if (!key.path.empty()) out += '\\' + key.path;
    out += "]\n";
    for (const RegEntry& e : key.entries) {
      if (e.comment) out += e.text + '\n';
      else out += (e.name.empty() ? std::string("@") : regdata::Quote(e.name)) + '=' + e.text + '\n';
    }
    out += '\n';
  }
  return out;
}

RegKey* RegDocument::FindKey(Hive hive, const std::string& path) {
  for (RegKey& key : keys)
    if (key.hive == hive && EqualsIgnoreAsciiCase(key.path, path)) return &key;
  return nullptr;
}

const RegKey* RegDocument::FindKey(Hive hive, const std::string& path) const {
  return const_cast<RegDocument*>(this)->FindKey(hive, path);
}

bool RegDocument::KeyExists(Hive hive, const std::string& path) const {
  if (path.empty()) return true;
  return std::any_of(keys.begin(), keys.end(), [&](const RegKey& k) {
    return k.hive == hive && IsWithin(k.path, path);
  });
}

bool RegDocument::CreateKey(Hive hive, const std::string& path) {
  if (KeyExists(hive, path)) return false;
  // Parents exist through their subkeys and need no section of their own. The new section
  // goes after the last key below the deepest ancestor that exists, keeping a subtree together.
  std::string ancestor;
  for (const std::string& prefix : Prefixes(path))
    if (prefix != path && KeyExists(hive, prefix)) ancestor = prefix;
  std::size_t at = keys.size();
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (keys[i].hive == hive && IsWithin(keys[i].path, ancestor)) at = i + 1;
  keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(at), RegKey{hive, path, {}});
  return true;
}

bool RegDocument::DeleteKey(Hive hive, const std::string& path) {
  auto gone = std::remove_if(keys.begin(), keys.end(), [&](const RegKey& k) {
    return k.hive == hive && IsWithin(k.path, path);
  });
  bool removed = gone != keys.end();
  keys.erase(gone, keys.end());
  return removed;
}

std::vector<std::string> RegDocument::SubKeyNames(Hive hive, const std::string& path) const {
  std::vector<std::string> names;
  for (const RegKey& k : keys) {
    if (k.hive != hive || k.path.size() <= path.size() || !IsWithin(k.path, path)) continue;
    std::string rest = k.path.substr(path.empty() ? 0 : path.size() + 1);
    std::string child = rest.substr(0, rest.find('\\'));
    bool known = std::any_of(names.begin(), names.end(),
                             [&](const std::string& n) { return EqualsIgnoreAsciiCase(n, child); });
    if (!known) names.push_back(child);
  }
  return names;
}

const RegEntry* RegDocument::FindValue(Hive hive, const std::string& path,
                                       const std::string& name) const {
  const RegKey* key = FindKey(hive, path);
  if (!key) return nullptr;
  for (const RegEntry& e : key->entries)
    if (!e.comment && EqualsIgnoreAsciiCase(e.name, name)) return &e;
  return nullptr;
}

std::vector<std::string> RegDocument::ValueNames(Hive hive, const std::string& path) const {
  std::vector<std::string> names;
  if (const RegKey* key = FindKey(hive, path))
    for (const RegEntry& e : key->entries)
      if (!e.comment) names.push_back(e.name);
  return names;
}

bool RegDocument::SetValue(Hive hive, const std::string& path, const std::string& name,
                           const std::string& data) {
  RegKey* key = FindKey(hive, path);
  if (!key) {
    if (KeyExists(hive, path)) {
      // Known only through its subkeys: its section goes before the first of them.
      auto first = std::find_if(keys.begin(), keys.end(), [&](const RegKey& k) {
        return k.hive == hive && IsWithin(k.path, path);
      });
      key = &*keys.insert(first, RegKey{hive, path, {}});
    } else {
      CreateKey(hive, path);
      key = FindKey(hive, path);
    }
  }
  for (RegEntry& e : key->entries) {
    if (e.comment || !EqualsIgnoreAsciiCase(e.name, name)) continue;
    if (e.text == data) return false;
    e.text = data;  // the name keeps the case it was first written in
    return true;
  }
  key->entries.push_back(RegEntry{false, name, data});
  return true;
}

bool RegDocument::DeleteValue(Hive hive, const std::string& path, const std::string& name) {
  RegKey* key = FindKey(hive, path);
  if (!key) return false;
  auto it = std::find_if(key->entries.begin(), key->entries.end(), [&](const RegEntry& e) {
    return !e.comment && EqualsIgnoreAsciiCase(e.name, name);
  });
  if (it == key->entries.end()) return false;
  key->entries.erase(it);
  return true;
}

}  // namespace upfold
