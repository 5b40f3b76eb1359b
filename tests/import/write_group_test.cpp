// The run commits its writes in groups: every mark the journal receives describes exactly what
// another handle can already read in the host batch, its description file and the reject pair,
// so a kill at any moment leaves nothing committed below a mark missing.

#include <gtest/gtest.h>

#include "ImportFixture.h"
#include "recman/DataFile.h"

namespace upfold::test {
namespace {

// Counts, through handles of its own, the records every file of a mark holds when the mark
// arrives.
class CommittedCountJournal : public RecordingJournal {
 public:
  // host: the host path of a DOS path.
  explicit CommittedCountJournal(std::function<std::string(const std::string&)> host)
      : host_(std::move(host)) {}
  void RecordDone(const RecordMark& mark) override {
    RecordingJournal::RecordDone(mark);
    Seen seen;
    seen.host = Count(std::string(kData) + "\\Trin01.s");
    seen.hostDesc = Count(std::string(kData) + "\\Desc01.s");
    if (!mark.rejectFile.empty()) {
      seen.reject = Count(mark.rejectFile);
      seen.rejectDesc = Count(mark.rejectDescFile);
    }
    committed.push_back(seen);
  }

  struct Seen {
    std::uint64_t host = 0, hostDesc = 0, reject = 0, rejectDesc = 0;
  };
  std::vector<Seen> committed;

 private:
  std::uint64_t Count(const std::string& dosPath) {
    DataFile file;
    std::uint64_t count = 0;
    EXPECT_EQ(file.Open(host_(dosPath)), RmStatus::Success) << dosPath;
    EXPECT_EQ(file.RecordCount(count), RmStatus::Success) << dosPath;
    return count;
  }
  std::function<std::string(const std::string&)> host_;
};

class WriteGroups : public ImportFixture {
 protected:
  WriteGroups() {
    AddCase("ACME", "1");
    AddEmployee("DBE", "LI", "AS");
    AddGroup("F", "CT");
  }
};

TEST_F(WriteGroups, EveryMarkArrivesAfterItsWritesAreCommittedAndNoLater) {
  // Every ninth transaction is rejected, every fifth carries two description lines.
  constexpr int kRecords = 2 * ImportRun::kGroupRecords + 50;
  int rejects = 0;
  for (int i = 1; i <= kRecords; ++i) {
    Fields fields{{"ActualAmount", "10"}};
    if (i % 9 == 0) {
      fields.emplace_back("ClientCode", "NOSUCH");
      ++rejects;
    }
    AddRemote("TRIN12.RME", fields,
              i % 5 == 0 ? std::vector<std::string>{"first line", "second line"}
                         : std::vector<std::string>{});
  }
  CommittedCountJournal counting([this](const std::string& p) { return HostPath(p); });
  ImportRun run(*ctx, *data, view, counting, {RemotePath("TRIN12.RME")}, kRecords);
  ASSERT_TRUE(run.RunVantro());
  EXPECT_FALSE(run.ErrorsOccurred());

  const std::vector<RecordMark>& marks = counting.marks;
  ASSERT_FALSE(marks.empty());
  // Grouped: far fewer marks than records, none spanning more than a group, the last one at
  // the end of the batch.
  EXPECT_LE(marks.size(), 8u);
  EXPECT_EQ(marks.back().recordsDone, static_cast<std::uint64_t>(kRecords));
  EXPECT_EQ(marks.back().fileRejects, static_cast<std::uint64_t>(rejects));
  std::uint64_t before = 0;
  for (std::size_t i = 0; i < marks.size(); ++i) {
    SCOPED_TRACE("mark " + std::to_string(i));
    const RecordMark& m = marks[i];
    const CommittedCountJournal::Seen& seen = counting.committed[i];
    EXPECT_GT(m.recordsDone, before);
    EXPECT_LE(m.recordsDone - before, ImportRun::kGroupRecords);
    before = m.recordsDone;
    // Each file holds exactly the records up to the mark: nothing missing, nothing beyond.
    EXPECT_EQ(seen.host, m.hostBatchHigh);
    EXPECT_EQ(seen.host, m.recordsDone - m.fileRejects);
    EXPECT_EQ(seen.hostDesc, m.hostDescHigh);
    EXPECT_EQ(seen.reject, m.rejectHigh);
    EXPECT_EQ(seen.reject, m.fileRejects);
    EXPECT_EQ(seen.rejectDesc, m.rejectDescHigh);
  }
  EXPECT_EQ(HostBatch().size(), static_cast<std::size_t>(kRecords - rejects));
  EXPECT_EQ(counting.finished,
            (std::vector<std::pair<std::string, bool>>{{RemotePath("TRIN12.RME"), true}}));
}

// Writes, through handles of its own, to the files the run reads, whenever a mark arrives: as
// another program at the host would. Nothing the run reads may be held by then.
class WritingJournal : public RecordingJournal {
 public:
  WritingJournal(std::function<std::string(const std::string&)> host, std::vector<std::string> files)
      : host_(std::move(host)), files_(std::move(files)) {}
  void RecordDone(const RecordMark& mark) override {
    RecordingJournal::RecordDone(mark);
    for (const std::string& dosPath : files_) {
      SCOPED_TRACE(dosPath);
      DataFile file;
      ASSERT_EQ(file.Open(host_(dosPath)), RmStatus::Success);
      std::string key;
      std::string record;
      ASSERT_EQ(file.GetFirst(0, key, record), RmStatus::Success);
      EXPECT_EQ(file.Update(record), RmStatus::Success);
    }
  }

 private:
  std::function<std::string(const std::string&)> host_;
  std::vector<std::string> files_;
};

TEST_F(WriteGroups, OtherProgramsCanWriteTheFilesTheRunReadsWheneverAGroupIsCommitted) {
  constexpr int kRecords = 2 * ImportRun::kGroupRecords + 10;
  AddGroupRate("E", "DBE", "G", "CT", 120);  // the fees are priced
  for (int i = 1; i <= kRecords; ++i) AddRemote("TRIN12.RME", {}, {"a line"});
  const std::string d = std::string(kData) + "\\";
  WritingJournal writing([this](const std::string& p) { return HostPath(p); },
                         {d + "YCase.lf", d + "YEmpl.lf", d + "YGrate.lf", d + "YTable.lf",
                          RemotePath("TRIN12.RME"), RemotePath("DESC12.RME")});
  ImportRun run(*ctx, *data, view, writing, {RemotePath("TRIN12.RME")}, kRecords);
  ASSERT_TRUE(run.RunVantro());
  EXPECT_FALSE(run.ErrorsOccurred());
  EXPECT_GE(writing.marks.size(), 3u);
  EXPECT_EQ(HostBatch().size(), static_cast<std::size_t>(kRecords));
}

}  // namespace
}  // namespace upfold::test
