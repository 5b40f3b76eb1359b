// The reject report over real reject files: the exact lines of a print file, its pages, the
// retry when the print file cannot be opened, and the same report on a printer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <sstream>

#include "app/AppContext.h"
#include "data/Table.h"
#include "data/TableFixture.h"
#include "platform/Clock.h"
#include "platform/printers/QtPrinters.h"
#include "platform/printers/RecordingPrinters.h"
#include "print/PrintChoices.h"
#include "print/PrintChoicesAsker.h"
#include "print/PrinterList.h"
#include "print/RejectReport.h"

namespace upfold {
namespace {

using test::Rec;

// Answers the printing choices from a script: each answer fills the choices as the dialog
// would, or leaves nothing chosen.
class ScriptedAsker : public PrintChoicesAsker {
 public:
  bool Ask(int reportNumber, PrintChoices& choices) override {
    reports.push_back(reportNumber);
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected printing choices for report " << reportNumber;
      return false;
    }
    auto answer = std::move(answers.front());
    answers.pop_front();
    answer(choices);
    return choices.PrintDest != kPrintNothing;
  }
  std::deque<std::function<void(PrintChoices&)>> answers;
  std::vector<int> reports;
};

// A text of exactly width characters: the given text and blanks.
inline std::string Padded(const std::string& text, std::size_t width) {
  EXPECT_LE(text.size(), width) << text;
  return text + std::string(width - std::min(width, text.size()), ' ');
}

inline std::string Reject(const std::string& client, const std::string& caseSuffix,
                          const std::string& type, const std::string& date,
                          const std::string& group, const std::string& employee, double hours,
                          double amount, const std::string& seq, const std::string& mask) {
  return Rec("RemBatch")
      .Text("ClientCode", client)
      .Text("CaseSuffix", caseSuffix)
      .Text("Type", type)
      .Text("StringTransDate", date)
      .Text("GroupingCode", group)
      .Text("EmployeeCode", employee)
      .Number("ActualHours", hours)
      .Number("ActualAmount", amount)
      .Text("BillableEmpCode", employee)
      .Number("BillableHours", hours)
      .Number("BillableAmount", amount)
      .Text("SequenceNumber", seq)
      .Text("Unassigned2", mask);
}

inline std::string Description(const std::string& seq, const std::string& suffix,
                               const std::string& text) {
  return Rec("RemBatchD")
      .Text("SequenceNumber", seq)
      .Text("SequenceSuffix", suffix)
      .Text("Description", text);
}

class RejectReportTest : public test::TableFixture {
 protected:
  RejectReportTest() {
    // The title carries the date and time of the clock; read them in one zone everywhere.
    setenv("TZ", "UTC", 1);
    tzset();
    clock.SetNow(std::chrono::sys_days{std::chrono::December / 11 / 2026} + std::chrono::hours(14) +
                 std::chrono::minutes(5) + std::chrono::seconds(9));
    values.DataPath = "C:\\MFW\\DATA";
    values.WSID = "01";
    MakeFolder("REPORTS");
  }

  // Two rejecting batches around one without rejects.
  std::vector<RejectReportRow> TwoBatches() {
    MakeFile(
        "TRIN12.R01", "RemBatch",
        {Reject("BOLT", "     12", "C", "461130", "", "DBE", 0, 12.5, "       9", "+++4096"),
         Reject("ACME", "   0001", "F", "461211", "CT", "MAL", 1.5, 675, "       7", "+++  41")});
    MakeFile("Desc12.R01", "RemBatchD",
             {Description("       7", "1", "and reviewed exhibits"),
              Description("       8", "0", "another transaction"),
              Description("       7", "0", "Drafted motion to dismiss")});
    MakeFile(
        "TRIN34.R02", "RemBatch",
        {Reject("ZED", "      3", "T", "99x999", "ABCD", "HNG", 2, 250, "      11", "+++  32")});
    MakeFile("Desc34.R02", "RemBatchD");
    return {
        {"C:\\REMOTE\\TRIN12.RME", "5", "2", "C:\\MFW\\DATA\\TRIN12.R01", "C:\\REMOTE\\TRIN12.I01"},
        {"C:\\REMOTE\\TRIN23.RME", "3", "0", "No Reject File", "C:\\REMOTE\\TRIN23.I01"},
        {"C:\\REMOTE\\TRIN34.RME", "4", "1", "C:\\MFW\\DATA\\TRIN34.R02", "Not renamed"},
    };
  }

  void ToFile(const std::string& path, const std::string& pageLen = "60") {
    choices.PrintDest = kPrintToFile;
    choices.PrintPathFileName = path;
    choices.PageLen = pageLen;
  }

  // The lines of a file under drive C, split at CR LF.
  std::vector<std::string> FileLines(const std::string& underC) {
    const std::string text = dir.Read("c/" + underC);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last line end";
    return lines;
  }

  bool Print(const std::vector<RejectReportRow>& rows) {
    RejectReport report(ctx, {rejectTB, rejectDescTB, opener}, choices, asker, list, *printers);
    return report.PrintRejectReport(rows);
  }

  FakeClock clock;
  RunValues values;
  AppContext ctx{registry, *fs, clock, ui, values, DateFormats{}};
  Table rejectTB{*fs, "RejectFileTB"};
  Table rejectDescTB{*fs, "RejectDescFileTB"};
  std::vector<std::string> opened;  // the files the report opened, in order
  std::function<bool(Table&, const std::string&, const std::string&, const std::string&)> opener =
      [this](Table& table, const std::string& d, const std::string& index,
             const std::string& file) {
        opened.push_back(d + "\\" + file);
        if (!fs->FileExists(d + "\\" + file)) {
          ui.Error("The file " + d + "\\" + file + " is missing.");
          return false;
        }
        table.Open();
        table.SetIndexName(index);
        return true;
      };
  PrintChoices choices;
  ScriptedAsker asker;
  PrinterList list;
  RecordingPrinters* recording = new RecordingPrinters({"Laser on LPT1", "Ink"}, "Ink");
  std::unique_ptr<Printers> printers{recording};
};

const std::string kTitle =
    "     Database: C:\\MFW\\DATA         Marrowfield Import Remote Processing   Reject Report   "
    "12/11/2026 at 2:05:09 PM         Page ";

const std::vector<std::string> kColumnHeadings = {
    std::string(42, ' ') + "---------- Actual ---------- ---------- Billable ----------",
    "       Client-Case     Type  Date     Gp  Emp   Hrs/Units     $ Amount Emp     "
    "Hr/Units    $ Amount",
};

std::vector<std::string> HeaderBlock(int page, const std::string& original,
                                     const std::string& count, const std::string& renamed,
                                     const std::string& processed, const std::string& rejectFile,
                                     const std::string& rejects) {
  return {kTitle + std::to_string(page),
          "",
          "     Original file name: " + Padded(original, 60) +
              "Number of original records = " + Padded(count, 10),
          "      Renamed file name: " + Padded(renamed, 60) +
              "Number of processed records = " + Padded(processed, 10),
          "       Reject file name: " + Padded(rejectFile, 60) +
              "Number of rejected records = " + Padded(rejects, 10),
          "",
          kColumnHeadings[0],
          kColumnHeadings[1],
          ""};
}

std::vector<std::string> TwoBatchReport() {
  std::vector<std::string> lines =
      HeaderBlock(1, "C:\\REMOTE\\TRIN12.RME", "5", "C:\\REMOTE\\TRIN12.I01", "3",
                  "C:\\MFW\\DATA\\TRIN12.R01", "2");
  const std::vector<std::string> rejects = {
      "       ACME-0001        F  12/11/2026 CT  MAL       1.50       675.00  MAL        1.50"
      "       675.00",
      Padded("         *Reject reason: Bad date, Bad type code, Bad case", 95),
      Padded("         Drafted motion to dismiss", 87),
      Padded("         and reviewed exhibits", 87),
      "       BOLT-12          C  11/30/2026     DBE       0.00        12.50  DBE        0.00"
      "        12.50",
      Padded("         *Reject reason: Case frozen", 95),
      " ",
      "",
      " ",
      "",
  };
  lines.insert(lines.end(), rejects.begin(), rejects.end());
  const auto second = HeaderBlock(1, "C:\\REMOTE\\TRIN34.RME", "4", "Not renamed", "3",
                                  "C:\\MFW\\DATA\\TRIN34.R02", "1");
  lines.insert(lines.end(), second.begin(), second.end());
  // A four-character group runs into the employee; an unreadable date shows 01/01/81.
  lines.push_back(
      "       ZED-3            T  01/01/81   ABCDHNG       2.00       250.00  HNG        2.00"
      "       250.00");
  lines.push_back(Padded("         *Reject reason: Bad date", 95));
  return lines;
}

TEST_F(RejectReportTest, TwoBatchesToAFile) {
  const auto rows = TwoBatches();
  dir.Write("c/REPORTS/IR.TXT", "EARLIER REPORT\r\n");
  ToFile("C:\\REPORTS\\IR.TXT");
  ASSERT_TRUE(Print(rows));

  std::vector<std::string> expected = {"EARLIER REPORT"};  // appended after what was there
  const auto report = TwoBatchReport();
  expected.insert(expected.end(), report.begin(), report.end());
  EXPECT_EQ(FileLines("REPORTS/IR.TXT"), expected);
  EXPECT_EQ(opened,
            (std::vector<std::string>{"C:\\MFW\\DATA\\Desc12.R01", "C:\\MFW\\DATA\\TRIN12.R01",
                                      "C:\\MFW\\DATA\\Desc34.R02", "C:\\MFW\\DATA\\TRIN34.R02"}));
  EXPECT_FALSE(rejectTB.Active());
  EXPECT_TRUE(asker.reports.empty());
}

TEST_F(RejectReportTest, AFilePageBreaksAfterMoreThanPageLengthLessFiveLines) {
  std::vector<std::string> records;
  for (int i = 0; i < 30; ++i)
    records.push_back(Reject("C" + std::to_string(i / 10) + std::to_string(i % 10), "1", "F",
                             "461211", "", "MAL", 1, 10, "       1", "+++   1"));
  MakeFile("TRIN12.R01", "RemBatch", records);
  MakeFile("Desc12.R01", "RemBatchD");
  ToFile("C:\\REPORTS\\P.TXT", " 60");
  MakeFolder("REPORTS");
  dir.Write("c/REPORTS/P.TXT", "");
  ASSERT_TRUE(
      Print({{"C:\\REMOTE\\TRIN12.RME", "30", "30", "C:\\MFW\\DATA\\TRIN12.R01", "Not renamed"}}));

  // 9 header lines and 2 per reject: after the 24th reject 57 lines are on the page.
  const auto lines = FileLines("REPORTS/P.TXT");
  ASSERT_EQ(lines.size(), 66u + 9 + 2 * 6);
  EXPECT_EQ(lines[9].substr(0, 10), "       C00");
  EXPECT_EQ(lines[55].substr(0, 10), "       C23");
  for (std::size_t i = 57; i < 66; ++i) EXPECT_EQ(lines[i], "") << i;
  EXPECT_EQ(lines[66], kTitle + "2");
  EXPECT_EQ(lines[75].substr(0, 10), "       C24");
}

TEST_F(RejectReportTest, APrintFileThatCannotBeOpenedOffersTheChoicesAgain) {
  const auto rows = TwoBatches();
  ToFile("C:\\GONE\\IR.TXT");
  const std::string cannot =
      "Marrowfield was unable to access the file C:\\GONE\\IR.TXT.\rYou will not be able to "
      "print the post audit trail to file\rat the current time.";
  ui.ExpectShow(MessageKind::Error, cannot);
  asker.answers.push_back([](PrintChoices& c) { EXPECT_EQ(c.PrintDest, kPrintNothing); });
  EXPECT_FALSE(Print(rows));
  EXPECT_EQ(asker.reports, std::vector<int>{41});

  // A new choice is where the report then goes.
  ToFile("C:\\GONE\\IR.TXT");
  ui.ExpectShow(MessageKind::Error, cannot);
  dir.Write("c/REPORTS/UP.TXT", "");
  asker.answers.push_back([](PrintChoices& c) {
    c.PrintDest = kPrintToFile;
    c.PrintPathFileName = "C:\\REPORTS\\UP.TXT";
  });
  ASSERT_TRUE(Print(rows));
  EXPECT_EQ(FileLines("REPORTS/UP.TXT"), TwoBatchReport());
}

TEST_F(RejectReportTest, AMissingRejectFileEndsTheReport) {
  auto rows = TwoBatches();
  std::filesystem::remove(dir / "c/MFW/DATA/TRIN34.R02");
  dir.Write("c/REPORTS/IR.TXT", "");
  ToFile("C:\\REPORTS\\IR.TXT");
  ui.ExpectShow(MessageKind::Error, "The file C:\\MFW\\DATA\\TRIN34.R02 is missing.");
  EXPECT_FALSE(Print(rows));
  // The first batch was written and the file closed.
  auto expected = TwoBatchReport();
  expected.resize(9 + 6);
  EXPECT_EQ(FileLines("REPORTS/IR.TXT"), expected);
}

TEST_F(RejectReportTest, ReasonsByMaskBit) {
  struct Case {
    std::string unassigned2;
    std::string reasons;
  } cases[] = {
      {"+++  41", "Bad date, Bad type code, Bad case"},
      {"+++4096", "Case frozen"},
      {"+++   6", "No pymt to Dummy case, Case closed"},
      {"+++8191",
       "Case frozen, Bad units/hrs/rate or $ amt, Bad $ amt, Bad rate, Bad hrs/units, Bad "
       "group, Group is required, Bad date, Bad emp, Bad type code, No pymt to Dummy case, "
       "Case closed, Bad case"},
      {"+++8193", "Bad case"},  // a bit without a text is left out
      {"+++", ""},
      {"+++ x1 ", ""},
      {"+++  -5", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(GetRejectReason(c.unassigned2), c.reasons) << c.unassigned2;
}

TEST_F(RejectReportTest, OnAPrinter) {
  const auto rows = TwoBatches();
  list.Build(*printers, ui);
  choices.PrintDest = kPrintToPrinter;
  choices.PrinterName = "Laser";
  choices.PrintSize = "R";
  ASSERT_TRUE(Print(rows));

  ASSERT_EQ(recording->Jobs().size(), 1u);
  const auto& job = recording->Jobs()[0];
  EXPECT_EQ(job.printerName, "Laser on LPT1");
  EXPECT_EQ(job.options.orientation, Orientation::Portrait);
  const RecordingCanvas& canvas = *job.canvas;
  EXPECT_TRUE(canvas.Ended());
  ASSERT_FALSE(canvas.Texts().empty());
  CanvasFont font;
  font.height = 6300 / 62;
  font.width = 4800 / 141;
  font.weight = 700;
  font.fixedPitch = true;
  EXPECT_EQ(canvas.Texts()[0].font, font);

  // Every line of the report, each followed by its blank lines: steps of 12 points less 2
  // units (98 at 600 units per inch).
  std::vector<std::string> printed;
  int y = 0;
  for (const auto& text : canvas.Texts()) {
    EXPECT_EQ(text.x, 0);
    EXPECT_EQ(text.page, 1);
    EXPECT_EQ(text.y % 98, 0) << text.text;
    for (; y < text.y; y += 98) printed.push_back("");
    printed.push_back(text.text);
    y += 98;
  }
  auto expected = TwoBatchReport();
  EXPECT_EQ(printed, expected);
}

TEST_F(RejectReportTest, APrinterPageBreaksAboveFiveLinesFromTheFoot) {
  std::vector<std::string> records(
      40, Reject("A", "1", "F", "461211", "", "MAL", 1, 10, "       1", "+++   1"));
  MakeFile("TRIN12.R01", "RemBatch", records);
  MakeFile("Desc12.R01", "RemBatchD");
  choices.PrintDest = kPrintToPrinter;
  choices.PrinterName = "Ink";
  choices.PrintSize = "C";
  recording->pageWidth = 6300;
  recording->pageHeight = 4800;
  list.Build(*printers, ui);
  ASSERT_TRUE(
      Print({{"C:\\REMOTE\\TRIN12.RME", "40", "40", "C:\\MFW\\DATA\\TRIN12.R01", "Not renamed"}}));

  const auto& job = recording->Jobs().at(0);
  EXPECT_EQ(job.options.orientation, Orientation::Landscape);
  const RecordingCanvas& canvas = *job.canvas;
  // 9 points are 75 units: lines 73 apart, and the page ends after the first reject that
  // takes the position past 4800 - 5 * 75.
  int lastOnFirstPage = 0;
  for (const auto& text : canvas.Texts()) {
    if (text.page == 1) lastOnFirstPage = text.y;
  }
  EXPECT_GT(lastOnFirstPage + 73, 4800 - 5 * 75);
  EXPECT_LE(lastOnFirstPage - 73, 4800 - 5 * 75);
  ASSERT_EQ(canvas.Pages(), 2);
  const auto second = canvas.PageTexts(2);
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(second[0], kTitle + "2");
  EXPECT_EQ(canvas.FontChanges(), 2);
  EXPECT_EQ(canvas.Font().height, 4800 / 57);
  EXPECT_EQ(canvas.Font().width, 6300 / 184);
}

std::string PdfText(const std::filesystem::path& pdf) {
  const std::string command = "pdftotext -layout '" + pdf.string() + "' - 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string text;
  char buffer[4096];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) text += buffer;
  return text;
}

TEST_F(RejectReportTest, OnTheVirtualPdfPrinter) {
  const auto rows = TwoBatches();
  const std::filesystem::path folder = dir / "pdf";
  printers = MakeSystemPrinters({true, folder.string(), PaperSize::Letter});
  list.Build(*printers, ui);
  choices.PrintDest = kPrintToPrinter;
  choices.PrinterName = kVirtualPdfPrinterName;
  choices.PrintSize = "C";
  ASSERT_TRUE(Print(rows));

  std::vector<std::filesystem::path> pdfs;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) pdfs.push_back(entry);
  ASSERT_EQ(pdfs.size(), 1u);
  // The text reads back line by line; pdftotext lays out the blanks its own way.
  const auto collapse = [](const std::string& line) {
    std::string words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words += (words.empty() ? "" : " ") + word;
    return words;
  };
  std::vector<std::string> printed, expected;
  std::istringstream text(PdfText(pdfs[0]));
  for (std::string line; std::getline(text, line);)
    if (!collapse(line).empty()) printed.push_back(collapse(line));
  for (const std::string& line : TwoBatchReport())
    if (!collapse(line).empty()) expected.push_back(collapse(line));
  EXPECT_EQ(printed, expected);
}

// Jobs on a canvas with a planted failure; the canvas stays for the test to look at.
class FaultyPrinters : public Printers {
 public:
  std::vector<std::string> Names() override { return {"Ink"}; }
  std::string DefaultName() override { return "Ink"; }
  std::unique_ptr<PrinterCanvas> StartJob(const std::string&, const PrintJobOptions&) override {
    auto canvas = std::make_unique<RecordingCanvas>();
    canvas->refuseFonts = refuseFonts;
    if (failOnText > 0) canvas->FailOnText(failOnText, "Paper jam");
    last = canvas.get();
    return canvas;
  }
  bool refuseFonts = false;
  int failOnText = 0;
  RecordingCanvas* last = nullptr;
};

TEST_F(RejectReportTest, PrinterFailures) {
  const auto rows = TwoBatches();
  choices.PrintDest = kPrintToPrinter;
  choices.PrinterName = "Ink";
  const std::string failed =
      "Marrowfield was unable to complete printing the Remote Processing Reject report.\r\r"
      "The following error was encountered:\r\r";
  FaultyPrinters faulty;
  list.Build(faulty, ui);
  const auto print = [&] {
    RejectReport report(ctx, {rejectTB, rejectDescTB, opener}, choices, asker, list, faulty);
    return report.PrintRejectReport(rows);
  };

  // A breakdown during the job: shown, what was printed comes out, and the report is done.
  faulty.failOnText = 12;
  ui.ExpectShow(MessageKind::Error, failed + "Paper jam" + kContactLine);
  EXPECT_TRUE(print());
  EXPECT_EQ(faulty.last->Texts().size(), 11u);
  EXPECT_TRUE(faulty.last->Ended());
  EXPECT_FALSE(rejectTB.Active());

  // A font the printer cannot select is announced, and the printing goes on.
  faulty.failOnText = 0;
  faulty.refuseFonts = true;
  ui.ExpectShow(MessageKind::Plain, "Select object failed");
  EXPECT_TRUE(print());
  const auto lines = TwoBatchReport();
  EXPECT_EQ(faulty.last->Texts().size(),  // empty lines are not drawn
            lines.size() - std::count(lines.begin(), lines.end(), ""));

  // A printer that refuses the job.
  recording->refuseJobs = "The printer is offline.";
  list = PrinterList{};
  list.Build(*printers, ui);
  ui.ExpectShow(MessageKind::Error, failed + "The printer is offline." + kContactLine);
  EXPECT_TRUE(Print(rows));
}

}  // namespace
}  // namespace upfold
