#pragma once
// The run journal kept in a small data file of the record manager beside the host batch
// (<DataPath>\Upfold\Journal<ws>.jnl): one record per remote batch of the last runs and one
// for the run itself; the mark after every finished record goes into Journal<ws>.jnm there.
// Both survive a killed program, so the next import can tell that a batch was left part
// done, and continuing goes on exactly after the last record whose writes had all returned.
//
// Continuing (PrepareResume) first removes what the interrupted run wrote after its last
// mark: host batch and description records above the marks, and the reject records above
// the marks of each batch's reject file. The host files are only touched when they are the
// files the run wrote to; a host batch merged and made anew in between is left alone.
//
// A journal that cannot be read or written is reported once and then kept out of the way:
// the import works as before, it only cannot be continued exactly.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "import/RunJournal.h"

namespace upfold {

struct AppContext;
class DataFile;
class MarkSlots;

// A remote batch that a run left with some of its records not done.
struct InterruptedBatch {
  std::string remoteFile;
  std::uint64_t recordsDone = 0;
  std::uint64_t recordCount = 0;  // records in the batch when the run started it
  std::string fileDate;           // working date of that run, "YYMMDD"
};

class RunJournalFile final : public RunJournal {
 public:
  // The journal of the workstation's host batch (DataPath, WSID of ctx.values at this time).
  // ctx must outlive this object.
  explicit RunJournalFile(AppContext& ctx);
  ~RunJournalFile() override;
  RunJournalFile(const RunJournalFile&) = delete;
  RunJournalFile& operator=(const RunJournalFile&) = delete;

  // Called at RunStarted, before the first record: the progress values are marked so that a
  // run that never ends reads as interrupted.
  void SetStartMarker(std::function<void(const std::vector<std::string>& remoteFiles)> marker) {
    startMarker_ = std::move(marker);
  }

  std::string Path() const { return path_; }

  // The first batch an earlier run left part done; nullopt when there is none.
  std::optional<InterruptedBatch> FindInterrupted();
  // The person chose to continue: what the interrupted run wrote after its last marks is
  // removed, and the next run goes on after the marks. False after a message when the files
  // could not be rolled back.
  bool PrepareResume();
  bool Resuming() const { return resuming_; }
  // The person chose not to continue: the unfinished record's writes are removed as above
  // and every batch is forgotten. False after a message when the files could not be rolled
  // back (the journal is kept then).
  bool StartAfresh();
  // Every batch is forgotten (the host batch was erased with what the run had posted).
  void Discard();

  // RunJournal
  void RunStarted(const std::vector<std::string>& remoteFiles) override;
  std::optional<BatchResume> BatchStarting(const std::string& remoteFile) override;
  void RecordDone(const RecordMark& mark) override;
  void BatchFinished(const std::string& remoteFile, bool renamed) override;
  void RunFinished(bool errorsOccurred) override;

 private:
  struct Entry;
  bool Open();
  void Failed(const std::string& what, int status);
  std::vector<Entry> ReadAll();
  bool Store(const Entry& entry);
  bool RollBackUnfinished();
  std::string RejectSlots(const std::string& remoteFile) const;
  bool RemoveNewRejectPairs(const Entry& entry);
  bool RollBack(const std::string& dosPath, std::uint64_t high, bool checkIdentity,
                const std::string& identity);
  std::uint64_t HighestAutoInc(const std::string& dosPath);
  std::optional<std::uint64_t> CountRecords(const std::string& dosPath);
  std::string Identity(const std::string& dosPath) const;

  AppContext& ctx_;
  std::string folder_;
  std::string path_;
  std::string trinPath_, descPath_;
  std::unique_ptr<DataFile> file_;
  std::unique_ptr<MarkSlots> slots_;  // the current batch's marks, see RunJournalFileSlots.h
  bool broken_ = false;
  bool resuming_ = false;
  std::string currentBatch_;  // the entry RecordDone rewrites
  std::unique_ptr<Entry> current_;
  std::function<void(const std::vector<std::string>&)> startMarker_;
};

}  // namespace upfold
