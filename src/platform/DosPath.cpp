#include "platform/DosPath.h"

namespace upfold {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

void Apply(DosPath& path, const std::string& text, std::size_t from) {
  std::string part;
  for (std::size_t i = from; i <= text.size(); ++i) {
    if (i < text.size() && !IsSeparator(text[i])) {
      part += text[i];
      continue;
    }
    if (part == "..") {
      if (!path.parts.empty()) path.parts.pop_back();
    } else if (!part.empty() && part != ".") {
      path.parts.push_back(part);
    }
    part.clear();
  }
}

}  // namespace

std::string DosPath::ToString() const {
  std::string out{drive, ':'};
  if (parts.empty()) return out + '\\';
  for (const std::string& p : parts) out += '\\' + p;
  return out;
}

std::optional<DosPath> ParseDosPath(const std::string& text, const std::string& currentDir) {
  if (text.empty()) return std::nullopt;
  if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) return std::nullopt;

  bool hasDrive = text.size() >= 2 && text[1] == ':';
  if (hasDrive && !IsDriveLetter(text[0])) return std::nullopt;
  std::size_t rest = hasDrive ? 2 : 0;
  bool rooted = rest < text.size() && IsSeparator(text[rest]);

  DosPath path;
  if (!(hasDrive && rooted)) {
    // Needs the current directory, which must itself be absolute.
    bool currentOk = currentDir.size() >= 3 && IsDriveLetter(currentDir[0]) && currentDir[1] == ':' &&
                     IsSeparator(currentDir[2]);
    if (!currentOk) return std::nullopt;
    path.drive = Upper(currentDir[0]);
    if (!rooted && (!hasDrive || Upper(text[0]) == path.drive)) Apply(path, currentDir, 3);
  }
  if (hasDrive) {
    if (path.drive != Upper(text[0])) path.parts.clear();
    path.drive = Upper(text[0]);
  }
  Apply(path, text, rest);
  return path;
}

bool IsValidDosName(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    if (u < 32) return false;
    for (char bad : std::string("<>:\"/\\|?*"))
      if (c == bad) return false;
  }
  return true;
}

}  // namespace upfold
