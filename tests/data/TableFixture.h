#pragma once
// Data files for the table tests: a host installation (print/HostFixture.h) whose files are
// made with the layouts' keys and filled straight through the record manager.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "data/KeyCatalogue.h"
#include "data/Layout.h"
#include "data/RecordField.h"
#include "print/HostFixture.h"
#include "recman/DataFile.h"

namespace upfold::test {

// A record of a layout, built field by field.
class Rec {
 public:
  explicit Rec(std::string_view layout)
      : layout_(*FindLayout(layout)), bytes_(EmptyRecord(layout_)) {}
  Rec& Text(std::string_view field, std::string_view value) {
    EXPECT_TRUE(WriteFieldText(bytes_, Field(field), value)) << field;
    return *this;
  }
  Rec& Number(std::string_view field, double value) {
    EXPECT_TRUE(WriteFieldNumber(bytes_, Field(field), value)) << field;
    return *this;
  }
  Rec& Date(std::string_view field, const CivilDate& value) {
    EXPECT_TRUE(WriteFieldDate(bytes_, Field(field), value)) << field;
    return *this;
  }
  Rec& Raw(std::string_view field, std::string_view bytes) {
    bytes_.replace(Field(field).offset, bytes.size(), bytes);
    return *this;
  }
  operator std::string() const { return bytes_; }

 private:
  const FieldDef& Field(std::string_view name) const { return *layout_.Field(name); }
  const Layout& layout_;
  std::string bytes_;
};

class TableFixture : public HostFixture {
 protected:
  // Creates C:\MFW\DATA\<name> with the layout's record length and keys and inserts the
  // records in order; returns its DOS path.
  std::string MakeFile(const std::string& name, std::string_view layout,
                       const std::vector<std::string>& records = {}) {
    const std::string host = dir / ("c/MFW/DATA/" + name);
    EXPECT_EQ(DataFile::Create(host, *FileSpecFor(layout)), RmStatus::Success) << name;
    DataFile file;
    EXPECT_EQ(file.Open(host), RmStatus::Success) << name;
    for (std::string record : records) EXPECT_EQ(file.Insert(record), RmStatus::Success) << name;
    return "C:\\MFW\\DATA\\" + name;
  }
  // The records of a data file in key 0 order, read straight through the record manager.
  std::vector<std::string> Stored(const std::string& name) {
    DataFile file;
    EXPECT_EQ(file.Open(dir / ("c/MFW/DATA/" + name)), RmStatus::Success) << name;
    std::vector<std::string> records;
    std::string key;
    std::string record;
    for (RmStatus st = file.GetFirst(0, key, record); st == RmStatus::Success;
         st = file.GetNext(0, key, record))
      records.push_back(record);
    return records;
  }
};

}  // namespace upfold::test
