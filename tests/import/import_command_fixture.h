#pragma once
// A host installation for the import command's tests: drive C: in a temporary folder with
// the program folder C:\MFW\PGM (the four templates), the data directory C:\MFW\DATA and a
// remote folder C:\REMOTE; the host key in the test's own registry; workstation 01 on
// 20 March 2005; the table set over all of it.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/AppContext.h"
#include "app/HostRegistry.h"
#include "app/MainView.h"
#include "data/FixedText.h"
#include "data/KeyCatalogue.h"
#include "data/TableFixture.h"
#include "data/VantroDM.h"
#include "platform/Clock.h"
#include "recman/DataFile.h"

namespace upfold::test::command {

inline const std::string kContact = "\r\rPlease contact Verrin, Inc. for assistance.";

// The main window's import box and button.
class FakeMainView final : public MainView {
 public:
  void SetConflictsEnabled(bool) override {}
  void SetDeleteBackupsEnabled(bool) override {}
  void SetKvxInterruptChecked(bool) override {}
  void SetImportEnabled(bool enabled) override { importEnabled = enabled; }
  bool ProcessBoxVisible() const override { return boxVisible; }
  void SetProcessBoxVisible(bool visible) override { boxVisible = visible; }
  std::vector<std::string> ProcessListLines() const override { return lines; }
  void SetProcessListLines(const std::vector<std::string>& l) override { lines = l; }
  int ProcessListCurrentRow() const override { return currentRow; }
  void ShowProgressLine(const std::string&) override {}
  void HideProgressLine() override {}

  bool importEnabled = true;
  bool boxVisible = false;
  std::vector<std::string> lines;
  int currentRow = -1;
};

class CommandFixture : public HostFixture {
 public:
  CommandFixture() {
    MakeFolder("MFW/PGM");
    MakeFolder("REMOTE");
    registry.CreateKey(Hive::LocalMachine, kHostKey);
    values.WSID = "01";
    values.DataPath = "C:\\MFW\\DATA";
    values.PgmDir = "C:\\MFW\\PGM";
    values.SystemDate = {2005, 3, 20};
    values.SystemFileDate = "250320";
    for (auto [name, layout] : {std::pair{"Trin.clo", "Batch"},
                                {"Desc.clo", "TrDesc"},
                                {"RemTrin.clo", "RemBatch"},
                                {"Remdesc.clo", "RemBatchD"}})
      Make(std::string("MFW/PGM/") + name, layout);
  }

  // Creates a data file under drive C ("REMOTE/TRINAB.RME") with the layout's keys and the
  // records; returns its DOS path.
  std::string Make(const std::string& underC, std::string_view layout,
                   const std::vector<std::string>& records = {}) {
    const std::string host = dir / ("c/" + underC);
    EXPECT_EQ(DataFile::Create(host, *FileSpecFor(layout)), RmStatus::Success) << underC;
    DataFile file;
    EXPECT_EQ(file.Open(host), RmStatus::Success) << underC;
    for (std::string record : records) EXPECT_EQ(file.Insert(record), RmStatus::Success);
    std::string dos = "C:\\" + underC;
    for (char& c : dos)
      if (c == '/') c = '\\';
    return dos;
  }
  // The host path of a file under drive C.
  std::string HostPath(const std::string& underC) const { return dir / ("c/" + underC); }
  // The records of a data file under drive C in key 0 order.
  std::vector<std::string> Stored(const std::string& underC) {
    DataFile file;
    EXPECT_EQ(file.Open(dir / ("c/" + underC)), RmStatus::Success) << underC;
    std::vector<std::string> records;
    std::string key, record;
    for (RmStatus st = file.GetFirst(0, key, record); st == RmStatus::Success;
         st = file.GetNext(0, key, record))
      records.push_back(record);
    return records;
  }

  // A remote transaction of a valid batch dated `date` ("YYMMDD").
  static std::string Remote(const std::string& date, const std::string& marker = "+++",
                            const std::string& client = "ACME") {
    return Rec("RemBatch")
        .Text("ClientCode", client)
        .Text("CaseSuffix", "      1")
        .Text("Type", "F")
        .Text("StringTransDate", date)
        .Text("Unassigned2", marker);
  }
  // A remote batch with its description file in C:\REMOTE; returns the batch's DOS path.
  std::string RemoteBatch(const std::string& name, const std::vector<std::string>& dates,
                          bool withDesc = true) {
    std::vector<std::string> records;
    for (const std::string& d : dates) records.push_back(Remote(d));
    const std::string path = Make("REMOTE/" + name, "RemBatch", records);
    if (withDesc) {
      std::string desc = name;
      desc.replace(0, 4, "DESC");
      Make("REMOTE/" + desc, "RemBatchD");
    }
    return path;
  }
  // A host transaction for the host batch.
  static std::string HostRecord(const std::string& client) {
    return Rec("Batch").Text("Client", client).Text("Case", "      1").Text("Trtype", "F");
  }
  static std::string Header(const std::string& name, const std::string& date) {
    return Rec("TrDesc")
        .Text("SequenceNumber", "XXXXXXXX")
        .Text("SequenceSuffix", "X")
        .Text("Description", LeftFit(name, 40) + date + "N ");
  }

  std::string HostValue(const std::string& name) {
    return registry.ReadString(Hive::LocalMachine, kHostKey, name).value_or("<missing>");
  }
  void SetHostValue(const std::string& name, const std::string& value) {
    registry.WriteString(Hive::LocalMachine, kHostKey, name, value);
  }

  FakeClock clock;
  RunValues values;
  AppContext ctx{registry, *fs, clock, ui, values, {}};
  VantroDM dm{ctx};
};

}  // namespace upfold::test::command
