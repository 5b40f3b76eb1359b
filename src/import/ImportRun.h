#pragma once
// The import run: every selected remote batch, record by record, is checked against the
// host's master files, given its rate and amounts, and either posted to the host batch
// Trin<ws>.s (with its description lines and any fee-split receptors) or written with its
// reject mask to the batch's reject file; a batch processed without error is renamed so it
// cannot be imported twice. The results go to a RunView; progress goes to a RunJournal.
//
// Durability. Within a batch's records the writes to the host batch, its description file and
// the reject pair are committed in groups (every kGroupRecords records, at every repaint, at the
// end of the batch, before a new reject file, before any message or question and at the end
// of the run); the journal hears of a record only once the group holding it has been
// committed, so its last mark never names anything that a kill could still undo. The reads of
// the remote batch and the master files are held in stretches that end with each group, so a
// record costs no locking of its own and no other program waits on the run for long.
//
// Errors. Every failure is shown where it happens. A failure of a batch (a posting, reject or
// description file, the first record, the renaming) ends that batch's records and keeps it
// from being renamed; the run goes on with the next batch. A failure of what every batch needs
// (a master file, the host batch, a template, a remote file that cannot be opened, an
// unreadable case or employee file) ends the run. ErrorsOccurred is cleared when a run starts.
//
// The operations are split by idea over several files: RecordChecks.cpp (GetCaseInfo, CkType,
// CkGroup, FindGrpInTB, CkEmp, EmpErr, CkDate), Rates.cpp (CalcTheRate, RoundToTenth and the
// amounts), Posting.cpp (WriteTrin), RejectFiles.cpp (WriteToRejectFile, GetNewFileName,
// FindOldestRejectFileAndReuse), Renaming.cpp (RenameRemoteFiles), ImportRun.cpp (the run).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "import/BudgetWarnings.h"
#include "import/RunJournal.h"
#include "import/WorkingValues.h"

namespace upfold {

class DirectAccess;
class RunData;
class RunView;
class Table;
struct RunTables;

class ImportRun {
 public:
  // Repaints are coalesced to one per this many milliseconds (and one per batch).
  static constexpr std::uint64_t kRepaintIntervalMs = 100;
  // The writes of at most this many records are committed together.
  static constexpr std::uint64_t kGroupRecords = 200;
  // A transaction's description lines carry the suffixes of this alphabet, one line each.
  static constexpr const char* kSuffixes = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

  // remoteFiles: whole DOS paths of the remote batches, in order (blanks are part of a path).
  // selectedBatchRecordCount: the record count the selection found last, for the progress
  // values. Everything given must outlive the run.
  ImportRun(AppContext& ctx, RunData& data, RunView& view, RunJournal& journal,
            std::vector<std::string> remoteFiles, std::uint64_t selectedBatchRecordCount);
  ~ImportRun();
  ImportRun(const ImportRun&) = delete;
  ImportRun& operator=(const ImportRun&) = delete;

  // "Y" or "N" (host value CreateZeroReceptors); anything else counts as "Y".
  void SetCreateZeroReceptors(const std::string& value);
  // The reject report, printed after the run when it wrote rejects; false when it failed.
  void SetRejectReport(std::function<bool()> report) { rejectReport_ = std::move(report); }

  // The whole import once: RunVantro, then the post-run steps. Later calls do nothing, so a
  // window may call it on every activation.
  void Activate();
  // The run over every batch; false when it ended early.
  bool RunVantro();
  // After the run: the errors warning, the progress values, OK, the budget warnings and the
  // reject report.
  void PostRun();

  // Run state.
  bool ErrorsOccurred() const { return errorsOccurred_; }
  std::uint64_t RecsProcessed() const { return recsProcessed_; }
  std::uint64_t FileRejects() const { return fileRejects_; }
  std::uint64_t RunRejects() const { return runRejects_; }
  std::uint64_t NextSeq() const { return nextSeq_; }
  const std::string& RejectFileName() const { return rejectFileName_; }
  const std::string& RejectDescName() const { return rejectDescName_; }
  const std::string& RenamedFileName() const { return renamedFileName_; }
  const std::string& RenamedDescName() const { return renamedDescName_; }
  BudgetWarnings& Budgets() { return *budgets_; }

  // The current record, for the operations below and for tests that drive them one by one.
  WorkingValues& Working() { return wv_; }
  void BlankIt() { wv_ = WorkingValues{}; }
  // Sets up a run's state without reading any batch: the master tables must be open. Used
  // by the run itself and by tests that call single operations.
  void PrepareBatch(const std::string& remotePath);
  // Opens the host batch, its description file and the master files, and checks the reject
  // templates; false after a message.
  bool OpenMasterFiles();
  void SetGroupSwitches(std::string f, std::string c, std::string t, std::string p);
  void SetNextSeq(std::uint64_t next) { nextSeq_ = next; }

  // Reads the current remote record (RemoteTB) and its description lines into the working
  // values; false after a message when the description file cannot be positioned.
  bool ReadRecord();
  // The checks, in the order the run makes them; false when a master file cannot be read.
  bool CheckRecord();

  // Checks. Each adds its bits to the working values' reject mask.
  bool GetCaseInfo(const std::string& clientCase);
  void CkType();
  void CkGroup(const std::string& group);
  int FindGrpInTB(const std::string& group, const std::string& grpCheckCode);
  bool CkEmp(const std::string& employeeCode);
  void EmpErr();
  std::string CkDate(const std::string& fileDate);

  // Rates and amounts. CalcTheRate is false when the receptor's case could not be read.
  bool CalcTheRate(const std::string& employee, const std::string& group, const std::string& dept,
                   const std::string& empClass, const std::string& receptorClient,
                   const std::string& receptorCase);
  bool RoundToTenth();
  // The amounts of a record that passed every check; false when the run must leave the
  // batch's record loop before writing the record.
  bool CalcAmounts();

  // Writing.
  void WriteTrin();
  void WriteToRejectFile();
  std::string GetNewFileName(const std::string& kind, const std::string& source);
  std::string FindOldestRejectFileAndReuse(const std::string& stem);
  void RenameRemoteFiles();

 private:
  class CommittingUi;
  enum class Scope { Batch, Run };
  void Fail(Scope scope);
  bool ProcessBatch(std::size_t index);
  void ProcessRecords(std::size_t index);
  void RepaintSoon(bool force);
  void ReportRecordDone();
  // Commits the open write group and then hands the journal its last mark; false (after a
  // message, with the batch failed and the group's writes dropped) when a commit failed.
  bool CommitGroup();
  // The tables the records are read from, whose reads are held while a batch is processed.
  std::vector<Table*> ReadTables();
  void HoldReads(bool on);
  // Makes a table's writes part of the open group; false after a message.
  bool JoinGroup(Table& table, const std::string& name);
  // Appends, fills and posts one record; false after the message naming `name`.
  bool AppendRecord(Table& table, const std::string& name, const std::function<void(Table&)>& fill,
                    std::uint64_t* high);
  bool WriteDescriptionLines(Table& table, const std::string& name, const std::string& seq,
                             bool rejectSuffixes, std::uint64_t* high);
  void SplitFee(const std::string& seq);
  std::string CaseFileError(const std::string& file, const std::string& error) const;
  RunTables& T();
  static void CloseAndForgetTable(Table& table);

  // The person as the run sees them: every message, question and repaint first commits the
  // open write group, so nothing stays locked while the run waits.
  std::unique_ptr<CommittingUi> ui_;
  AppContext ctx_;  // the caller's, speaking through ui_
  RunData& data_;
  RunView& view_;
  RunJournal& journal_;
  std::vector<std::string> remoteFiles_;
  std::uint64_t selectedBatchRecordCount_;
  std::function<bool()> rejectReport_;
  std::unique_ptr<DirectAccess> access_;
  std::unique_ptr<BudgetWarnings> budgets_;

  bool activated_ = false;
  bool errorsOccurred_ = false;
  bool batchFailed_ = false;
  bool runEnded_ = false;
  std::string createZeroReceptors_ = "Y";
  std::string valFGrp_, valCGrp_, valTrGrp_, valPGrp_;
  std::uint64_t recsProcessed_ = 0;
  std::uint64_t fileRejects_ = 0;
  std::uint64_t runRejects_ = 0;
  std::uint64_t nextSeq_ = 0;
  std::uint64_t lastRepaint_ = 0;
  bool painted_ = false;

  // Current batch.
  std::string remotePath_, remoteDir_, remoteFileName_, remoteDescName_;
  std::string rejectFileName_, rejectDescName_, renamedFileName_, renamedDescName_;
  bool rejectFileMade_ = false;
  bool reuseMessageShown_ = false;
  std::uint64_t recordsDone_ = 0;
  // Highest auto-increment values written, for the journal.
  std::uint64_t hostHigh_ = 0, hostDescHigh_ = 0, rejectHigh_ = 0, rejectDescHigh_ = 0;

  // Write group: on while the batch's records are processed; the mark of its last finished
  // record waits for the group's commit.
  bool grouping_ = false;
  bool committing_ = false;
  std::uint64_t groupRecords_ = 0;
  std::optional<RecordMark> pendingMark_;

  WorkingValues wv_;
};

}  // namespace upfold
