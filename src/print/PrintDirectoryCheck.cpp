#include "print/PrintDirectoryCheck.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/HostRegistry.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "platform/DosFs.h"
#include "platform/TextEncoding.h"

namespace upfold {

namespace {

// Trimmed, upper case, backslashes only and none at the end.
std::string Normalized(const std::string& directory) {
  std::string text;
  for (char c : Trim(directory)) text += c == '/' ? '\\' : Cp1252Upper(c);
  while (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return Cp1252Upper(x) < Cp1252Upper(y);
  });
}

}  // namespace

PrintDirectoryCheck::PrintDirectoryCheck(const Registry& registry, const DosFs& fs, Ui& ui)
    : registry_(registry), fs_(fs), ui_(ui) {}

bool PrintDirectoryCheck::IsPrintFilePathOK(const std::string& directory,
                                            const std::string& pgmDir) {
  if (SameDirectory(directory, pgmDir)) return NoPgmOrDataDir(pgmDir);
  if (!dataPaths_ && !BuildDataPathList()) return true;
  for (const std::string& dataPath : *dataPaths_) {
    if (SameDirectory(directory, dataPath)) return NoPgmOrDataDir(pgmDir);
  }
  return true;
}

// Every value "D_x" names a data set whose directory is the value "H_x".
bool PrintDirectoryCheck::BuildDataPathList() {
  std::optional<std::vector<std::string>> names = ListDataPathValueNames(registry_, ui_);
  if (!names) return false;
  std::sort(names->begin(), names->end(), LessIgnoringCase);
  std::vector<std::string> paths;
  for (const std::string& name : *names) {
    if (name.size() < 3 || (name[0] != 'D' && name[0] != 'd')) continue;
    std::string path = ReadDataPathValue(registry_, ui_, std::string("H_") + name[2]);
    if (!Normalized(path).empty()) paths.push_back(std::move(path));
  }
  dataPaths_ = std::move(paths);
  return true;
}

bool PrintDirectoryCheck::SameDirectory(const std::string& a, const std::string& b) const {
  const std::string left = Normalized(a);
  const std::string right = Normalized(b);
  if (left.empty() || right.empty()) return false;
  if (left == right) return true;
  // Two spellings of one folder: another drive mapped onto it, or a link.
  const auto hostA = fs_.ToHost(Trim(a));
  const auto hostB = fs_.ToHost(Trim(b));
  if (!hostA || !hostB) return false;
  std::error_code ec;
  return std::filesystem::equivalent(*hostA, *hostB, ec) && !ec;
}

bool PrintDirectoryCheck::NoPgmOrDataDir(const std::string& pgmDir) {
  ui_.Information("Please do NOT use the Marrowfield Program directory\r    " + pgmDir +
                  "\r\ror ANY Marrowfield Data directory for reports.\r\rPlease choose another "
                  "path.");
  return false;
}

}  // namespace upfold
