// The hand-off with a real program: the argument-recording stub stands in for the posting
// program and the bridge runner, started through the system launcher and waited for.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "merge/MergeCommand.h"
#include "merge/MergeFixture.h"
#include "support/StubRecord.h"

namespace upfold {
namespace {

using Args = std::vector<std::string>;

// What the stub recorded: its arguments, the window hint and the command line it was given.
using Received = test::StubRecord;
using test::StubProgram;

class MergeStubProcessTest : public test::MergeFixture {
 protected:
  MergeStubProcessTest() {
    system_.SetEnvironment("UPFOLD_STUB_RECORD", Record());
    launcher = &system_;
  }

  // Puts the stub into the program folder under the given name.
  void Install(const std::string& name) {
    std::filesystem::copy_file(StubProgram(), dir / ("c/MFW/" + name));
  }
  std::string Record() const { return dir / "record"; }

  SystemProcessLauncher system_{*fs};
};

TEST_F(MergeStubProcessTest, PostingProgramGetsTheLineWhileTheWindowStaysResponsive) {
  Install("Brask.exe");
  MakeHostBatch(1);
  constexpr int kRunsMs = 300;
  system_.SetEnvironment("UPFOLD_STUB_DELAY_MS", std::to_string(kRunsMs));
  // Once the program has started (it records first, then runs on), the person clicks Merge
  // again; the windows go on being served until it ends.
  int servedWhileRunning = 0;
  ui.onProcessMessages = [&] {
    if (!std::filesystem::exists(Record())) return;
    if (servedWhileRunning++ == 0) Command().MergeSBClick();
  };
  ui.ExpectAsk(MessageKind::Question,
               "Batch Name: DECEMBER FEES  Dated 12/11/2026\r\rAre you sure you want to merge "
               "this batch?",
               Answer::Yes);
  ui.ExpectShow(MessageKind::Plain,
                "The Merge may not be run at this time.\rPlease wait until the previous Merge is "
                "done.\r\rand then try again.");

  const auto start = std::chrono::steady_clock::now();
  Command().MergeSBClick();
  const auto took = std::chrono::steady_clock::now() - start;

  EXPECT_GE(took, std::chrono::milliseconds(kRunsMs));  // it waited for the program's end
  EXPECT_GT(servedWhileRunning, 1);
  const Received got = test::ReadStubRecord(Record());
  EXPECT_EQ(got.args, (Args{test::OfficePrinterArgument(), "461211"}));
  EXPECT_EQ(got.line, test::OfficePrinterLine());
  EXPECT_EQ(got.show, "minimized");
  EXPECT_EQ(main.Values().RunningOperation, 0);
  EXPECT_EQ(view.log, (std::vector<std::string>{std::string("show") + kMergingLine, "hide"}));
}

TEST_F(MergeStubProcessTest, BridgeRunnerGetsItsArgumentWithoutBlanks) {
  Install("KVX");
  main.SetKvxInterrupt(true);
  EXPECT_TRUE(Command().RunTrim());

  std::string last = "461211TI    01R25510Office Printer" + std::string(16, ' ') +
                     "Office Printer" + std::string(28 + 42, ' ') + "C66 ";
  for (char& c : last)
    if (c == ' ') c = '\x84';
  EXPECT_EQ(test::ReadStubRecord(Record()).args, (Args{"Mfvrn.ini", "-d", "BRIDGE/MFW/C", last}));
  EXPECT_FALSE(main.KvxInterrupt());
}

}  // namespace
}  // namespace upfold
