// Where print files may go (not the program or a data directory) and how the directory and
// name of a new print file are prepared.

#include <gtest/gtest.h>

#include "app/HostRegistry.h"
#include "app/Ui.h"
#include "print/NewPrintFile.h"
#include "print/PrintChoices.h"
#include "print/PrintDirectoryCheck.h"
#include "print/HostFixture.h"

namespace upfold {
namespace {

const std::string kRefusal =
    "Please do NOT use the Marrowfield Program directory\r    C:\\MFW\r\ror ANY Marrowfield "
    "Data directory for reports.\r\rPlease choose another path.";

class PrintDirectoryCheckTest : public test::HostFixture {
 protected:
  void AddDataSet(char id, const std::string& path) {
    registry.WriteString(Hive::LocalMachine, kDataPathKey, std::string("H_") + id, path);
    registry.WriteString(Hive::LocalMachine, kDataPathKey, std::string("D_") + id, "Set");
  }
  bool Check(const std::string& directory) {
    return check.IsPrintFilePathOK(directory, "C:\\MFW");
  }
  PrintDirectoryCheck check{registry, *fs, ui};
};

TEST_F(PrintDirectoryCheckTest, RefusesTheProgramAndEveryDataDirectory) {
  AddDataSet('0', "C:\\MFW\\DATA");
  AddDataSet('1', "C:\\Firm2\\Data\\");  // stored with a trailing backslash
  registry.WriteString(Hive::LocalMachine, kDataPathKey, "H_9", "C:\\NOTASET");  // no D_9
  MakeFolder("FIRM2/DATA");
  MakeFolder("ALIAS");
  // D: reaches the first data directory under another name.
  registry.WriteString(Hive::LocalMachine, test::kDosDevicesKey, "D:", dir / "c/MFW/DATA");
  fs = std::make_unique<DosFs>(&registry);
  PrintDirectoryCheck mapped{registry, *fs, ui};

  struct Case {
    std::string directory;
    bool accepted;
  } cases[] = {
      {"C:\\MFW", false},          {"  c:\\mfw  ", false},   {"C:\\MFW\\", false},
      {"C:\\MFW\\DATA", false},    {"c:\\firm2\\data", false}, {"D:\\", false},
      {"C:\\MFW\\REPORTS", true},  {"C:\\MFW\\DATA\\OLD", true}, {"C:\\NOTASET", true},
      {"C:\\", true},
  };
  for (const Case& c : cases) {
    if (!c.accepted) ui.ExpectShow(MessageKind::Information, kRefusal);
    EXPECT_EQ(mapped.IsPrintFilePathOK(c.directory, "C:\\MFW"), c.accepted) << c.directory;
    EXPECT_TRUE(ui.Done()) << c.directory;
  }
}

TEST_F(PrintDirectoryCheckTest, KeepsTheDataDirectoriesUntilForgotten) {
  AddDataSet('0', "C:\\MFW\\DATA");
  EXPECT_TRUE(Check("C:\\LATER"));
  AddDataSet('1', "C:\\LATER");
  EXPECT_TRUE(Check("C:\\LATER"));  // the list read at the first check still holds

  check.ForgetDataPaths();
  ui.ExpectShow(MessageKind::Information, kRefusal);
  EXPECT_FALSE(Check("C:\\LATER"));
}

TEST_F(PrintDirectoryCheckTest, WithoutTheDataPathKeyOnlyTheProgramDirectoryIsRefused) {
  const std::string cannotList =
      "Unable to open registry key  \\Software\\Verrin\\Marrowfield\\Host\\H_Data   at this "
      "time." + std::string(kContactLine);
  ui.ExpectShow(MessageKind::Information, kRefusal);
  EXPECT_FALSE(Check("C:\\MFW"));  // refused before the list is needed

  ui.ExpectShow(MessageKind::Information, cannotList);
  EXPECT_TRUE(Check("C:\\MFW\\DATA"));
  EXPECT_FALSE(check.DataPathList().has_value());
}

class GetNewPrintFileNameTest : public test::HostFixture {
 protected:
  NewPrintFileFields Run(bool pdf = false) {
    return GetNewPrintFileName(choices, pdf, "C:\\MFW\\DATA", *fs, ui);
  }
  std::string Question(const std::string& directory) {
    return "The directory listed in the Report Setup screen does not exist.\r" + directory +
           "\r\rDo you want to create it?";
  }
  PrintChoices choices;
};

TEST_F(GetNewPrintFileNameTest, KeepsAnExistingDirectoryAndAGoodName) {
  MakeFolder("REPORTS");
  choices.PrintFilePath = "C:\\REPORTS";
  choices.PrintFileName = "REJ.TXT";
  const NewPrintFileFields fields = Run();
  EXPECT_EQ(fields.directory, "C:\\REPORTS");
  EXPECT_EQ(fields.name, "REJ.TXT");
  EXPECT_EQ(fields.label, "C:\\REPORTS\\REJ.TXT");
}

TEST_F(GetNewPrintFileNameTest, OffersToCreateAMissingDirectory) {
  struct Case {
    Answer answer;
    std::string expectedDirectory;
  } cases[] = {{Answer::No, "C:\\MFW\\DATA"}, {Answer::Yes, "C:\\NEWREP"}};  // No first
  for (const Case& c : cases) {
    choices.PrintFilePath = "C:\\NEWREP";
    choices.PrintFileName = "REJ.TXT";
    ui.ExpectAsk(MessageKind::Question, Question("C:\\NEWREP"), c.answer);
    EXPECT_EQ(Run().directory, c.expectedDirectory);
    EXPECT_EQ(choices.PrintFilePath, c.expectedDirectory);
    EXPECT_EQ(HostExists("NEWREP"), c.answer == Answer::Yes);
  }
}

TEST_F(GetNewPrintFileNameTest, FallsBackToTheDataDirectoryWhenCreationFails) {
  choices.PrintFilePath = "C:\\NO\\SUCH\\DIR";  // only one level is ever created
  choices.PrintFileName = "REJ.TXT";
  ui.ExpectAsk(MessageKind::Question, Question("C:\\NO\\SUCH\\DIR"), Answer::Yes);
  ui.ExpectShow(MessageKind::Error, std::string("Unable to create the directory.") + kContactLine);
  EXPECT_EQ(Run().label, "C:\\MFW\\DATA\\REJ.TXT");
  EXPECT_FALSE(HostExists("NO"));
}

TEST_F(GetNewPrintFileNameTest, ClearsAStoredNameThatFailsTheCheck) {
  choices.PrintFilePath = "C:\\MFW\\DATA";
  choices.PrintFileName = "REJ=1.TXT";
  ui.ExpectShow(MessageKind::Error,
                "The print-to-file name,  REJ=1.TXT,  is not valid.\rFile names must not contain "
                "the characters  / \\ : * ? \" < > |");
  const NewPrintFileFields fields = Run();
  EXPECT_EQ(fields.name, "");
  EXPECT_EQ(choices.PrintFileName, "");
  EXPECT_EQ(fields.label, "C:\\MFW\\DATA\\");
}

TEST_F(GetNewPrintFileNameTest, AllowsAPdfNameOnlyForThePdfFormat) {
  choices.PrintFilePath = "C:\\MFW\\DATA";
  choices.PrintFileName = "REJ.PDF";
  EXPECT_EQ(Run(true).name, "REJ.PDF");
  ui.ExpectShow(MessageKind::Error,
                "You may not use the file extension PDF when writing a report to a data or text "
                "file.");
  EXPECT_EQ(Run(false).name, "");
}

TEST_F(GetNewPrintFileNameTest, PrintFilesAreCreatedEmptyOrNewOnly) {
  const std::string path = "C:\\MFW\\DATA\\REJ.TXT";
  EXPECT_FALSE(DoesPrintFileExist(path, *fs));
  EXPECT_TRUE(CreateEmptyPrintFile(path, true, *fs));
  EXPECT_TRUE(DoesPrintFileExist("c:\\mfw\\data\\rej.txt", *fs));
  dir.Write("c/MFW/DATA/REJ.TXT", "old report");

  const FsResult again = CreateEmptyPrintFile(path, true, *fs);
  EXPECT_FALSE(again);
  EXPECT_EQ(again.message, fsmsg::kFileExists);
  EXPECT_EQ(dir.Read("c/MFW/DATA/REJ.TXT"), "old report");

  EXPECT_TRUE(CreateEmptyPrintFile(path, false, *fs));
  EXPECT_EQ(dir.Read("c/MFW/DATA/REJ.TXT"), "");
  EXPECT_FALSE(DoesPrintFileExist("C:\\MFW\\DATA", *fs));  // a folder is not a print file
  EXPECT_FALSE(CreateEmptyPrintFile("C:\\NO\\REJ.TXT", false, *fs));
}

}  // namespace
}  // namespace upfold
