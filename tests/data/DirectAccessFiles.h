#pragma once
// Data files for the direct access tests, and their abort messages: drive C: is a temporary folder
// of the test's own (so DOS paths read C:\MFW\DATA\...), and files are made through the record
// manager with the layout's record length and keys.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/AbortError.h"
#include "data/FixedText.h"
#include "data/KeyCatalogue.h"
#include "data/Layout.h"
#include "data/RecordField.h"
#include "platform/DosFs.h"
#include "platform/Registry.h"
#include "recman/DataFile.h"
#include "support/TempDir.h"

namespace upfold::test {

class DirectAccessFiles {
 public:
  static constexpr const char* kData = "C:\\MFW\\DATA";

  DirectAccessFiles() {
    std::filesystem::create_directories(dir_ / "c/MFW/DATA");
    registry_.WriteString(Hive::LocalMachine,
                          "\\System\\CurrentControlSet\\Control\\Session Manager\\DOS Devices",
                          "C:", dir_ / "c");
    fs_ = std::make_unique<DosFs>(&registry_);
  }

  DosFs& Fs() { return *fs_; }
  // Host path of a file of the data folder.
  std::string Host(const std::string& name) const { return dir_ / ("c/MFW/DATA/" + name); }
  static std::string Dos(const std::string& name) { return std::string(kData) + "\\" + name; }

  // A data file of the layout in the data folder, holding `records`; returns its DOS path.
  std::string Create(const std::string& name, std::string_view layout,
                     std::vector<std::string> records = {}) {
    const std::string path = Host(name);
    EXPECT_EQ(DataFile::Create(path, *FileSpecFor(layout)), RmStatus::Success) << name;
    DataFile file;
    EXPECT_EQ(file.Open(path), RmStatus::Success) << name;
    for (std::string& record : records) EXPECT_EQ(file.Insert(record), RmStatus::Success);
    return Dos(name);
  }

 private:
  TempDir dir_;
  Registry registry_{dir_ / "registry.reg"};
  std::unique_ptr<DosFs> fs_;
};

// The message of the AbortError that `operation` raises; "(no error)" when it raises none.
inline std::string AbortMessage(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const AbortError& e) {
    return e.what();
  }
  return "(no error)";
}

// A record of the layout with the given text fields set; the rest empty.
inline std::string Record(std::string_view layoutName,
                          std::vector<std::pair<std::string_view, std::string>> texts,
                          std::vector<std::pair<std::string_view, double>> numbers = {}) {
  const Layout& layout = *FindLayout(layoutName);
  std::string record = EmptyRecord(layout);
  for (const auto& [field, text] : texts)
    EXPECT_TRUE(WriteFieldText(record, *layout.Field(field), text)) << field;
  for (const auto& [field, number] : numbers)
    EXPECT_TRUE(WriteFieldNumber(record, *layout.Field(field), number)) << field;
  return record;
}

// A case of YCase.lf; key 1 is client (left-justified) and case suffix (right-justified).
inline std::string CaseRecord(const std::string& client, const std::string& caseSuffix) {
  return Record("YCase", {{"Client Code", client}, {"Case Suffix", RightJust(caseSuffix, 7)}});
}
inline std::string CaseKey(const std::string& client, const std::string& caseSuffix) {
  return LeftJust(client, 7) + RightJust(caseSuffix, 7);
}

}  // namespace upfold::test
