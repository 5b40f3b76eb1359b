#include <gtest/gtest.h>

#include <map>

#include "import/RunJournalFile.h"
#include "import/RunJournalFileSlots.h"
#include "import_command_fixture.h"

namespace upfold::test {
namespace {
using namespace command;

constexpr int kRecords = 6;
const std::string kBatch = "C:\\REMOTE\\TRINAB.RME";
const std::string kReject = "C:\\MFW\\DATA\\TRINAB.R01";
const std::string kRejectDesc = "C:\\MFW\\DATA\\DESCAB.R01";

std::uint64_t AutoInc(const std::string& record) {
  std::uint64_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint64_t(static_cast<unsigned char>(record[i])) << (8 * i);
  return v;
}

// Writes as the import run does: every third record (1, 4) is rejected into the batch's
// reject pair, the others are posted to the host batch with one description line each; the
// journal hears of every finished record.
class SimulatedRun {
 public:
  SimulatedRun(CommandFixture& fixture, const std::string& root) : f_(fixture), root_(root) {}

  // Records from `from` on; after `stopAfter` finished records the run dies in the middle of
  // the next one (its first write done, no mark). Returns false when it died.
  bool Batch(RunJournal& journal, int stopAfter = kRecords) {
    RecordMark mark;
    mark.remoteFile = kBatch;
    if (const std::optional<BatchResume> resume = journal.BatchStarting(kBatch))
      mark = resume->mark;
    for (int i = static_cast<int>(mark.recordsDone); i < kRecords; ++i) {
      const bool reject = i % 3 == 1;
      if (i == stopAfter) {
        Write(reject, i, mark, true);
        return false;
      }
      Write(reject, i, mark, false);
      ++mark.recordsDone;
      if (reject) ++mark.fileRejects;
      journal.RecordDone(mark);
    }
    journal.BatchFinished(kBatch, false);
    return true;
  }

  // The clients stored in a file under drive C, in key 0 order.
  std::vector<std::string> Clients(const std::string& underC, int offset = 4) {
    std::vector<std::string> out;
    if (!std::filesystem::exists(root_ + "/c/" + underC)) return out;
    for (const std::string& r : f_.Stored(underC)) out.push_back(Trim(r.substr(offset, 7)));
    return out;
  }

 private:
  void Write(bool reject, int i, RecordMark& mark, bool half) {
    const std::string id = (reject ? "R" : "P") + std::to_string(i);
    if (reject) {
      if (mark.rejectFile.empty()) {
        if (!std::filesystem::exists(root_ + "/c/MFW/DATA/TRINAB.R01")) {
          f_.Make("MFW/DATA/TRINAB.R01", "RemBatch");
          f_.Make("MFW/DATA/DESCAB.R01", "RemBatchD");
        }
        mark.rejectFile = kReject;
        mark.rejectDescFile = kRejectDesc;
      }
      mark.rejectHigh = Insert("MFW/DATA/TRINAB.R01", Rec("RemBatch").Text("ClientCode", id));
      if (half) return;
      mark.rejectDescHigh =
          Insert("MFW/DATA/DESCAB.R01", Rec("RemBatchD").Text("SequenceNumber", id));
    } else {
      mark.hostBatchHigh = Insert("MFW/DATA/Trin01.s", Rec("Batch").Text("Client", id));
      if (half) return;
      mark.hostDescHigh = Insert("MFW/DATA/Desc01.s", Rec("TrDesc").Text("SequenceNumber", id));
    }
    ++mark.nextSeq;
  }
  std::uint64_t Insert(const std::string& underC, std::string record) {
    DataFile file;
    EXPECT_EQ(file.Open(root_ + "/c/" + underC), RmStatus::Success);
    EXPECT_EQ(file.Insert(record), RmStatus::Success);
    return AutoInc(record);
  }

  CommandFixture& f_;
  std::string root_;
};

class RunJournalTest : public CommandFixture {
 protected:
  RunJournalTest() {
    RemoteBatch("TRINAB.RME", std::vector<std::string>(kRecords, "250301"));
    MakeHostFiles();
  }
  void MakeHostFiles() {
    // One transaction of an earlier import is already in the host batch.
    Make("MFW/DATA/Trin01.s", "Batch", {Rec("Batch").Text("Client", "OLD")});
    Make("MFW/DATA/Desc01.s", "TrDesc", {Header("", "250301")});
  }
  void Reset() {
    for (const char* f : {"Trin01.s", "Desc01.s", "TRINAB.R01", "DESCAB.R01"})
      std::filesystem::remove(dir / (std::string("c/MFW/DATA/") + f));
    std::filesystem::remove_all(dir / "c/MFW/DATA/Upfold");
    MakeHostFiles();
  }

  SimulatedRun run{*this, dir.Path()};
  const std::vector<std::string> kPosted{"OLD", "P0", "P2", "P3", "P5"};
  const std::vector<std::string> kRejected{"R1", "R4"};
};

TEST_F(RunJournalTest, ARunStoppedAtAnyRecordIsContinuedWithoutDoingAnyRecordTwice) {
  for (int stop = 0; stop < kRecords; ++stop) {
    SCOPED_TRACE("stopped after " + std::to_string(stop) + " records");
    Reset();
    {
      RunJournalFile first(ctx);
      first.RunStarted({kBatch});
      EXPECT_FALSE(run.Batch(first, stop));
    }  // the program ends here

    RunJournalFile next(ctx);
    const std::optional<InterruptedBatch> found = next.FindInterrupted();
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->remoteFile, kBatch);
    EXPECT_EQ(found->recordsDone, static_cast<std::uint64_t>(stop));
    EXPECT_EQ(found->recordCount, static_cast<std::uint64_t>(kRecords));
    EXPECT_EQ(found->fileDate, "250320");

    ASSERT_TRUE(next.PrepareResume());
    // The half-written record is gone; what was done stays.
    std::vector<std::string> posted{"OLD"}, rejected;
    for (int i = 0; i < stop; ++i)
      (i % 3 == 1 ? rejected : posted).push_back((i % 3 == 1 ? "R" : "P") + std::to_string(i));
    EXPECT_EQ(run.Clients("MFW/DATA/Trin01.s"), posted);
    EXPECT_EQ(run.Clients("MFW/DATA/TRINAB.R01"), rejected);

    next.RunStarted({kBatch});
    EXPECT_TRUE(run.Batch(next));
    next.RunFinished(false);
    EXPECT_EQ(run.Clients("MFW/DATA/Trin01.s"), kPosted);
    EXPECT_EQ(run.Clients("MFW/DATA/Desc01.s", 4).size(), kPosted.size());  // header + 4 lines
    EXPECT_EQ(run.Clients("MFW/DATA/TRINAB.R01"), kRejected);
    EXPECT_EQ(run.Clients("MFW/DATA/DESCAB.R01").size(), kRejected.size());
    EXPECT_FALSE(RunJournalFile(ctx).FindInterrupted().has_value());
  }
}

TEST_F(RunJournalTest, NotContinuingRemovesTheUnfinishedRecordAndForgetsTheRun) {
  {
    RunJournalFile first(ctx);
    first.RunStarted({kBatch});
    run.Batch(first, 3);
  }
  RunJournalFile next(ctx);
  ASSERT_TRUE(next.StartAfresh());
  EXPECT_EQ(run.Clients("MFW/DATA/Trin01.s"), (std::vector<std::string>{"OLD", "P0", "P2"}));
  EXPECT_FALSE(next.FindInterrupted().has_value());
  // A new run starts the batch from its first record.
  next.RunStarted({kBatch});
  EXPECT_FALSE(next.BatchStarting(kBatch).has_value());
}

TEST_F(RunJournalTest, AHostBatchMadeAnewSinceTheRunIsLeftAlone) {
  {
    RunJournalFile first(ctx);
    first.RunStarted({kBatch});
    run.Batch(first, 3);
  }
  // Merged and made afresh by the posting program, then written to by hand.
  std::filesystem::remove(dir / "c/MFW/DATA/Trin01.s");
  Make("MFW/DATA/Trin01.s", "Batch",
       {Rec("Batch").Text("Client", "NEW1"), Rec("Batch").Text("Client", "NEW2"),
        Rec("Batch").Text("Client", "NEW3"), Rec("Batch").Text("Client", "NEW4")});
  RunJournalFile next(ctx);
  ASSERT_TRUE(next.PrepareResume());
  EXPECT_EQ(run.Clients("MFW/DATA/Trin01.s"),
            (std::vector<std::string>{"NEW1", "NEW2", "NEW3", "NEW4"}));
  next.RunStarted({kBatch});
  const std::optional<BatchResume> resume = next.BatchStarting(kBatch);
  ASSERT_TRUE(resume.has_value());
  EXPECT_EQ(resume->mark.recordsDone, 3u);
}

TEST_F(RunJournalTest, ABatchOfTheSameNameWithOtherRecordsStartsAfresh) {
  {
    RunJournalFile first(ctx);
    first.RunStarted({kBatch});
    run.Batch(first, 2);
  }
  std::filesystem::remove(dir / "c/REMOTE/TRINAB.RME");
  RemoteBatch("TRINAB.RME", {"250301", "250302"}, false);
  RunJournalFile next(ctx);
  ASSERT_TRUE(next.PrepareResume());
  next.RunStarted({kBatch});
  EXPECT_FALSE(next.BatchStarting(kBatch).has_value());
}

TEST_F(RunJournalTest, ACompletedOrNeverStartedRunLeavesNothingToContinue) {
  {
    RunJournalFile first(ctx);
    first.RunStarted({kBatch});
    run.Batch(first);
    first.RunFinished(false);
  }
  EXPECT_FALSE(RunJournalFile(ctx).FindInterrupted().has_value());
  std::filesystem::remove_all(dir / "c/MFW/DATA/Upfold");
  EXPECT_FALSE(RunJournalFile(ctx).FindInterrupted().has_value());
}

TEST_F(RunJournalTest, AnUnwritableJournalIsReportedOnceAndTheRunGoesOn) {
  dir.Write("c/MFW/DATA/Upfold/Journal01.jnl", "not a data file");
  RunJournalFile journal(ctx);
  ui.ExpectShow(
      MessageKind::Warning,
      "Unable to open the import journal C:\\MFW\\DATA\\Upfold\\Journal01.jnl.\r\rThe file "
      "specified is not a MicroKernel file\r\rThe import goes on, but if it is "
      "interrupted it cannot be continued exactly." +
          kContact);
  journal.RunStarted({kBatch});
  EXPECT_TRUE(run.Batch(journal));
  journal.RunFinished(false);
  EXPECT_EQ(run.Clients("MFW/DATA/Trin01.s"), kPosted);
}

TEST(MarkSlots, ATornSlotFallsBackToTheMarkBeforeIt) {
  TempDir dir;
  const std::string path = dir / "marks";
  {
    MarkSlots slots(path);
    EXPECT_FALSE(slots.Read().has_value());
    ASSERT_TRUE(slots.Write("first"));
    ASSERT_TRUE(slots.Write("second"));
    EXPECT_EQ(slots.Read(), "second");
  }
  // A crash in the middle of the third write: the slot it was overwriting is damaged.
  {
    MarkSlots slots(path);
    ASSERT_TRUE(slots.Write("third"));
  }
  std::string bytes = dir.Read("marks");
  const std::size_t third = bytes.find("third");
  ASSERT_NE(third, std::string::npos);
  bytes[third] = 'T';
  dir.Write("marks", bytes);
  MarkSlots reopened(path);
  EXPECT_EQ(reopened.Read(), "second");
  // Writing goes on after the newest intact slot.
  ASSERT_TRUE(reopened.Write("fourth"));
  EXPECT_EQ(MarkSlots(path).Read(), "fourth");
  ASSERT_TRUE(reopened.Clear());
  EXPECT_FALSE(MarkSlots(path).Read().has_value());
}

}  // namespace
}  // namespace upfold::test
