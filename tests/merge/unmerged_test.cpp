#include "merge/UnMerged.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "platform/Clock.h"
#include "platform/FileHold.h"
#include "print/HostFixture.h"

namespace upfold::test {
namespace {

const std::string kEraseQuestion = "Are you sure you want to erase the transaction batch?";

class UnMergedTest : public HostFixture {
 protected:
  UnMergedTest() {
    values.DataPath = "C:\\MFW\\DATA";
    values.WSID = "01";
    dir.Write("c/MFW/DATA/Trin01.s", "batch");
    dir.Write("c/MFW/DATA/Desc01.s", "descriptions");
  }
  bool HostFiles() { return HostExists("MFW/DATA/Trin01.s") || HostExists("MFW/DATA/Desc01.s"); }

  FakeClock clock;
  RunValues values;
  AppContext ctx{registry, *fs, clock, ui, values, {}};
  UnMerged dialog{ctx, "  Batch one   ", "03/10/2005"};
};

TEST_F(UnMergedTest, ShowsTheBatchAndTheDataPath) {
  EXPECT_EQ(dialog.DataPathText(), "Data path: C:\\MFW\\DATA");
  EXPECT_EQ(dialog.MemoLines(),
            (std::vector<std::string>{"Your last batch has not been merged.", " ",
                                      "Batch Name: Batch one", "Dated 03/10/2005"}));
  EXPECT_EQ(UnMerged::DisabledOption(), kPrintOnly);
  EXPECT_EQ(dialog.Selected(), -1);
}

TEST_F(UnMergedTest, EachOptionGivesItsStatusTextAndOutcome) {
  struct Case {
    int position;
    const char* status;
    bool stop;
  } cases[] = {{kPrintAndMerge, "Print and Merge", false},
               {kAppend, "Append", false},
               {kExitUnchanged, "Exit", true}};
  for (const Case& c : cases) {
    UnMerged d(ctx, "B", "D");
    EXPECT_EQ(d.Choose(c.position), c.status);
    EXPECT_EQ(d.Outcome().choice, c.position);
    EXPECT_EQ(d.Outcome().stop, c.stop);
    EXPECT_TRUE(d.Ok());
  }
  // The disabled option cannot be chosen.
  EXPECT_EQ(dialog.Choose(kPrintOnly), "");
  EXPECT_EQ(dialog.Selected(), -1);
  EXPECT_TRUE(HostFiles());
}

TEST_F(UnMergedTest, OkAndClosingWithoutAChoiceAreRefused) {
  ui.ExpectShow(MessageKind::Plain, kChooseAnOption);
  EXPECT_FALSE(dialog.Ok());
  ui.ExpectShow(MessageKind::Plain, kChooseAnOption);
  EXPECT_FALSE(dialog.CanClose());
}

TEST_F(UnMergedTest, CancelIsTheExitOptionWithTheStopFlag) {
  dialog.Choose(kAppend);
  EXPECT_EQ(dialog.Cancel(), "Exit");
  EXPECT_EQ(dialog.Outcome().choice, kExitUnchanged);
  EXPECT_TRUE(dialog.Outcome().stop);
}

TEST_F(UnMergedTest, EraseDeletesBothHostFilesOnlyWhenConfirmed) {
  ui.ExpectAsk(MessageKind::Question, kEraseQuestion, Answer::No);
  EXPECT_EQ(dialog.Choose(kErase), "Erase the current batch");
  EXPECT_TRUE(dialog.Outcome().stop);
  EXPECT_TRUE(HostExists("MFW/DATA/Trin01.s"));

  ui.ExpectAsk(MessageKind::Question, kEraseQuestion, Answer::Yes);
  dialog.Choose(kErase);
  EXPECT_FALSE(dialog.Outcome().stop);
  EXPECT_FALSE(HostFiles());
  // Erased files stay erased whatever is chosen next; erasing again finds nothing to stop on.
  dialog.Choose(kExitUnchanged);
  EXPECT_TRUE(dialog.Outcome().stop);
  ui.ExpectAsk(MessageKind::Question, kEraseQuestion, Answer::Yes);
  dialog.Choose(kErase);
  EXPECT_FALSE(dialog.Outcome().stop);
}

TEST_F(UnMergedTest, AFileThatCannotBeDeletedKeepsTheStopFlag) {
  FileHold otherWorkstation(dir / "c/MFW/DATA/Desc01.s");
  ASSERT_TRUE(otherWorkstation.Held());
  ui.ExpectAsk(MessageKind::Question, kEraseQuestion, Answer::Yes);
  ui.ExpectShow(MessageKind::Plain, "Unable to delete file C:\\MFW\\DATA\\Desc01.S at this time.");
  dialog.Choose(kErase);
  EXPECT_TRUE(dialog.Outcome().stop);
  EXPECT_FALSE(HostExists("MFW/DATA/Trin01.s"));
}

TEST_F(UnMergedTest, AnAnsweredDialogActsAsThePersonWould) {
  AnsweredUnMergedDialog append(ctx, kAppend);
  std::optional<UnMergedOutcome> outcome = append.Show("Batch", "03/10/2005");
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->choice, kAppend);
  EXPECT_FALSE(outcome->stop);

  AnsweredUnMergedDialog exit(ctx, kExitUnchanged);
  outcome = exit.Show("Batch", "03/10/2005");
  EXPECT_TRUE(outcome->stop);

  AnsweredUnMergedDialog erase(ctx, kErase);
  ui.ExpectAsk(MessageKind::Question, kEraseQuestion, Answer::Yes);
  outcome = erase.Show("Batch", "03/10/2005");
  EXPECT_FALSE(outcome->stop);
  EXPECT_FALSE(HostFiles());
}

}  // namespace
}  // namespace upfold::test
