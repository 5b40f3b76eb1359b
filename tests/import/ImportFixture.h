#pragma once
// A host office in a temporary folder for the import run: drive C: mapped into it, the
// templates in C:\MFW, empty master files, host batch Trin01.s / Desc01.s in C:\MFW\DATA, and
// remote batches in C:\REMOTE. Records are written and read back through the table class.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/AppContext.h"
#include "app/RunValues.h"
#include "data/Table.h"
#include "import/ImportRun.h"
#include "import/RunData.h"
#include "import/RunJournal.h"
#include "import/RunView.h"
#include "platform/Clock.h"
#include "platform/DosFs.h"
#include "platform/Registry.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace upfold::test {

using Fields = std::vector<std::pair<std::string, std::string>>;
using Record = std::map<std::string, std::string>;

inline constexpr const char* kData = "C:\\MFW\\DATA";
inline constexpr const char* kPgm = "C:\\MFW";
inline constexpr const char* kRemote = "C:\\REMOTE";

// Table components of their own, opened the way the table set opens them.
class TestRunData : public RunData {
 public:
  TestRunData(DosFs& fs, Ui& ui);
  RunTables& Tables() override { return tables_; }
  bool OpenTable(Table& table, const std::string& dir, const std::string& indexName,
                 const std::string& fileName) override;
  void SetProcessName(const std::string& name) override { processName = name; }
  bool WriteToRegistry(const std::string& remoteFile, const std::string& rejectFile,
                       const std::string& numInFile, const std::string& numProcessed,
                       const std::string& numReject) override {
    progress = {remoteFile, rejectFile, numInFile, numProcessed, numReject};
    return true;
  }

  std::string processName;
  std::vector<std::string> progress;
  std::vector<std::string> refuse;  // file names OpenTable reports as unopenable

 private:
  DosFs& fs_;
  Ui& ui_;
  std::vector<std::unique_ptr<Table>> owned_;
  RunTables tables_;
};

// Keeps every call; BatchStarting answers with `resume` for the batch it names.
class RecordingJournal : public RunJournal {
 public:
  void RunStarted(const std::vector<std::string>& files) override { started = files; }
  std::optional<BatchResume> BatchStarting(const std::string& file) override {
    if (resume && resume->mark.remoteFile == file) return resume;
    return std::nullopt;
  }
  void RecordDone(const RecordMark& mark) override { marks.push_back(mark); }
  void BatchFinished(const std::string& file, bool renamed) override {
    finished.emplace_back(file, renamed);
  }
  void RunFinished(bool errors) override { runErrors = errors; }

  std::vector<std::string> started;
  std::optional<BatchResume> resume;
  std::vector<RecordMark> marks;
  std::vector<std::pair<std::string, bool>> finished;
  std::optional<bool> runErrors;
};

class RecordingView : public RunView {
 public:
  void SetFileRowCount(int rows) override { rowCount = rows; }
  void SetFileCell(int col, int row, const std::string& text) override { cells[{col, row}] = text; }
  void Repaint() override { ++repaints; }
  void ShowOK() override { okShown = true; }
  void AddPhaseWarning(const std::array<std::string, 5>& row) override { phaseRows.push_back(row); }
  void AddCaseWarning(const std::array<std::string, 4>& row) override { caseRows.push_back(row); }
  std::string Cell(int col, int row) const {
    auto it = cells.find({col, row});
    return it == cells.end() ? std::string() : it->second;
  }

  int rowCount = 0;
  std::map<std::pair<int, int>, std::string> cells;
  int repaints = 0;
  bool okShown = false;
  std::vector<std::array<std::string, 5>> phaseRows;
  std::vector<std::array<std::string, 4>> caseRows;
};

class ImportFixture : public ::testing::Test {
 protected:
  ImportFixture();

  // Data files by DOS path. Packed fields take numbers written as text.
  void Create(const std::string& dosPath, const std::string& layout);
  void Add(const std::string& dosPath, const std::string& layout, const Fields& fields);
  std::vector<Record> Read(const std::string& dosPath, const std::string& layout,
                           const std::string& index = "0");
  std::string HostPath(const std::string& dosPath) const;
  bool Exists(const std::string& dosPath) const { return fs->Exists(dosPath); }

  // Master data shorthands.
  void AddCase(const std::string& client, const std::string& caseSuffix, const Fields& more = {});
  void AddEmployee(const std::string& code, const std::string& dept, const std::string& cls,
                   const std::string& unassigned = "");
  void AddGroup(const std::string& trType, const std::string& code);
  void AddGroupRate(const std::string& kind, const std::string& code, const std::string& flag,
                    const std::string& group, double rate, const std::string& fixedSwitch = "");
  void AddEmpRate(const std::string& emp, const std::string& rateCode, double rate);
  void SetSysop(const std::string& f, const std::string& c, const std::string& t,
                const std::string& p);

  // A remote transaction of batch `batch` (a file name in C:\REMOTE) with its description
  // lines; fields not given take the defaults of a fee (ClientCode ACME, case 1, DBE, 1 hour,
  // group CT, dated 461201, "+++" marker), and the sequence number counts up per batch.
  void AddRemote(const std::string& batch, const Fields& fields,
                 const std::vector<std::string>& descriptions = {});
  std::string RemotePath(const std::string& batch) const { return std::string(kRemote) + "\\" + batch; }

  // A run over the batches (file names in C:\REMOTE, or whole DOS paths).
  std::unique_ptr<ImportRun> MakeRun(const std::vector<std::string>& batches);
  // A run positioned on the first record of one batch, master files open, for driving the
  // checks and rates one by one.
  std::unique_ptr<ImportRun> RunOnFirstRecord(const std::string& batch);

  std::vector<Record> HostBatch() { return Read(std::string(kData) + "\\Trin01.s", "Batch"); }
  std::vector<Record> HostDesc() { return Read(std::string(kData) + "\\Desc01.s", "TrDesc"); }

  TempDir dir;
  Registry registry{dir / "registry.reg"};
  std::unique_ptr<DosFs> fs;
  FakeClock clock;
  ScriptedUi ui;
  RunValues values;
  std::unique_ptr<AppContext> ctx;
  std::unique_ptr<TestRunData> data;
  RecordingView view;
  RecordingJournal journal;
  std::map<std::string, int> nextSeq_;
};

}  // namespace upfold::test
