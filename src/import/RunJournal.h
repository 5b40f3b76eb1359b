#pragma once
// The import run's record of its own progress, kept so that a run that stops anywhere (an
// error, a closed window, a killed program) can be continued without posting or rejecting any
// remote transaction twice. The run reports each finished record; the journal keeps the marks
// durably and, when an interrupted run is continued, rolls back whatever was written after the
// last mark and tells the run where to go on.
//
// The run calls, in order: RunStarted; per batch BatchStarting, RecordDone after every record
// whose writes have all returned, BatchFinished; RunFinished. The default journal keeps
// nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace upfold {

// Where a batch stood after its last finished record. Counts are in the batch's reading order
// (key 1); the high-water marks are the highest auto-increment values written so far (0: none),
// so that anything above them can be removed again.
struct RecordMark {
  std::string remoteFile;         // DOS path of the remote batch
  std::uint64_t recordsDone = 0;  // records of this batch posted or rejected
  std::uint64_t fileRejects = 0;  // of those, rejected
  std::uint64_t hostBatchHigh = 0;  // Trin<ws>.s
  std::uint64_t hostDescHigh = 0;   // Desc<ws>.s
  std::string rejectFile;           // DOS path of the batch's reject file; empty when none yet
  std::string rejectDescFile;
  std::uint64_t rejectHigh = 0;
  std::uint64_t rejectDescHigh = 0;
  std::uint64_t nextSeq = 0;  // the sequence counter after the record
};

// How to go on with a batch that an interrupted run left partly processed.
struct BatchResume {
  RecordMark mark;  // skip mark.recordsDone records; keep using mark's reject files and counts
};

class RunJournal {
 public:
  virtual ~RunJournal() = default;

  virtual void RunStarted(const std::vector<std::string>& remoteFiles) { (void)remoteFiles; }
  // Before the batch's first record: the point to go on from when an interrupted run had
  // processed part of it (its later writes already rolled back); nullopt to start afresh.
  virtual std::optional<BatchResume> BatchStarting(const std::string& remoteFile) {
    (void)remoteFile;
    return std::nullopt;
  }
  virtual void RecordDone(const RecordMark& mark) { (void)mark; }
  virtual void BatchFinished(const std::string& remoteFile, bool renamed) {
    (void)remoteFile;
    (void)renamed;
  }
  virtual void RunFinished(bool errorsOccurred) { (void)errorsOccurred; }
};

}  // namespace upfold
