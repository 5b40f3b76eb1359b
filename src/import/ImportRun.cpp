#include "import/ImportRun.h"

#include <algorithm>

#include "app/AppContext.h"
#include "app/Ui.h"
#include "data/AbortError.h"
#include "data/DirectAccess.h"
#include "data/FixedText.h"
#include "data/Table.h"
#include "import/ImportText.h"
#include "import/RunData.h"
#include "import/RunJournal.h"
#include "import/RunView.h"
#include "platform/Clock.h"
#include "platform/DosFs.h"
#include "recman/DataFile.h"

namespace upfold {

namespace {

// Points a table at a file; an open table on another file is closed first.
void Name(Table& table, const std::string& tableName) {
  if (table.TableName() == tableName) return;
  table.Close();
  table.SetTableName(tableName);
}

}  // namespace

class ImportRun::CommittingUi : public Ui {
 public:
  CommittingUi(ImportRun& run, Ui& ui) : run_(run), ui_(ui) {}

  void Show(MessageKind kind, const std::string& text) override {
    run_.CommitGroup();
    ui_.Show(kind, text);
  }
  Answer Ask(MessageKind kind, const std::string& text, Buttons buttons) override {
    run_.CommitGroup();
    return ui_.Ask(kind, text, buttons);
  }
  void HourglassCursor() override { ui_.HourglassCursor(); }
  void ArrowCursor() override { ui_.ArrowCursor(); }
  std::vector<std::string> OpenFiles(const OpenFilesRequest& request) override {
    run_.CommitGroup();
    return ui_.OpenFiles(request);
  }
  void ProcessMessages() override {
    run_.CommitGroup();
    ui_.ProcessMessages();
  }

 private:
  ImportRun& run_;
  Ui& ui_;
};

void ImportRun::CloseAndForgetTable(Table& table) {
  table.Close();
  table.SetIndexName("");
  table.SetTableName("");
}

ImportRun::ImportRun(AppContext& ctx, RunData& data, RunView& view, RunJournal& journal,
                     std::vector<std::string> remoteFiles, std::uint64_t selectedBatchRecordCount)
    : ui_(std::make_unique<CommittingUi>(*this, ctx.ui)),
      ctx_{ctx.registry, ctx.fs, ctx.clock, *ui_, ctx.values, ctx.formats},
      data_(data),
      view_(view),
      journal_(journal),
      remoteFiles_(std::move(remoteFiles)),
      selectedBatchRecordCount_(selectedBatchRecordCount),
      access_(std::make_unique<DirectAccess>(ctx.fs, ctx.clock, *ui_, ctx.formats)) {
  access_->SetDataPath(ctx.values.DataPath);
  budgets_ = std::make_unique<BudgetWarnings>(
      *access_, *ui_, ctx.values.DataPath,
      ctx.values.DataPath + "\\Trin" + ctx.values.WSID + ".s");
}

ImportRun::~ImportRun() {
  // As the results window closes: every table of the run is closed.
  RunTables& t = T();
  for (Table* table : {&t.RemoteTB, &t.RemoteDescTB, &t.TrinScratchTB, &t.DescScratchTB,
                       &t.RejectFileTB, &t.RejectDescFileTB, &t.SysopTB, &t.CaseTB, &t.EmpTB,
                       &t.EmpRateTB, &t.FeeSplitTB, &t.SimpleTB, &t.Tsc2TB, &t.GroupRateTB})
    table->Close();
  t.RejectFileTB.SetIndexName("");
  t.RejectDescFileTB.SetIndexName("");
  budgets_->Release();
  access_->ReleaseAllFiles();
}

RunTables& ImportRun::T() { return data_.Tables(); }

void ImportRun::SetCreateZeroReceptors(const std::string& value) {
  createZeroReceptors_ = Trim(value) == "N" || Trim(value) == "n" ? "N" : "Y";
}

void ImportRun::SetGroupSwitches(std::string f, std::string c, std::string t, std::string p) {
  valFGrp_ = std::move(f);
  valCGrp_ = std::move(c);
  valTrGrp_ = std::move(t);
  valPGrp_ = std::move(p);
}

void ImportRun::Fail(Scope scope) {
  errorsOccurred_ = true;
  batchFailed_ = true;
  if (scope == Scope::Run) runEnded_ = true;
}

void ImportRun::Activate() {
  if (activated_) return;
  activated_ = true;
  RunVantro();
  PostRun();
}

bool ImportRun::OpenMasterFiles() {
  const RunValues& v = ctx_.values;
  const std::string& dir = v.DataPath;
  struct Master {
    Table& table;
    std::string file;
    const char* layout;
    const char* index;
  };
  const Master masters[] = {
      {T().TrinScratchTB, "Trin" + v.WSID + ".s", "Batch", "1"},
      {T().DescScratchTB, "Desc" + v.WSID + ".s", "TrDesc", "1"},
      {T().CaseTB, "YCase.lf", "YCase", "1"},
      {T().EmpTB, "yempl.lf", "EMP", "1"},
      {T().EmpRateTB, "Yemrt.lf", "EMPRATES", "1"},
      {T().FeeSplitTB, "Fsplit.lf", "FeeSplit", "1"},
      {T().GroupRateTB, "YGrate.lf", "Grates", "1"},
      {T().Tsc2TB, "Tsc.lc", "STCHAR2", "1"},
      {T().SimpleTB, "Ytable.lf", "SIMPLECD", "1"},
      {T().SysopTB, "sysop.lc", "Sysop1", "0"},
  };
  for (const Master& m : masters) {
    Name(m.table, dir + "\\" + m.file + ";RES:" + m.layout);
    if (!data_.OpenTable(m.table, dir, m.index, m.file)) {
      Fail(Scope::Run);
      return false;
    }
  }
  for (const char* tmpl : {"Remtrin.clo", "REMDESC.CLO"}) {
    if (!ctx_.fs.FileExists(v.PgmDir + "\\" + tmpl)) {
      const std::string shown = std::string(tmpl) == "Remtrin.clo" ? "Remtrin.clo" : "Remdesc.clo";
      ctx_.ui.Information("File " + v.PgmDir + "\\" + shown + " does not exist. " + kContactLine);
      Fail(Scope::Run);
      return false;
    }
  }
  return true;
}

bool ImportRun::RunVantro() {
  errorsOccurred_ = false;
  batchFailed_ = false;
  runEnded_ = false;
  recsProcessed_ = 0;
  fileRejects_ = 0;
  runRejects_ = 0;
  hostHigh_ = hostDescHigh_ = 0;
  budgets_->Release();
  access_->SetDataPath(ctx_.values.DataPath);
  std::string failure;
  if (!access_->RecordManagerLoaded() && !access_->LoadRecordManager(&failure)) {
    ctx_.ui.Information("Unable to start the record manager.\r\r" + failure + kContactLine);
    Fail(Scope::Run);
    return false;
  }
  data_.SetProcessName("Remote");
  data_.SetErrorsOccurred(false);
  journal_.RunStarted(remoteFiles_);

  if (OpenMasterFiles()) {
    try {
      nextSeq_ = T().TrinScratchTB.RecordCount();
      Table& sysop = T().SysopTB;
      SetGroupSwitches(sysop.AsString("ValFGrp"), sysop.AsString("ValCGrp"),
                       sysop.AsString("ValTrGrp"), sysop.AsString("ValPGrp"));
      sysop.Close();
    } catch (const TableError& e) {
      ctx_.ui.Information("Unable to read file " + ctx_.values.DataPath + "\\Sysop.lc.\r\r" +
                          e.what() + kContactLine);
      Fail(Scope::Run);
    }
  }
  if (!runEnded_) {
    view_.SetFileRowCount(static_cast<int>(remoteFiles_.size()) + 1);
    for (int col = 0; col < static_cast<int>(kFileSGHeadings.size()); ++col)
      view_.SetFileCell(col, 0, kFileSGHeadings[static_cast<std::size_t>(col)]);
    for (std::size_t i = 0; i < remoteFiles_.size(); ++i)
      view_.SetFileCell(0, static_cast<int>(i) + 1, remoteFiles_[i]);
    for (std::size_t i = 0; i < remoteFiles_.size() && !runEnded_; ++i) ProcessBatch(i);
  }
  CommitGroup();
  if (errorsOccurred_) data_.SetErrorsOccurred(true);
  journal_.RunFinished(errorsOccurred_);
  return !runEnded_;
}

void ImportRun::PrepareBatch(const std::string& remotePath) {
  remotePath_ = remotePath;
  const std::size_t slash = remotePath.find_last_of("\\/");
  remoteDir_ = slash == std::string::npos ? std::string() : remotePath.substr(0, slash);
  remoteFileName_ = slash == std::string::npos ? remotePath : remotePath.substr(slash + 1);
  remoteDescName_ = "Desc" + (remoteFileName_.size() > 4 ? remoteFileName_.substr(4, 6) : "");
  batchFailed_ = false;
  fileRejects_ = 0;
  recordsDone_ = 0;
  rejectFileName_.clear();
  rejectDescName_.clear();
  renamedFileName_.clear();
  renamedDescName_.clear();
  rejectFileMade_ = false;
  reuseMessageShown_ = false;
  rejectHigh_ = rejectDescHigh_ = 0;
  BlankIt();
}

bool ImportRun::ProcessBatch(std::size_t index) {
  const int row = static_cast<int>(index) + 1;
  for (Table* t : {&T().RemoteTB, &T().RemoteDescTB, &T().RejectFileTB, &T().RejectDescFileTB})
    CloseAndForgetTable(*t);
  PrepareBatch(remoteFiles_[index]);
  T().RemoteTB.SetTableName(remoteDir_ + "\\" + remoteFileName_ + ";RES:RemBatch");
  T().RemoteDescTB.SetTableName(remoteDir_ + "\\" + remoteDescName_ + ";RES:RemBatchD");
  if (!data_.OpenTable(T().RemoteTB, remoteDir_, "1", remoteFileName_)) {
    Fail(Scope::Run);
    return false;
  }
  const std::uint64_t count = T().RemoteTB.RecordCount();
  view_.SetFileCell(1, row, std::to_string(count));
  if (count == 0) {
    ctx_.ui.Information("There are no records in the remote file " + remoteFileName_);
    journal_.BatchFinished(remotePath_, false);
    RepaintSoon(true);
    return true;
  }
  if (!data_.OpenTable(T().RemoteDescTB, remoteDir_, "1", remoteDescName_)) {
    Fail(Scope::Run);
    return false;
  }

  bool atEnd = false;
  try {
    T().RemoteTB.First();
  } catch (const TableError& e) {
    // Nothing of the batch was read: its row keeps only the count.
    ctx_.ui.Information("Unable to read Remote file " + remoteFileName_ + "\r\r" + e.what() +
                        kContactLine);
    Fail(Scope::Batch);
    journal_.BatchFinished(remotePath_, false);
    RepaintSoon(true);
    return false;
  }
  {
    // An interrupted run already did part of this batch: go on after its last record, with
    // its reject file, counts and sequence numbers.
    if (const std::optional<BatchResume> resume = journal_.BatchStarting(remotePath_)) {
      const RecordMark& m = resume->mark;
      recordsDone_ = m.recordsDone;
      fileRejects_ = m.fileRejects;
      recsProcessed_ += m.recordsDone;
      runRejects_ += m.fileRejects;
      nextSeq_ = std::max(nextSeq_, m.nextSeq);
      hostHigh_ = std::max(hostHigh_, m.hostBatchHigh);
      hostDescHigh_ = std::max(hostDescHigh_, m.hostDescHigh);
      rejectHigh_ = m.rejectHigh;
      rejectDescHigh_ = m.rejectDescHigh;
      if (!m.rejectFile.empty()) {
        rejectFileName_ = m.rejectFile;
        rejectDescName_ = m.rejectDescFile;
        rejectFileMade_ = true;
        const std::string& dir = ctx_.values.DataPath;
        T().RejectFileTB.SetTableName(rejectFileName_ + ";RES:RemBatch");
        T().RejectDescFileTB.SetTableName(rejectDescName_ + ";RES:RemBatchD");
        if (!data_.OpenTable(T().RejectFileTB, dir, "1", FileNameOf(rejectFileName_)) ||
            !data_.OpenTable(T().RejectDescFileTB, dir, "1", FileNameOf(rejectDescName_)))
          Fail(Scope::Batch);
      }
      if (m.recordsDone > 0 && !batchFailed_) {
        try {
          const int wanted = static_cast<int>(m.recordsDone);
          atEnd = T().RemoteTB.MoveBy(wanted) < wanted || T().RemoteTB.Eof();
        } catch (const TableError& e) {
          ctx_.ui.Information("Unable to read Remote file " + remoteFileName_ + "\r\r" +
                              e.what() + kContactLine);
          Fail(Scope::Batch);
        }
      }
      view_.SetFileCell(2, row, std::to_string(fileRejects_));
    }
  }
  if (!batchFailed_ && !atEnd) ProcessRecords(index);
  if (!batchFailed_ && !runEnded_) RenameRemoteFiles();
  const bool renamed = !batchFailed_ && !renamedFileName_.empty();
  if (!batchFailed_ || fileRejects_ > 0) view_.SetFileCell(2, row, std::to_string(fileRejects_));
  view_.SetFileCell(4, row, renamedFileName_.empty() ? "Not renamed" : renamedFileName_);
  view_.SetFileCell(3, row, rejectFileName_.empty() ? "No Reject File" : rejectFileName_);
  journal_.BatchFinished(remotePath_, renamed);
  RepaintSoon(true);
  return !batchFailed_;
}

std::vector<Table*> ImportRun::ReadTables() {
  RunTables& t = T();
  return {&t.RemoteTB, &t.RemoteDescTB, &t.CaseTB,    &t.EmpTB,   &t.EmpRateTB,
          &t.FeeSplitTB, &t.GroupRateTB, &t.Tsc2TB, &t.SimpleTB};
}

void ImportRun::HoldReads(bool on) {
  for (Table* table : ReadTables())
    if (table->Active()) table->HoldReads(on);
  access_->HoldReads(on);  // the budget files noted for posted fees
}

void ImportRun::ProcessRecords(std::size_t index) {
  const int row = static_cast<int>(index) + 1;
  Table& remote = T().RemoteTB;
  grouping_ = true;
  HoldReads(true);
  // Whatever way the loop is left, no read stays held.
  struct ReadsLetGo {
    ImportRun& run;
    ~ReadsLetGo() { run.HoldReads(false); }
  } readsLetGo{*this};
  while (!remote.Eof()) {
    try {
      if (!ReadRecord()) break;
      if (!CheckRecord()) break;
      if (wv_.rejectMask == 0) {
        if (!CalcAmounts()) break;
        WriteTrin();
      } else {
        WriteToRejectFile();
      }
    } catch (const AbortError& e) {
      // A budget file read while noting a posted fee.
      ctx_.ui.Information(e.what());
      Fail(Scope::Batch);
    } catch (const TableError& e) {
      // Whatever was written for the record stays behind the journal's last mark.
      ctx_.ui.Information("Unable to import a transaction of the remote file " +
                          remoteFileName_ + "\r\r" + e.what() + kContactLine);
      Fail(Scope::Batch);
    }
    if (batchFailed_) break;
    ++recsProcessed_;
    ++recordsDone_;
    ReportRecordDone();
    try {
      remote.Next();
    } catch (const TableError& e) {
      ctx_.ui.Information("Unable to read Remote file " + remoteFileName_ + "\r\r" + e.what() +
                          kContactLine);
      Fail(Scope::Batch);
    }
    view_.SetFileCell(2, row, std::to_string(fileRejects_));
    BlankIt();
    if (batchFailed_) break;
    RepaintSoon(false);
  }
  // The batch's last group, before the batch is renamed or reported finished.
  CommitGroup();
  grouping_ = false;
  BlankIt();
}

void ImportRun::ReportRecordDone() {
  RecordMark mark;
  mark.remoteFile = remotePath_;
  mark.recordsDone = recordsDone_;
  mark.fileRejects = fileRejects_;
  mark.hostBatchHigh = hostHigh_;
  mark.hostDescHigh = hostDescHigh_;
  mark.rejectFile = rejectFileName_;
  mark.rejectDescFile = rejectDescName_;
  mark.rejectHigh = rejectHigh_;
  mark.rejectDescHigh = rejectDescHigh_;
  mark.nextSeq = nextSeq_;
  pendingMark_ = std::move(mark);
  if (++groupRecords_ >= kGroupRecords) CommitGroup();
}

bool ImportRun::CommitGroup() {
  if (committing_) return true;
  committing_ = true;
  RunTables& t = T();
  const std::pair<Table*, const std::string*> written[] = {
      {&t.TrinScratchTB, &remoteFileName_},
      {&t.DescScratchTB, &remoteDescName_},
      {&t.RejectFileTB, &rejectFileName_},
      {&t.RejectDescFileTB, &rejectDescName_},
  };
  std::string failure;
  for (const auto& [table, name] : written) {
    if (!table->InTransaction()) continue;
    if (!failure.empty()) {
      table->Rollback();  // the group failed; its writes lie above the journal's last mark
      continue;
    }
    try {
      table->Commit();
    } catch (const TableError& e) {
      failure = "Unable to post to " + *name + "\r\r" + e.what() + kContactLine;
    }
  }
  groupRecords_ = 0;
  // Other programs may be waiting to write a master file: the held reads let go with the group.
  DataFile::EndEveryReadStretch();
  if (failure.empty() && pendingMark_) journal_.RecordDone(*pendingMark_);
  pendingMark_.reset();
  committing_ = false;
  if (failure.empty()) return true;
  ctx_.ui.Information(failure);
  Fail(Scope::Batch);
  return false;
}

bool ImportRun::JoinGroup(Table& table, const std::string& name) {
  if (!grouping_ || table.InTransaction()) return true;
  try {
    table.BeginTransaction();
    return true;
  } catch (const TableError& e) {
    ctx_.ui.Information("Unable to post to " + name + "\r\r" + e.what() + kContactLine);
    Fail(Scope::Batch);
    return false;
  }
}

void ImportRun::RepaintSoon(bool force) {
  const std::uint64_t now = ctx_.clock.TickCount();
  if (!force && painted_ && now - lastRepaint_ < kRepaintIntervalMs) return;
  painted_ = true;
  lastRepaint_ = now;
  CommitGroup();
  view_.Repaint();
  ctx_.ui.ProcessMessages();
}

void ImportRun::PostRun() {
  if (errorsOccurred_) ctx_.ui.Information("Warning!\r\rVantro is done - there have been errors.");
  data_.WriteToRegistry(remoteDir_ + "\\" + remoteFileName_, rejectFileName_,
                        std::to_string(selectedBatchRecordCount_), std::to_string(recsProcessed_),
                        std::to_string(runRejects_));
  view_.ShowOK();
  view_.Repaint();
  budgets_->Fill(view_);
  if (runRejects_ > 0 && rejectReport_ && !rejectReport_())
    ctx_.ui.Information("There has been an error while printing the reject report.");
  budgets_->Release();
  access_->ReleaseAllFiles();
}

}  // namespace upfold
