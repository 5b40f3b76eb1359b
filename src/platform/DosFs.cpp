#include "platform/DosFs.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/DosPath.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"

namespace upfold {

namespace {

const char kDosDevices[] = "\\System\\CurrentControlSet\\Control\\Session Manager\\DOS Devices";

char UpperLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Cp1252Upper(a[i]) != Cp1252Upper(b[i])) return false;
  return true;
}

std::string JoinHost(const std::string& folder, const std::string& name) {
  return folder.back() == '/' ? folder + name : folder + '/' + name;
}

// The entry of folder whose name is name without regard to case (name and the result are
// UTF-8): the exact spelling when it exists, else the first match in byte order.
std::optional<std::string> FindEntry(const std::string& folder, const std::string& name) {
  struct stat st {};
  if (::lstat(JoinHost(folder, name).c_str(), &st) == 0) return name;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return std::nullopt;
  std::string wanted = Utf8ToCp1252(name);
  std::optional<std::string> best;
  while (const dirent* e = ::readdir(dir)) {
    std::string candidate = e->d_name;
    if (candidate == "." || candidate == "..") continue;
    if (SameIgnoringCase(Utf8ToCp1252(candidate), wanted) && (!best || candidate < *best))
      best = candidate;
  }
  ::closedir(dir);
  return best;
}

// Host folder without a trailing slash, "/" for the root.
std::string CleanHostFolder(std::string folder) {
  folder = std::filesystem::path(folder).lexically_normal().string();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

DosFs::DosFs(const Registry* registry) {
  if (registry) {
    for (const std::string& name : registry->ValueNames(Hive::LocalMachine, kDosDevices)) {
      if (name.size() != 2 || name[1] != ':' || !std::isalpha(static_cast<unsigned char>(name[0])))
        continue;
      auto folder = registry->ReadString(Hive::LocalMachine, kDosDevices, name);
      if (!folder || folder->empty() || (*folder)[0] != '/') continue;  // not a host folder
      char letter = UpperLetter(name[0]);
      std::erase_if(drives_, [&](const auto& d) { return d.first == letter; });
      drives_.emplace_back(letter, CleanHostFolder(Cp1252ToUtf8(*folder)));
    }
  }
  if (!DriveRoot('C')) drives_.emplace_back('C', "/");
  std::sort(drives_.begin(), drives_.end());

  std::error_code ec;
  auto cwd = std::filesystem::current_path(ec);
  auto dos = ec ? std::nullopt : ToDos(cwd.string());
  currentDir_ = dos ? *dos : "C:\\";
}

std::optional<std::string> DosFs::DriveRoot(char drive) const {
  drive = UpperLetter(drive);
  for (const auto& [letter, folder] : drives_)
    if (letter == drive) return folder;
  return std::nullopt;
}

std::optional<std::string> DosFs::Resolve(const std::string& dosPath, bool* parentExists) const {
  auto path = ParseDosPath(dosPath, currentDir_);
  if (!path) return std::nullopt;
  auto host = DriveRoot(path->drive);
  if (!host) return std::nullopt;
  bool found = true;  // every component so far exists
  for (std::size_t i = 0; i < path->parts.size(); ++i) {
    if (parentExists && i + 1 == path->parts.size()) *parentExists = found;
    std::string name = Cp1252ToUtf8(path->parts[i]);
    if (found) {
      auto match = FindEntry(*host, name);
      if (match) name = *match;
      else found = false;
    }
    *host = JoinHost(*host, name);
  }
  if (parentExists && path->parts.empty()) *parentExists = true;
  return host;
}

std::optional<std::string> DosFs::ToHost(const std::string& dosPath) const {
  return Resolve(dosPath, nullptr);
}

std::optional<std::string> DosFs::ToDos(const std::string& hostPath) const {
  if (hostPath.empty()) return std::nullopt;
  std::error_code ec;
  std::string host = CleanHostFolder(std::filesystem::absolute(hostPath, ec).string());
  if (ec) return std::nullopt;
  const std::pair<char, std::string>* best = nullptr;
  for (const auto& drive : drives_) {
    const std::string& root = drive.second;
    bool under = root == "/" || host == root || host.rfind(root + '/', 0) == 0;
    if (under && (!best || root.size() > best->second.size())) best = &drive;
  }
  if (!best) return std::nullopt;
  std::string rest = best->second == "/" ? host.substr(1) : host.substr(best->second.size());
  if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
  if (rest.find('\\') != std::string::npos || !FitsCp1252(rest)) return std::nullopt;
  std::replace(rest.begin(), rest.end(), '/', '\\');
  return std::string{best->first, ':', '\\'} + Utf8ToCp1252(rest);
}

std::string DosFs::ProgramDir() const {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  auto dos = ToDos(exe.string());
  if (!dos) return "";
  return dos->substr(0, dos->rfind('\\'));  // "C:\APPS\PROG" gives C:\APPS, "C:\PROG" gives C:
}

bool DosFs::Exists(const std::string& dosPath) const {
  auto host = ToHost(dosPath);
  struct stat st {};
  return host && ::stat(host->c_str(), &st) == 0;
}

bool DosFs::FileExists(const std::string& dosPath) const {
  auto host = ToHost(dosPath);
  struct stat st {};
  return host && ::stat(host->c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DosFs::DirectoryExists(const std::string& dosPath) const {
  auto host = ToHost(dosPath);
  struct stat st {};
  return host && ::stat(host->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<DirEntry> DosFs::List(const std::string& dosPattern) const {
  std::size_t cut = dosPattern.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? "" : dosPattern.substr(0, cut + 1);
  std::string pattern = cut == std::string::npos ? dosPattern : dosPattern.substr(cut + 1);
  if (cut == std::string::npos && dosPattern.size() >= 2 && dosPattern[1] == ':') {
    folder = dosPattern.substr(0, 2);  // "C:*.RME": the drive's current folder
    pattern = dosPattern.substr(2);
  }
  std::vector<DirEntry> entries;
  auto host = ToHost(folder.empty() ? "." : folder);
  if (pattern.empty() || !host) return entries;
  DIR* dir = ::opendir(host->c_str());
  if (!dir) return entries;
  while (const dirent* e = ::readdir(dir)) {
    std::string hostName = e->d_name;
    if (hostName == "." || hostName == "..") continue;
    std::string name = Utf8ToCp1252(hostName);
    if (!WildcardMatch(pattern, name)) continue;
    std::string full = JoinHost(*host, hostName);
    struct stat st {};
    if (::stat(full.c_str(), &st) != 0 && ::lstat(full.c_str(), &st) != 0) continue;  // gone
    entries.push_back(DirEntry{name, S_ISDIR(st.st_mode), static_cast<std::uint64_t>(st.st_size),
                               st.st_mtime});
  }
  ::closedir(dir);
  auto key = [](const std::string& s) {
    std::string k = s;
    for (char& c : k) c = Cp1252Upper(c);
    return k;
  };
  std::sort(entries.begin(), entries.end(), [&](const DirEntry& a, const DirEntry& b) {
    std::string ka = key(a.name), kb = key(b.name);
    return ka != kb ? ka < kb : a.name < b.name;
  });
  return entries;
}

bool DosFs::WildcardMatch(const std::string& pattern, const std::string& name) {
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos &&
      WildcardMatch(pattern.substr(0, pattern.size() - 2), name))
    return true;
  std::size_t p = 0, n = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || Cp1252Upper(pattern[p]) == Cp1252Upper(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string DosFs::CurrentDirectory() const { return currentDir_; }

bool DosFs::SetCurrentDirectory(const std::string& dosPath) {
  auto path = ParseDosPath(dosPath, currentDir_);
  if (!path || !DirectoryExists(path->ToString())) return false;
  currentDir_ = path->ToString();
  return true;
}

std::vector<char> DosFs::Drives() const {
  std::vector<char> letters;
  for (const auto& d : drives_) letters.push_back(d.first);
  return letters;
}

bool DosFs::DriveReady(char drive) const {
  auto root = DriveRoot(drive);
  struct stat st {};
  return root && ::stat(root->c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(root->c_str(), R_OK | X_OK) == 0;
}

std::optional<std::uint64_t> DosFs::DriveSize(char drive) const {
  auto root = DriveRoot(drive);
  struct statvfs vfs {};
  if (!root || ::statvfs(root->c_str(), &vfs) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(vfs.f_blocks) * vfs.f_frsize;
}

std::optional<std::uint64_t> DosFs::DriveFree(char drive) const {
  auto root = DriveRoot(drive);
  struct statvfs vfs {};
  if (!root || ::statvfs(root->c_str(), &vfs) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
}

}  // namespace upfold
