#include <gtest/gtest.h>

#include "import/BatchSelection.h"
#include "import_command_fixture.h"

namespace upfold::test {
namespace {
using namespace command;

const std::string kNameMessage =
    "You must choose a Marrowfield Remote file beginning with the letters  'TRIN' and ending with "
    "'.RME'\ror a Marrowfield Case Management batch file beginning with 'Trin' and ending with "
    "'.CM'.";

class SelectionTest : public CommandFixture {
 protected:
  FakeMainView view;
  RemoteBatchValues remote;
  BatchSelection selection{ctx, dm, view, remote};
};

TEST_F(SelectionTest, ListsEveryChosenBatchInTheDialogsOrderWithCountAndDateRange) {
  RemoteBatch("TRINAB.RME", {"250301", "250315", "250310"});
  RemoteBatch("trincd.cm", {"250207"});
  ui.ExpectOpenFiles({"c:\\remote\\TrinAB.rme", "C:\\REMOTE\\TRINCD.CM"});

  EXPECT_TRUE(selection.FindRemBatch());

  EXPECT_EQ(view.lines,
            (std::vector<std::string>{"C:\\REMOTE\\TRINAB.RME  3 recs  03/01/05 - 03/15/05",
                                      "C:\\REMOTE\\TRINCD.CM  1 recs  02/07/05 - 02/07/05"}));
  EXPECT_TRUE(view.boxVisible);
  EXPECT_FALSE(view.importEnabled);
  EXPECT_FALSE(ui.hourglass);
  // The last file examined wins.
  EXPECT_EQ(remote.RemoteDir, "C:\\REMOTE");
  EXPECT_EQ(remote.RemoteFileName, "TRINCD.CM");
  EXPECT_EQ(remote.RemoteDescName, "DescCD.CM");
  EXPECT_EQ(remote.RemoteDescPath, "C:\\REMOTE\\DESCCD.CM");
  EXPECT_EQ(remote.SelectedBatchRecordCount, 1u);
  EXPECT_EQ(values.LastRemoteDir, "C:\\REMOTE\\");
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].title, "Find Marrowfield remote files");
  EXPECT_EQ(ui.fileRequests[0].filter, "Exported batches|Trin??.rme");
  EXPECT_TRUE(ui.fileRequests[0].multiSelect);
}

TEST_F(SelectionTest, ARefusedFileEndsTheWholeSelection) {
  RemoteBatch("TRINAB.RME", {"250301"});
  Make("REMOTE/TRINPP.RME", "RemBatch", {Remote("250301", "++ ")});
  dir.Write("c/REMOTE/TRINZZ.RME", "not a data file");
  struct Case {
    const char* file;
    MessageKind kind;
    std::string message;
  } cases[] = {
      {"C:\\REMOTE\\TRINAB.RM", MessageKind::Plain, kNameMessage},
      {"C:\\REMOTE\\TRIXAB.RME", MessageKind::Plain, kNameMessage},
      {"C:\\REMOTE\\TRINPP.RME", MessageKind::Plain,
       "This batch is not a valid Marrowfield Windows remote batch."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    view = FakeMainView{};
    ui.ExpectOpenFiles({"C:\\REMOTE\\TRINAB.RME", c.file});
    ui.ExpectShow(c.kind, c.message);
    EXPECT_FALSE(selection.FindRemBatch());
    EXPECT_FALSE(view.boxVisible);
    EXPECT_TRUE(view.importEnabled);
    EXPECT_FALSE(ui.hourglass);
  }
  // A file the record manager cannot open names the file as it was chosen.
  ui.ExpectOpenFiles({"C:\\remote\\trinzz.rme"});
  ui.ExpectShow(MessageKind::Plain,
                "Btrieve error 30: The file specified is not a MicroKernel file\r\rUnable to open "
                "file\r(C:\\remote\\trinzz.rme)." +
                    kContact);
  EXPECT_FALSE(selection.FindRemBatch());
}

TEST_F(SelectionTest, AnEmptyBatchIsDeletedWithItsDescriptionsOnlyWhenThePersonAgrees) {
  RemoteBatch("TRINEE.RME", {});
  for (Answer answer : {Answer::No, Answer::Yes}) {
    ui.ExpectOpenFiles({"C:\\REMOTE\\TRINEE.RME"});
    ui.ExpectAsk(MessageKind::Question,
                 "This remote batch named  C:\\REMOTE\\TRINEE.RME, is empty. Do you want to "
                 "delete it?",
                 answer);
    EXPECT_FALSE(selection.FindRemBatch());
    EXPECT_EQ(HostExists("REMOTE/TRINEE.RME"), answer == Answer::No);
    EXPECT_EQ(HostExists("REMOTE/DESCEE.RME"), answer == Answer::No);
    EXPECT_TRUE(view.lines.empty());
    EXPECT_FALSE(view.boxVisible);
  }
}

TEST_F(SelectionTest, AMissingDescriptionFileIsMadeFromTheTemplateWhenThePersonAgrees) {
  RemoteBatch("TRINAB.RME", {"250301"}, false);
  const std::string question =
      "The description file (C:\\REMOTE\\DESCAB.RME for the remote batch is missing.\rIf you "
      "continue to process this batch, NONE of the transactions will have descriptions.\rIs "
      "this okay?";

  ui.ExpectOpenFiles({"C:\\REMOTE\\TRINAB.RME"});
  ui.ExpectAsk(MessageKind::Question, question, Answer::No);
  EXPECT_FALSE(selection.FindRemBatch());
  EXPECT_FALSE(HostExists("REMOTE/DESCAB.RME"));

  ui.ExpectOpenFiles({"C:\\REMOTE\\TRINAB.RME"});
  ui.ExpectAsk(MessageKind::Question, question, Answer::Yes);
  EXPECT_TRUE(selection.FindRemBatch());
  EXPECT_TRUE(HostExists("REMOTE/DESCAB.RME"));
  EXPECT_TRUE(Stored("REMOTE/DESCAB.RME").empty());
  EXPECT_FALSE(dm.RemoteDescTB.Active());
  EXPECT_EQ(view.lines.size(), 1u);

  // Without the template nothing is made.
  std::filesystem::remove(dir / "c/REMOTE/DESCAB.RME");
  std::filesystem::remove(dir / "c/MFW/PGM/Remdesc.clo");
  ui.ExpectOpenFiles({"C:\\REMOTE\\TRINAB.RME"});
  ui.ExpectAsk(MessageKind::Question, question, Answer::Yes);
  ui.ExpectShow(MessageKind::Plain, "The file C:\\MFW\\PGM\\Remdesc.clo is missing." + kContact);
  EXPECT_FALSE(selection.FindRemBatch());
  EXPECT_FALSE(HostExists("REMOTE/DESCAB.RME"));
}

TEST_F(SelectionTest, TheDialogOpensWhereTheLastBatchWasFound) {
  struct Case {
    const char* last;
    const char* defaultPath;
    const char* dataPath;
    const char* initial;
    const char* defaultAfter;
  } cases[] = {
      {"C:\\REMOTE\\", "C:\\DEF", "C:\\MFW\\DATA", "C:\\REMOTE\\", "C:\\DEF"},
      {"  ", "C:\\DEF", "C:\\MFW\\DATA", "C:\\DEF", "C:\\DEF"},
      {"", " ", "C:\\MFW\\DATA", "C:\\MFW\\DATA", "C:\\MFW\\DATA"},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    values.LastRemoteDir = c.last;
    values.DefaultRemotePath = c.defaultPath;
    values.DataPath = c.dataPath;
    view.boxVisible = true;
    view.importEnabled = false;
    ui.ExpectOpenFiles({});  // cancelled
    EXPECT_FALSE(selection.FindRemBatch());
    EXPECT_EQ(ui.fileRequests.back().initialDir, c.initial);
    EXPECT_EQ(values.DefaultRemotePath, c.defaultAfter);
    EXPECT_FALSE(view.boxVisible);
    EXPECT_TRUE(view.importEnabled);
  }
}

TEST_F(SelectionTest, ADoubleClickedLineLeavesTheListOnlyWhenThePersonAgrees) {
  view.lines = {"A  1 recs  x - x", "B  1 recs  x - x", "C  1 recs  x - x"};
  view.currentRow = 1;
  ui.ExpectAsk(MessageKind::Question, "Delete this file from list?", Answer::No);
  selection.ListBox1DblClick();
  EXPECT_EQ(view.lines.size(), 3u);
  ui.ExpectAsk(MessageKind::Question, "Delete this file from list?", Answer::Yes);
  selection.ListBox1DblClick();
  EXPECT_EQ(view.lines, (std::vector<std::string>{"A  1 recs  x - x", "C  1 recs  x - x"}));
  view.currentRow = -1;  // no line under the cursor: no question
  selection.ListBox1DblClick();
}

TEST(PathOfListLine, KeepsBlanksInsideThePath) {
  EXPECT_EQ(PathOfListLine("C:\\REMOTE FILES\\TRINAB.RME  12 recs  03/01/05 - 03/15/05"),
            "C:\\REMOTE FILES\\TRINAB.RME");
  EXPECT_EQ(PathOfListLine("C:\\R\\TRINAB.RME  1 recs  03/01/05 - 03/01/05"), "C:\\R\\TRINAB.RME");
  EXPECT_EQ(PathOfListLine("C:\\R\\TRINAB.RME"), "C:\\R\\TRINAB.RME");
}

}  // namespace
}  // namespace upfold::test
