// The printing choices without the window: what opening, the two radio groups, OK, Cancel
// and the close box leave in the run's choices and in the print files.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "app/HostRegistry.h"
#include "data/TableFixture.h"
#include "platform/Clock.h"
#include "platform/printers/RecordingPrinters.h"
#include "print/PdfComponent.h"
#include "print/PrintChoices.h"
#include "print/PrintFileName.h"
#include "print/PrinterList.h"
#include "print/PrntDef.h"

namespace upfold {
namespace {

std::string ReportRecord(const std::string& num, const std::string& toFile, const std::string& dir,
                         const std::string& name, const std::string& size = "R") {
  return test::Rec("Print")
      .Text("ReportNum", num)
      .Text("PrintSize", size)
      .Text("PageLen", "60")
      .Text("PrntToFile", toFile)
      .Text("DirPath", dir)
      .Text("FileName", name);
}

std::string PrinterRecord(const std::string& num, const std::string& printer) {
  return test::Rec("Print").Text("ReportNum", num).Text("DirPath", printer);
}

class PrntDefTest : public test::TableFixture {
 protected:
  PrntDefTest() {
    values.DataPath = "C:\\MFW\\DATA";
    values.PgmDir = "C:\\MFW";
    values.WSID = "01";
    values.SystemDate = {2024, 1, 5};
    registry.WriteString(Hive::LocalMachine, kHostKey, "Installed", "Y");
    registry.WriteString(Hive::LocalMachine, kDataPathKey, "H_0", "C:\\MFW\\DATA");
    registry.WriteString(Hive::LocalMachine, kDataPathKey, "D_0", "Office");
    MakeFolder("REPORTS");
  }

  // PRINT01.LC with report 44 as given and its printer record.
  void Settings(const std::string& toFile, const std::string& dirPath, const std::string& name,
                const std::string& printer = "Ink", const std::string& size = "R") {
    std::filesystem::remove(dir / "c/MFW/DATA/Print01.LC");
    MakeFile("Print01.LC", "Print",
             {ReportRecord("44", toFile, dirPath, name, size), PrinterRecord("59", printer),
              ReportRecord("38", "N", "", ""), PrinterRecord("53", "Laser")});
  }

  bool Open(int report = 44) { return dialog.Open(report, choices); }
  const PrntDefView& View() const { return dialog.View(); }
  std::string DefPath() {
    return registry.ReadString(Hive::LocalMachine, kHostKey, "DefPrintToFilePath").value_or("?");
  }

  FakeClock clock;
  RunValues values;
  AppContext ctx{registry, *fs, clock, ui, values, DateFormats{}};
  RecordingPrinters printers{{"Laser", "Ink", "Plotter"}, "Laser"};
  PrinterList list;
  PrntDef dialog{ctx, printers, list};
  PrintChoices choices;
};

TEST_F(PrntDefTest, OpensOnThePrinterAndReturnsTheChosenOne) {
  Settings("N", "C:\\REPORTS", "REJ.TXT");
  ASSERT_TRUE(Open());
  EXPECT_EQ(View().caption, "Printing Choices");
  EXPECT_EQ(View().printTo, PrintTo::Printer);
  EXPECT_EQ(View().name, "");
  EXPECT_FALSE(View().nameEnabled);
  EXPECT_FALSE(View().directoryEnabled);
  EXPECT_FALSE(View().formatEnabled);
  EXPECT_TRUE(View().printersEnabled);
  EXPECT_EQ(View().printers, (std::vector<std::string>{"Laser", "Ink", "Plotter"}));
  EXPECT_EQ(View().printer, 1);
  EXPECT_EQ(View().directory, "C:\\REPORTS");
  EXPECT_EQ(View().orientation, Orientation::Portrait);

  dialog.ChoosePrinter(2);
  dialog.ChooseOrientation(Orientation::Landscape);
  ASSERT_TRUE(dialog.Ok());
  dialog.Closed();
  EXPECT_EQ(choices.PrintDest, kPrintToPrinter);
  EXPECT_EQ(choices.PrinterName, "Plotter");
  EXPECT_EQ(choices.PrintSize, "C");
  EXPECT_EQ(choices.PrntNum, "10");
  EXPECT_EQ(choices.PageLen, "60");
  EXPECT_EQ(choices.PrintReportNum, 44);
  EXPECT_EQ(DefPath(), "C:\\REPORTS");

  // The printer chosen is offered when the saved one is not installed.
  Settings("N", "C:\\REPORTS", "", "Gone");
  ASSERT_TRUE(Open());
  EXPECT_EQ(View().printer, 2);
}

TEST_F(PrntDefTest, ANewPrintFileIsCreatedEmpty) {
  Settings("Y", "C:\\REPORTS", "REJ.TXT");
  ASSERT_TRUE(Open());
  EXPECT_EQ(View().printTo, PrintTo::File);
  EXPECT_EQ(View().format, FileFormat::Text);
  EXPECT_TRUE(View().nameEnabled);
  EXPECT_EQ(View().name, "REJ.TXT");
  EXPECT_EQ(View().pathLabel, "C:\\REPORTS\\REJ.TXT");
  EXPECT_FALSE(View().printersEnabled);
  ASSERT_TRUE(dialog.Ok());
  EXPECT_EQ(choices.PrintDest, kPrintToFile);
  EXPECT_EQ(choices.PrintPathFileName, "C:\\REPORTS\\REJ.TXT");
  EXPECT_EQ(choices.PrintFilePath, "C:\\REPORTS");
  EXPECT_EQ(choices.PrintFileName, "REJ.TXT");
  EXPECT_EQ(dir.Read("c/REPORTS/REJ.TXT"), "");
}

TEST_F(PrntDefTest, AnExistingPrintFileIsEmptiedOrAppendedTo) {
  struct Case {
    FileExists choice;
    std::string content;
  } cases[] = {{FileExists::Delete, ""}, {FileExists::Append, "OLD\r\n"}};
  for (const Case& c : cases) {
    Settings("Y", "C:\\REPORTS", "REJ.TXT");
    dir.Write("c/REPORTS/REJ.TXT", "OLD\r\n");
    ASSERT_TRUE(Open());
    EXPECT_FALSE(dialog.Ok());
    EXPECT_FALSE(View().mainChoiceVisible);
    EXPECT_TRUE(View().fileExistsVisible);
    EXPECT_EQ(View().fileExists, FileExists::Delete);
    EXPECT_EQ(dir.Read("c/REPORTS/REJ.TXT"), "OLD\r\n");

    dialog.ClickFileExists(c.choice);
    ASSERT_TRUE(dialog.Ok());
    EXPECT_EQ(choices.PrintDest, kPrintToFile);
    EXPECT_EQ(choices.PrintPathFileName, "C:\\REPORTS\\REJ.TXT");
    EXPECT_EQ(dir.Read("c/REPORTS/REJ.TXT"), c.content);
  }
}

TEST_F(PrntDefTest, ChangingToAnotherExistingNameReturnsToDelete) {
  Settings("Y", "C:\\REPORTS", "REJ.TXT");
  dir.Write("c/REPORTS/REJ.TXT", "OLD");
  dir.Write("c/REPORTS/TWO.TXT", "TWO");
  ASSERT_TRUE(Open());
  EXPECT_FALSE(dialog.Ok());
  dialog.ClickFileExists(FileExists::Change);
  dialog.EditName("two.txt");
  EXPECT_EQ(View().pathLabel, "C:\\REPORTS\\TWO.TXT");
  EXPECT_FALSE(dialog.Ok());
  EXPECT_EQ(View().fileExists, FileExists::Delete);
  EXPECT_EQ(dir.Read("c/REPORTS/TWO.TXT"), "TWO");

  dialog.ClickFileExists(FileExists::Change);
  dialog.EditName("THREE.TXT");
  ASSERT_TRUE(dialog.Ok());
  EXPECT_EQ(choices.PrintDest, kPrintToFile);
  EXPECT_EQ(choices.PrintPathFileName, "C:\\REPORTS\\THREE.TXT");
  EXPECT_TRUE(HostExists("REPORTS/THREE.TXT"));
}

TEST_F(PrntDefTest, ExitChoicesPrintNothing) {
  Settings("Y", "C:\\REPORTS", "REJ.TXT");
  registry.WriteString(Hive::LocalMachine, kHostKey, "DefPrintToFilePath", "C:\\KEEP");
  ASSERT_TRUE(Open());
  dialog.ClickPrintTo(PrintTo::Exit);
  ASSERT_TRUE(dialog.Ok());
  EXPECT_EQ(choices.PrintDest, kPrintNothing);
  EXPECT_EQ(choices.PrintSize, "");
  EXPECT_EQ(choices.PrintPathFileName, "");
  EXPECT_FALSE(HostExists("REPORTS/REJ.TXT"));
  EXPECT_EQ(DefPath(), "C:\\KEEP");  // an exit does not forget the folder

  dir.Write("c/REPORTS/REJ.TXT", "OLD");
  ASSERT_TRUE(Open());
  EXPECT_FALSE(dialog.Ok());
  dialog.ClickFileExists(FileExists::Exit);
  EXPECT_FALSE(View().nameEnabled);
  ASSERT_TRUE(dialog.Ok());
  EXPECT_EQ(choices.PrintDest, kPrintNothing);
  EXPECT_EQ(dir.Read("c/REPORTS/REJ.TXT"), "OLD");
}

TEST_F(PrntDefTest, CancelAndTheCloseBoxPrintNothing) {
  Settings("N", "C:\\REPORTS", "");
  ASSERT_TRUE(Open());
  dialog.Cancel();
  dialog.Closed();
  EXPECT_EQ(choices.PrintDest, kPrintNothing);
  EXPECT_EQ(choices.PrintSize, "");
  EXPECT_EQ(choices.PrinterName, "");
  EXPECT_EQ(DefPath(), "?");  // the registry is not written

  Settings("Y", "C:\\REPORTS", "REJ.TXT");
  ASSERT_TRUE(Open());
  EXPECT_EQ(choices.PrintDest, kPrintToFile);  // the File choice sets it at once
  dialog.Closed();                             // the close box
  EXPECT_EQ(choices.PrintDest, kPrintNothing);
}

TEST_F(PrntDefTest, TheScreenIsRefused) {
  Settings("N", "C:\\REPORTS", "REJ.TXT");
  ASSERT_TRUE(Open());
  ui.ExpectShow(MessageKind::Information, kNoScreenMessage);
  dialog.ClickPrintTo(PrintTo::Screen);
  EXPECT_EQ(View().printTo, PrintTo::File);
  EXPECT_TRUE(View().nameEnabled);

  // In the file-exists group the earlier choice stays selected.
  dir.Write("c/REPORTS/REJ.TXT", "OLD");
  dialog.EditName("REJ.TXT");
  EXPECT_FALSE(dialog.Ok());
  dialog.ClickFileExists(FileExists::Append);
  ui.ExpectShow(MessageKind::Information, kNoScreenMessage);
  dialog.ClickFileExists(FileExists::Screen);
  EXPECT_EQ(View().fileExists, FileExists::Append);
  ASSERT_TRUE(dialog.Ok());
  EXPECT_EQ(choices.PrintDest, kPrintToFile);
  EXPECT_FALSE(choices.PrintToScreen);
  EXPECT_EQ(choices.PrintPathFileName, "C:\\REPORTS\\REJ.TXT");
}

TEST_F(PrntDefTest, WithoutPrintersOkOnPrinterDoesNothing) {
  RecordingPrinters none{{}};
  PrinterList empty;
  PrntDef bare{ctx, none, empty};
  Settings("N", "C:\\REPORTS", "");
  ui.ExpectShow(MessageKind::Information,
                "You have no windows printers!\r\rYou must have at least one windows printer "
                "in order to print MARROWFIELD reports.");
  ASSERT_TRUE(bare.Open(44, choices));
  EXPECT_EQ(bare.View().printer, -1);
  EXPECT_FALSE(bare.Ok());
  bare.ClickFileExists(FileExists::Printer);  // not shown, but refused all the same
  EXPECT_EQ(choices.PrintDest, kPrintNothing);
}

TEST_F(PrntDefTest, APatternLeftInTheNameFieldIsExpandedBeforeTheFileIsMade) {
  Settings("Y", "C:\\REPORTS", "REJ.TXT");
  ASSERT_TRUE(Open());
  dialog.EditName("*txt");
  EXPECT_EQ(View().name, "*TXT");
  ASSERT_TRUE(dialog.Ok());
  EXPECT_EQ(choices.PrintFileName, "IR010524.TXT");
  EXPECT_TRUE(HostExists("REPORTS/IR010524.TXT"));
  EXPECT_FALSE(HostExists("REPORTS/*TXT"));

  // A name the field refuses keeps the dialog open, and its message is shown once.
  ASSERT_TRUE(Open());
  dialog.EditName("ABCDEFGHIJKL");
  ui.ExpectShow(MessageKind::Error, "File name is too long!");
  EXPECT_FALSE(dialog.LeaveName());
  EXPECT_FALSE(dialog.Ok());
  EXPECT_EQ(choices.PrintDest, kPrintToFile);
  EXPECT_FALSE(HostExists("REPORTS/ABCDEFGHIJKL"));

  ui.ExpectShow(MessageKind::Error, kRefusedNameKeyMessage);
  EXPECT_FALSE(dialog.TypeNameKey('='));
  EXPECT_TRUE(dialog.TypeNameKey('*'));
}

TEST_F(PrntDefTest, TheProgramDirectoryIsRefused) {
  Settings("Y", "C:\\MFW", "REJ.TXT");
  ASSERT_TRUE(Open());
  const std::string refusal =
      "Please do NOT use the Marrowfield Program directory\r    C:\\MFW\r\ror ANY Marrowfield "
      "Data directory for reports.\r\rPlease choose another path.";
  ui.ExpectShow(MessageKind::Information, refusal);
  EXPECT_FALSE(dialog.Ok());
  ui.ExpectShow(MessageKind::Information, refusal);
  EXPECT_FALSE(dialog.LeaveDirectoryList());
  EXPECT_EQ(View().directory, "C:\\");

  dialog.ChangeDirectory("C:\\REPORTS");
  EXPECT_TRUE(dialog.LeaveDirectoryList());
  ASSERT_TRUE(dialog.Ok());
  EXPECT_EQ(choices.PrintPathFileName, "C:\\REPORTS\\REJ.TXT");
}

TEST_F(PrntDefTest, WhereTheDirectoryListStarts) {
  MakeFolder("SAVED");
  struct Case {
    std::string settingsDir, registryDir, directory;
  } cases[] = {
      {"C:\\REPORTS\\", "C:\\SAVED", "C:\\REPORTS"},
      {"", "C:\\SAVED", "C:\\SAVED"},
      {"", "", "C:\\"},
      {"C:\\MISSING", "C:\\SAVED", "C:\\"},
  };
  for (const Case& c : cases) {
    Settings("N", c.settingsDir, "");
    registry.WriteString(Hive::LocalMachine, kHostKey, "DefPrintToFilePath", c.registryDir);
    ASSERT_TRUE(Open()) << c.settingsDir;
    EXPECT_EQ(View().directory, c.directory) << c.settingsDir;
    EXPECT_EQ(View().drive, 'C');
  }
  const auto items = dialog.DirectoryItems();
  ASSERT_GE(items.size(), 2u);
  EXPECT_EQ(items[0].text, "C:\\");
  EXPECT_TRUE(items[0].current);
  bool reports = false;
  for (const auto& item : items) reports |= item.path == "C:\\REPORTS" && item.level == 1;
  EXPECT_TRUE(reports);

  ui.ExpectShow(MessageKind::Error, "Drive Q: is not ready.");
  EXPECT_FALSE(dialog.ChooseDrive('q'));
  EXPECT_EQ(View().drive, 'C');
}

TEST_F(PrntDefTest, CaptionAndFileOnlyReportsHoldForOneOpening) {
  MakeFile("Print01.LC", "Print",
           {ReportRecord("41", "R", "C:\\REPORTS", "UP.TXT"), PrinterRecord("56", "Ink"),
            ReportRecord("44", "N", "", ""), PrinterRecord("59", "Ink")});
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(Open(41));
    EXPECT_EQ(View().caption, "Printing Choices (Unposting)");
    EXPECT_FALSE(View().printerButtonEnabled);
    EXPECT_FALSE(View().screenButtonEnabled);
    EXPECT_EQ(View().printTo, PrintTo::File);
    dialog.ClickPrintTo(PrintTo::Printer);
    EXPECT_EQ(View().printTo, PrintTo::File);
    dialog.Cancel();
    dialog.Closed();
  }
  ASSERT_TRUE(Open(44));
  EXPECT_EQ(View().caption, "Printing Choices");
  EXPECT_TRUE(View().printerButtonEnabled);
}

TEST_F(PrntDefTest, RefusedSettingsAreNeverShown) {
  ui.ExpectAsk(MessageKind::Question,
               "The PRINT01.LC file is missing.\rDo you want to use the default settings?",
               Answer::No);
  choices.PrintDest = kPrintToFile;
  EXPECT_FALSE(Open());
  EXPECT_EQ(choices.PrintDest, kPrintNothing);
}

TEST_F(PrntDefTest, AFailedPdfCheckLeavesNothingToPrintOnTheCloseBox) {
  Settings("P", "C:\\REPORTS", "REJ.PDF");
  registry.WriteString(
      Hive::LocalMachine,
      std::string("\\Software\\CLASSES\\CLSID\\") + kPdfClassId + "\\InprocServer32", "",
      "D:\\ELSEWHERE\\PDFREPXP.DLL");
  ASSERT_TRUE(Open());
  EXPECT_EQ(View().format, FileFormat::Pdf);
  EXPECT_TRUE(View().printersEnabled);
  ui.ExpectShow(MessageKind::Error,
                "It appears that the file PDFREPXP.DLL is not in the Marrowfield program folder "
                "(C:\\MFW).  You will need to copy this file to the correct location before you "
                "can print a report in PDF format.");
  EXPECT_FALSE(dialog.Ok());
  EXPECT_EQ(choices.PrintDest, kPrintToPrinter);
  dialog.Closed();
  EXPECT_EQ(choices.PrintDest, kPrintNothing);

  // With the component in place the PDF goes to the selected printer.
  dir.Write("c/MFW/PDFREPXP.DLL", "");
  ASSERT_TRUE(Open());
  ASSERT_TRUE(dialog.Ok());
  EXPECT_EQ(choices.PrintDest, kPrintToPrinter);
  EXPECT_EQ(choices.PrinterName, "Ink");
  EXPECT_EQ(choices.PrintPathFileName, "C:\\REPORTS\\REJ.PDF");
}

}  // namespace
}  // namespace upfold
