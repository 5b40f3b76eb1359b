// The print settings of the workstation, read from a real PRINT<ws>.LC: what each record
// gives, the questions for a missing or damaged file and the template copy.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/AppContext.h"
#include "data/TableFixture.h"
#include "platform/Clock.h"
#include "platform/printers/RecordingPrinters.h"
#include "print/PrintChoices.h"
#include "print/PrintSettings.h"
#include "print/PrinterList.h"

namespace upfold {
namespace {

std::string ReportRecord(const std::string& num, const std::string& toFile, const std::string& dir,
                         const std::string& name, const std::string& size = "R",
                         const std::string& pageLen = "60") {
  return test::Rec("Print")
      .Text("ReportNum", num)
      .Text("RptName", "Import rejects")
      .Text("PrintSize", size)
      .Text("PageLen", pageLen)
      .Text("PrntToFile", toFile)
      .Text("DirPath", dir)
      .Text("FileName", name);
}

std::string PrinterRecord(const std::string& num, const std::string& printer) {
  return test::Rec("Print").Text("ReportNum", num).Text("DirPath", printer);
}

class PrintSettingsTest : public test::TableFixture {
 protected:
  PrintSettingsTest() {
    values.DataPath = "C:\\MFW\\DATA";
    values.PgmDir = "C:\\MFW";
    values.WSID = "01";
    values.SystemDate = {2024, 1, 5};
    RecordingPrinters printers({"Laser on LPT1", "Ink"});
    list.Build(printers, ui);
  }

  bool Load(int report) {
    choices = PrintChoices{};
    choices.PrintReportNum = report;
    return store.GetPrintTBInfo(choices, settings);
  }

  // The template in the program directory, with these records.
  void MakeTemplate(const std::vector<std::string>& records) {
    MakeFile("template.tmp", "Print", records);
    std::filesystem::rename(dir / "c/MFW/DATA/template.tmp", dir / "c/MFW/Print.clo");
  }

  void ExpectDefaults() {
    EXPECT_TRUE(settings.DefaultsInUse);
    EXPECT_EQ(settings.ReportTitle, "Statements");
    EXPECT_EQ(settings.PrntToFile, "N");
    EXPECT_EQ(choices.PrintSize, "C");
    EXPECT_EQ(choices.PageLen, "66");
    EXPECT_EQ(choices.PrntNum, "10");
    EXPECT_EQ(choices.PrinterName, "Laser");
    EXPECT_EQ(choices.PrintFileName, "");
    EXPECT_EQ(choices.PrintPathFileName, "");
  }

  FakeClock clock;
  RunValues values;
  AppContext ctx{registry, *fs, clock, ui, values, DateFormats{}};
  PrinterList list;
  PrintSettingsStore store{ctx, list};
  PrintChoices choices;
  PrintSettings settings;
};

TEST_F(PrintSettingsTest, ReadsTheReportAndPrinterRecords) {
  struct Case {
    std::string toFile, dir, name, printer;
    std::string wantName, wantPath, wantPrinter;
    bool fileOnly;
  } cases[] = {
      {"Y", "C:\\MFW\\PRINT", "REJ.TXT", "Ink", "REJ.TXT", "C:\\MFW\\PRINT\\REJ.TXT", "Ink", false},
      // A blank destination is not "N": the dialog starts on File.
      {" ", "C:\\MFW\\PRINT\\", "REJ.TXT", "Ink", "REJ.TXT", "C:\\MFW\\PRINT\\REJ.TXT", "Ink",
       false},
      {"Y", "C:\\R", "*TXT", "   Laser", "IR010524.TXT", "C:\\R\\IR010524.TXT", "Laser", false},
      {"Y", "C:\\R", "*.TXT", "Ink", "IR010524", "C:\\R\\IR010524", "Ink", false},
      {"R", "", "X.LST", "Ink", "X.LST", "\\X.LST", "Ink", true},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(dir / "c/MFW/DATA/Print01.LC");
    MakeFile("Print01.LC", "Print",
             {ReportRecord("38", "N", "", ""), ReportRecord("44", c.toFile, c.dir, c.name),
              PrinterRecord("59", c.printer), PrinterRecord("53", "Laser")});
    ASSERT_TRUE(Load(44)) << c.name;
    EXPECT_EQ(settings.PrntToFile, c.toFile == " " ? "" : c.toFile);
    EXPECT_EQ(settings.FileOnly, c.fileOnly);
    EXPECT_FALSE(settings.DefaultsInUse);
    EXPECT_EQ(settings.ReportTitle, "Import rejects");
    EXPECT_EQ(choices.PrintSize, "R");
    EXPECT_EQ(choices.PageLen, "60");
    EXPECT_EQ(choices.PrintFileName, c.wantName);
    EXPECT_EQ(choices.PrintPathFileName, c.wantPath);
    EXPECT_EQ(choices.PrinterName, c.wantPrinter);
    EXPECT_FALSE(store.PrintTB().Active());
  }
}

TEST_F(PrintSettingsTest, NeverWritesToTheSettingsFile) {
  MakeFile("Print01.LC", "Print",
           {ReportRecord("44", "Y", "C:\\R", "*TXT"), PrinterRecord("59", "Ink")});
  const auto before = Stored("Print01.LC");
  ASSERT_TRUE(Load(44));
  ASSERT_TRUE(Load(44));
  EXPECT_EQ(Stored("Print01.LC"), before);
}

TEST_F(PrintSettingsTest, AMissingFileIsMadeFromTheTemplateWhenTheUserAgrees) {
  MakeTemplate({ReportRecord("44", "Y", "C:\\MFW\\PRINT", "REJ.TXT"), PrinterRecord("59", "Ink")});
  ui.ExpectAsk(MessageKind::Question,
               "The PRINT01.LC file is missing.\rDo you want to use the default settings?",
               Answer::Yes);
  ASSERT_TRUE(Load(44));
  ExpectDefaults();
  EXPECT_TRUE(HostExists("MFW/DATA/Print01.lc"));

  // The next opening reads the copy without a question.
  ASSERT_TRUE(Load(44));
  EXPECT_FALSE(settings.DefaultsInUse);
  EXPECT_EQ(choices.PrintPathFileName, "C:\\MFW\\PRINT\\REJ.TXT");
  EXPECT_EQ(choices.PrinterName, "Ink");
}

TEST_F(PrintSettingsTest, AMissingFileAndNoTemplate) {
  const std::string cannot = "The C:\\MFW\\DATA\\Print01.lc file cannot be created at this time." +
                             std::string(kContactLine);
  const std::string missing =
      "The PRINT01.LC file is missing.\rDo you want to use the default settings?";
  ui.ExpectAsk(MessageKind::Question, missing, Answer::No);
  EXPECT_FALSE(Load(44));

  // Yes still gives the defaults when the template is missing.
  ui.ExpectAsk(MessageKind::Question, missing, Answer::Yes);
  ui.ExpectShow(MessageKind::Error, "The file C:\\MFW\\Print.clo is missing!" + cannot);
  ASSERT_TRUE(Load(44));
  ExpectDefaults();
}

TEST_F(PrintSettingsTest, MissingRecordsAreOfferedDefaults) {
  MakeFile("Print01.LC", "Print",
           {ReportRecord("44", "Y", "C:\\R", "A.TXT"), ReportRecord("1", "Y", "C:\\R", "ONE.TXT")});
  const std::string noPrinter =
      "The PRINT01.LC  file is damaged or incomplete - can't find default printer name.\r"
      "Do you want to use the Laser printer?";
  ui.ExpectAsk(MessageKind::Question, noPrinter, Answer::Yes);
  ASSERT_TRUE(Load(44));
  EXPECT_EQ(choices.PrinterName, "Laser");
  EXPECT_EQ(choices.PrintFileName, "A.TXT");

  ui.ExpectAsk(MessageKind::Question, noPrinter, Answer::No);
  EXPECT_FALSE(Load(44));

  // Report 1 is keyed "1 ".
  ui.ExpectAsk(MessageKind::Question,
               "The PRINT01.LC  file is damaged or incomplete - can't find default printer "
               "name.\rDo you want to use the Laser printer?",
               Answer::Cancel);  // anything but No is Yes
  ASSERT_TRUE(Load(1));
  EXPECT_EQ(choices.PrintFileName, "ONE.TXT");

  const std::string noReport =
      "The PRINT01.LC  file is damaged or incomplete - can't find report number 38.\r"
      "Do you want to use the default settings for printing?";
  ui.ExpectAsk(MessageKind::Question, noReport, Answer::Yes);
  ASSERT_TRUE(Load(38));
  ExpectDefaults();
  ui.ExpectAsk(MessageKind::Question, noReport, Answer::No);
  EXPECT_FALSE(Load(38));
  EXPECT_FALSE(store.PrintTB().Active());
}

TEST_F(PrintSettingsTest, AFileThatCannotBeOpenedIsOfferedDefaults) {
  const std::string question =
      "The C:\\MFW\\DATA\\PRINT01.LC file cannot be opened.\rDo you want to use the default "
      "settings?";
  struct Case {
    const char* what;
    std::function<void()> make;
  } cases[] = {
      {"not a data file", [&] { dir.Write("c/MFW/DATA/Print01.LC", "garbage"); }},
      {"another layout", [&] { MakeFile("Print01.LC", "EMP"); }},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(dir / "c/MFW/DATA/Print01.LC");
    c.make();
    ui.ExpectAsk(MessageKind::Question, question, Answer::Yes);
    ASSERT_TRUE(Load(44)) << c.what;
    ExpectDefaults();
    ui.ExpectAsk(MessageKind::Question, question, Answer::No);
    EXPECT_FALSE(Load(44)) << c.what;
  }
}

TEST_F(PrintSettingsTest, ABlankWsidIsTakenFromTheStartParameters) {
  values.WSID = "  ";
  values.Params[3] = "07xyz";
  MakeFile("Print07.LC", "Print", {ReportRecord("44", "N", "", ""), PrinterRecord("59", "Ink")});
  ASSERT_TRUE(Load(44));
  EXPECT_EQ(choices.PrinterName, "Ink");
}

}  // namespace
}  // namespace upfold
