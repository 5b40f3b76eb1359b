// Locks held by another process (a forked child, driven over pipes): the direct access waits
// them out without a word while they clear within the wait, and asks the user once they
// outlast it. The clock moves only by the pauses between tries, so no test waits for real.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "DirectAccessFiles.h"
#include "data/AbortError.h"
#include "data/DirectAccess.h"
#include "platform/Clock.h"
#include "recman/RecmanSupport.h"
#include "support/ScriptedUi.h"

namespace upfold::test {
namespace {

// Time moves only when the code under test pauses; each pause may run a hook.
class StepClock final : public Clock {
 public:
  std::uint64_t TickCount() override { return ticks; }
  void Sleep(std::uint32_t milliseconds) override {
    ticks += milliseconds;
    ++pauses;
    if (onPause) onPause(pauses);
  }
  std::chrono::system_clock::time_point Now() override { return {}; }
  int RandomDigit(int) override { return 0; }

  std::uint64_t ticks = 1'000'000;
  int pauses = 0;
  std::function<void(int pause)> onPause;
};

// Pauses before the user is first asked.
constexpr int kPausesPerWait = DirectAccess::kLockWaitMs / DirectAccess::kLockRetryPauseMs;

class DirectLockTest : public testing::Test {
 protected:
  // A child that opens the case file with `mode`, locks the case of `client` unless it is
  // empty, answers 'L', and lets go (closing the file) when sent 'U', answering 'u'.
  std::unique_ptr<Child> Holder(OpenMode mode, const std::string& client) {
    const std::string host = files.Host("YCase.lf");
    auto child = std::make_unique<Child>([host, mode, client](int in, int out) {
      DataFile file;
      if (file.Open(host, mode) != RmStatus::Success) return 1;
      if (!client.empty()) {
        std::string key = CaseKey(client, "1");
        std::string record;
        if (file.Get(GetOp::Equal, 1, key, record, RecordLock::Single) != RmStatus::Success)
          return 2;
      }
      Child::Put(out, 'L');
      if (Child::Take(in) != 'U') return 3;
      file.Close();
      Child::Put(out, 'u');
      Child::Take(in);
      return 0;
    });
    EXPECT_EQ(child->Receive(), 'L');
    return child;
  }

  // The holder lets go during the given pause.
  void ReleaseAt(Child& holder, int pause) {
    clock.onPause = [&holder, pause](int n) {
      if (n != pause) return;
      holder.Send('U');
      EXPECT_EQ(holder.Receive(), 'u');
    };
  }

  // Reads case B in one of the ways that wait out a record lock; the client read.
  using Read = std::function<std::string(DirectAccess&)>;
  static std::vector<std::pair<const char*, Read>> Reads() {
    auto client = [](const std::string& record) { return Trim(record.substr(4, 7)); };
    return {
        {"equal",
         [client](DirectAccess& a) {
           std::string record;
           EXPECT_TRUE(a.GetEqualRecord(2, CaseKey("B", "1"), &record));
           return client(record);
         }},
        {"next",
         [client](DirectAccess& a) {
           std::string record;
           bool end = false;
           a.GetFirstRecord(2, &record, end);  // A
           a.GetNextRecord(2, &record, end);   // B, locked
           return client(record);
         }},
        {"by key",
         [client](DirectAccess& a) {
           std::string record;
           bool end = false;
           EXPECT_TRUE(a.GetRecordByKey(2, CaseKey("A", "5"), &record, end, 1));
           return client(record);
         }},
    };
  }

  void OpenCases(DirectAccess& access) {
    access.OpenFile(2, cases);
    access.SetKeyNumber(2, 1);
  }

  DirectAccessFiles files;
  std::string cases = files.Create(
      "YCase.lf", "YCase", {CaseRecord("A", "1"), CaseRecord("B", "1"), CaseRecord("C", "1")});
  StepClock clock;
};

TEST_F(DirectLockTest, RecordLockThatClearsWithinTheWaitIsNeverReported) {
  for (const auto& [name, read] : Reads()) {
    SCOPED_TRACE(name);
    ScriptedUi ui;  // any question fails the test
    clock.pauses = 0;
    auto holder = Holder(OpenMode::Normal, "B");
    ReleaseAt(*holder, 5);
    DirectAccess access(files.Fs(), clock, ui);
    OpenCases(access);
    EXPECT_EQ(read(access), "B");
    EXPECT_EQ(clock.pauses, 5);
  }
}

TEST_F(DirectLockTest, RecordLockThatOutlastsTheWaitAsksTheUser) {
  for (const auto& [name, read] : Reads()) {
    SCOPED_TRACE(name);
    {
      ScriptedUi ui;
      ui.ExpectAsk(MessageKind::Question, "A record lock was encountered.  Retry?", Answer::No);
      clock.pauses = 0;
      const std::uint64_t start = clock.ticks;
      auto holder = Holder(OpenMode::Normal, "B");
      DirectAccess access(files.Fs(), clock, ui);
      OpenCases(access);
      EXPECT_EQ(AbortMessage([&] { read(access); }), "A record lock was encountered.");
      EXPECT_EQ(clock.pauses, kPausesPerWait);
      EXPECT_GE(clock.ticks - start, DirectAccess::kLockWaitMs);
    }
    {
      // Yes waits once more; the lock clears during the second wait.
      ScriptedUi ui;
      ui.ExpectAsk(MessageKind::Question, "A record lock was encountered.  Retry?", Answer::Yes);
      clock.pauses = 0;
      auto holder = Holder(OpenMode::Normal, "B");
      ReleaseAt(*holder, kPausesPerWait + 10);
      DirectAccess access(files.Fs(), clock, ui);
      OpenCases(access);
      EXPECT_EQ(read(access), "B");
      EXPECT_EQ(clock.pauses, kPausesPerWait + 10);
    }
  }
}

TEST_F(DirectLockTest, FileLockIsWaitedOutThenAsked) {
  struct Case {
    OpenMode theirs;
    OpenMode ours;
    std::string status;
  };
  for (const Case& c : {
           Case{OpenMode::Exclusive, OpenMode::Normal, "85.\rThe file is locked."},
           Case{OpenMode::Normal, OpenMode::Exclusive,
                "88.\rThe application encountered an incompatible mode error."},
       }) {
    SCOPED_TRACE(c.status);
    const std::string question = "File:  " + cases + "\r\rA file lock was encountered.  Retry?";
    {
      ScriptedUi ui;
      ui.ExpectAsk(MessageKind::Question, question, Answer::No);
      auto holder = Holder(c.theirs, "");
      DirectAccess access(files.Fs(), clock, ui);
      EXPECT_EQ(AbortMessage([&] { access.OpenFile(20, cases, c.ours); }),
                "The file " + cases + " could not be opened.\r\rBtrieve status " + c.status);
      EXPECT_FALSE(access.IsFileOpen(20));
    }
    for (const bool asked : {false, true}) {
      ScriptedUi ui;
      if (asked) ui.ExpectAsk(MessageKind::Question, question, Answer::Yes);
      clock.pauses = 0;
      auto holder = Holder(c.theirs, "");
      const int releaseAt = asked ? kPausesPerWait + 3 : 3;
      ReleaseAt(*holder, releaseAt);
      DirectAccess access(files.Fs(), clock, ui);
      access.OpenFile(20, cases, c.ours);
      EXPECT_TRUE(access.IsFileOpen(20));
      EXPECT_EQ(clock.pauses, releaseAt);
    }
  }
}

}  // namespace
}  // namespace upfold::test
