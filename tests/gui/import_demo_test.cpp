// The demo office imported through the main window: the import button, the file dialog,
// "Process", the printing choices and the results window, as the program puts them together.
// The picture of the results window after the demo import is kept in the build folder
// (artifacts/results-window.png, or where UPFOLD_SCREENSHOT says).

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "app/AppContext.h"
#include "app/RegReader.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/Layout.h"
#include "data/Table.h"
#include "data/VantroDM.h"
#include "import/ui/ImportDesk.h"
#include "import/ui/QtImportWindow.h"
#include "import/ui/VantroF.h"
#include "merge/UnMergedDialog.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/DosFs.h"
#include "platform/printers/RecordingPrinters.h"
#include "print/PrintChoices.h"
#include "print/PrinterList.h"
#include "print/PrntDef.h"
#include "print/ui/PrntDefF.h"
#include "print/ui/QtPrintChoicesAsker.h"
#include "support/gui/MainWindowHarness.h"

namespace upfold::test {
namespace {

namespace fs = std::filesystem;

// A fresh demo installation has no host batch: the dialog must not be needed.
class NoUnMerged final : public UnMergedDialog {
 public:
  std::optional<UnMergedOutcome> Show(const std::string& name, const std::string&) override {
    ADD_FAILURE() << "unexpected unmerged-batch dialog for " << name;
    return std::nullopt;
  }
};

// The scripted Ui, with a hook into the pauses the run makes for the windows.
class PausingUi final : public Ui {
 public:
  explicit PausingUi(Ui& inner) : inner_(inner) {}
  void Show(MessageKind kind, const std::string& text) override { inner_.Show(kind, text); }
  Answer Ask(MessageKind kind, const std::string& text, Buttons buttons) override {
    return inner_.Ask(kind, text, buttons);
  }
  void HourglassCursor() override { inner_.HourglassCursor(); }
  void ArrowCursor() override { inner_.ArrowCursor(); }
  std::vector<std::string> OpenFiles(const OpenFilesRequest& request) override {
    return inner_.OpenFiles(request);
  }
  void ProcessMessages() override {
    inner_.ProcessMessages();
    if (onPause) onPause();
  }
  std::function<void()> onPause;

 private:
  Ui& inner_;
};

// What the results window showed when its run had ended.
struct Results {
  std::vector<std::array<std::string, 5>> file;  // FileSG, row 0 the headings
  std::vector<std::vector<std::string>> phases, cases;
  bool okVisible = false, shape1Visible = false;
  QRect phaseGrid, caseGrid;
  int width = 0;
  QString title;
};

std::vector<std::vector<std::string>> Rows(QTableWidget* grid) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> headings;
  for (int col = 0; col < grid->columnCount(); ++col)
    headings.push_back(grid->horizontalHeaderItem(col)
                           ? grid->horizontalHeaderItem(col)->text().toStdString()
                           : "");
  rows.push_back(headings);
  for (int row = 0; row < grid->rowCount(); ++row) {
    std::vector<std::string> cells;
    for (int col = 0; col < grid->columnCount(); ++col)
      cells.push_back(grid->item(row, col) ? grid->item(row, col)->text().toStdString() : "");
    rows.push_back(cells);
  }
  return rows;
}

class ImportDemoTest : public ::testing::Test {
 protected:
  // Parameter 6 of the start.
  virtual const char* AutoStart() const { return ""; }
  // What the first activation may already ask.
  virtual void BeforeShow(MainWindowHarness&) {}

  // Lays out the demo office in the harness's folder and starts the program on it.
  void SetUp() override {
    harness.emplace(
        std::array<std::string, 6>{"461211", "N", "Marrowfield", "01", "Y", AutoStart()}, false);
    MainWindowHarness& h = *harness;
    const std::string source = std::getenv("UPFOLD_SOURCE_DIR");
    const std::string build = std::getenv("UPFOLD_BINARY_DIR");
    const fs::path target = h.dir / "demo";
    const std::string command = "python3 '" + source + "/demo/install' --build '" + build + "' '" +
                                target.string() + "' >'" + (h.dir / "install.log") + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << Slurp(h.dir / "install.log");
    fs::copy_file(target / "registry.reg", h.registry.FilePath(),
                  fs::copy_options::overwrite_existing);
    h.main.SetConfigurationReader(
        [&h](RunValues& values) { return RegReader(h.registry, h.ui, "C:\\MFW", values); });
    ASSERT_TRUE(h.main.Create());

    dosFs.emplace(&h.registry);
    pausingUi.emplace(h.ui);
    context.emplace(
        AppContext{h.registry, *dosFs, clock, *pausingUi, h.main.Values(), h.main.Formats()});
    dm.emplace(*context);
    h.main.hooks.closeAllTables = [this] { dm->CloseAllTables(); };
    h.main.hooks.pointHostBatchTables = [this](const std::string& trin, const std::string& desc) {
      dm->PointHostBatchTables(trin, desc);
    };
    printSetup.emplace(*context, printers, printerList);
    asker.emplace(*printSetup, &h.window);
    importWindow.emplace(*context, *dm, ReportDevices{choices, *asker, printerList, printers},
                         &h.window);
    importWindow->onWindow = [this](VantroF* window) { results = window; };
    desk.emplace(h.main, *context, *dm, h.window,
                 ImportServices{
                     desktop, printers, printerList, choices, *asker, unMerged, *importWindow, {}});
    BeforeShow(h);
    h.window.show();
    QCoreApplication::processEvents();
  }

  void TearDown() override {
    if (!harness) return;
    harness->main.hooks = {};
    desk.reset();
  }

  static std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Answers the printing choices with their saved destination for the report (a file), then
  // waits (inside the results window's own event loop) for the run to end, notes what the
  // window shows, keeps its picture and presses OK.
  void AnswerDialogs() {
    MainWindowHarness& h = *harness;
    auto* poll = new QTimer(&h.window);
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal != nullptr && modal == &asker->Dialog() && !choicesShown) {
        choicesShown = true;
        for (auto* button :
             modal->findChild<QGroupBox*>("PrinterFileScreenRG")->findChildren<QRadioButton*>())
          if (button->isChecked()) choicesDestination = button->text().toStdString();
        modal->findChild<QPushButton*>("OKBB")->click();
        return;
      }
      if (results == nullptr || !results->RunFinished()) return;
      poll->stop();
      Note(results);
      results->findChild<QPushButton*>("OKBB")->click();
      poll->deleteLater();
    });
    poll->start(5);
  }

  void Note(VantroF* window) {
    for (int row = 0; row < window->FileRowCount(); ++row) {
      std::array<std::string, 5> cells;
      for (int col = 0; col < 5; ++col) cells[col] = window->FileCell(col, row);
      shown.file.push_back(cells);
    }
    auto* phase = window->findChild<QTableWidget*>("BudgetPhaseSG");
    auto* cases = window->findChild<QTableWidget*>("CaseBudgetSG");
    shown.phases = Rows(phase);
    shown.cases = Rows(cases);
    shown.phaseGrid = phase->isVisible() ? phase->geometry() : QRect();
    shown.caseGrid = cases->isVisible() ? cases->geometry() : QRect();
    shown.okVisible = window->findChild<QPushButton*>("OKBB")->isVisible();
    shown.shape1Visible = window->findChild<QWidget*>("Shape1")->isVisible();
    shown.width = window->width();
    shown.title = window->windowTitle();
    // The same activation again (a message box closing, say), or the window restored from its
    // icon, must not start a second run (it would meet the renamed batches).
    const ResultsRun* run = window->Results();
    QEvent again(QEvent::WindowActivate);
    QCoreApplication::sendEvent(window, &again);
    window->showMinimized();
    QTest::qWait(20);
    window->showNormal();
    window->activateWindow();
    QTest::qWait(20);
    EXPECT_EQ(window->Results(), run);
    EXPECT_TRUE(window->RunFinished());

    if (!keepPicture) return;
    const char* artifacts = std::getenv("UPFOLD_SCREENSHOT");
    const fs::path picture =
        artifacts != nullptr && *artifacts != '\0'
            ? fs::path(artifacts)
            : fs::path(std::getenv("UPFOLD_BINARY_DIR")) / "artifacts" / "results-window.png";
    fs::create_directories(picture.parent_path());
    EXPECT_TRUE(window->grab().save(QString::fromStdString(picture.string())))
        << "could not write " << picture;
  }

  std::vector<std::map<std::string, std::string>> Records(const std::string& dosPath,
                                                          const std::string& layout) {
    std::vector<std::map<std::string, std::string>> out;
    Table t(*dosFs, "Check");
    t.SetTableName(dosPath + ";RES:" + layout);
    t.Open();
    t.SetIndexName("0");
    for (t.First(); !t.IsEmpty() && !t.Eof(); t.Next()) {
      std::map<std::string, std::string> r;
      for (const FieldDef& f : t.GetLayout()->fields)
        r[std::string(f.name)] = Trim(t.AsString(f.name));
      out.push_back(r);
    }
    return out;
  }

  std::optional<MainWindowHarness> harness;
  std::optional<DosFs> dosFs;
  std::optional<PausingUi> pausingUi;
  FakeClock clock;
  std::optional<AppContext> context;
  std::optional<VantroDM> dm;
  FakeDesktop desktop;
  RecordingPrinters printers{{"Office laser"}, "Office laser"};
  PrinterList printerList;
  PrintChoices choices;
  std::optional<PrntDef> printSetup;
  std::optional<QtPrintChoicesAsker> asker;
  bool choicesShown = false;
  std::string choicesDestination;
  NoUnMerged unMerged;
  std::optional<QtImportWindow> importWindow;
  std::optional<ImportDesk> desk;
  VantroF* results = nullptr;
  Results shown;
  bool keepPicture = false;  // the results window's picture, for a person to look at
};

TEST_F(ImportDemoTest, ImportsTheThreeBatchesAndShowsTheirResults) {
  MainWindowHarness& h = *harness;
  const std::vector<std::string> batches = {"C:\\REMOTE\\TRIN12.RME", "C:\\REMOTE\\TRIN23.RME",
                                            "C:\\REMOTE\\TRIN34.RME"};
  h.ui.ExpectOpenFiles(batches);
  keepPicture = true;
  h.Find<QToolButton>("ProcessSB")->click();
  ASSERT_TRUE(h.window.ProcessBoxVisible());
  ASSERT_EQ(h.Find<QListWidget>("ListBox1")->count(), 3);

  AnswerDialogs();
  // While the run works, the grid already shows the first batch in progress; Escape and the
  // close box are refused: the window stays, the run ends. The program's closing on a terminate
  // signal waits for it too.
  bool closeTried = false, stayed = false, runningSeen = false;
  std::array<std::string, 5> firstBatchMidway;
  pausingUi->onPause = [&] {
    if (closeTried || results == nullptr || results->RunFinished()) return;
    closeTried = true;
    runningSeen = VantroF::ImportRunning();
    for (int col = 0; col < 5; ++col) firstBatchMidway[col] = results->FileCell(col, 1);
    results->reject();
    results->close();
    stayed = results->isVisible();
  };
  h.Find<QPushButton>("ProcessBB")->click();
  EXPECT_TRUE(closeTried);
  EXPECT_TRUE(stayed);
  EXPECT_TRUE(runningSeen);
  EXPECT_FALSE(VantroF::ImportRunning());
  EXPECT_EQ(firstBatchMidway,
            (std::array<std::string, 5>{"C:\\REMOTE\\TRIN12.RME", "18", "0", "", ""}));

  EXPECT_TRUE(choicesShown);
  EXPECT_EQ(choicesDestination, "File");
  EXPECT_EQ(choices.PrintReportNum, kImportReport);
  EXPECT_EQ(choices.PrintDest, kPrintToFile);
  EXPECT_FALSE(h.window.ProcessBoxVisible());
  EXPECT_TRUE(h.Find<QToolButton>("ProcessSB")->isEnabled());
  EXPECT_FALSE(h.ui.hourglass);

  // The results grid: headings, then each batch with its counts, reject file and new name.
  const std::vector<std::array<std::string, 5>> expected = {
      {"Remote file name", "Total recs", "# Rejects", "Reject file", "Renamed file"},
      {batches[0], "18", "2", "C:\\MFW\\DATA\\TRIN12.R01", "C:\\REMOTE\\TRIN12.001"},
      {batches[1], "14", "2", "C:\\MFW\\DATA\\TRIN23.R01", "C:\\REMOTE\\TRIN23.001"},
      {batches[2], "24", "15", "C:\\MFW\\DATA\\TRIN34.R01", "C:\\REMOTE\\TRIN34.001"},
  };
  EXPECT_EQ(shown.file, expected);
  EXPECT_EQ(shown.title.toStdString(), "Marrowfield  Remote Import Processing ");
  EXPECT_TRUE(shown.okVisible);

  // Budget warnings, both grids side by side around the window's centre.
  const std::vector<std::vector<std::string>> phases = {
      {"Client", "Case", "Group", "Budget", "Current"},
      {"HARWOOD", "      1", "CT", "10 hrs", "9.00 hrs"},
      {"KESTREL", "      1", "RS", "$5000", "$4620.00"},
      {"ORCHARD", "      1", "CF", "$2000", "$1805.00"},
      {"ORCHARD", "      1", "DR", "20 hrs", "18.00 hrs"},
  };
  const std::vector<std::vector<std::string>> cases = {
      {"Client", "Case", "Budget", "Current"},
      {"HARWOOD", "      2", "$12000.00", "$10861.25"},
      {"QUINCEY", "      2", "$3000.00", "$2705.00"},
  };
  EXPECT_EQ(shown.phases, phases);
  EXPECT_EQ(shown.cases, cases);
  EXPECT_TRUE(shown.shape1Visible);
  EXPECT_EQ(shown.phaseGrid.right() + 1, shown.width / 2 - 10);
  EXPECT_EQ(shown.caseGrid.left(), shown.width / 2 + 10);

  // The batches and their description files were renamed; nothing is left to import twice.
  for (const char* ws : {"12", "23", "34"}) {
    const std::string batch = std::string("C:\\REMOTE\\TRIN") + ws;
    const std::string desc = std::string("C:\\REMOTE\\DESC") + ws;
    EXPECT_TRUE(dosFs->FileExists(batch + ".001")) << ws;
    EXPECT_TRUE(dosFs->FileExists(desc + ".001")) << ws;
    EXPECT_FALSE(dosFs->FileExists(batch + ".RME")) << ws;
    EXPECT_FALSE(dosFs->FileExists(desc + ".RME")) << ws;
  }

  // The reject report went to the chosen file, one block per batch with rejects.
  ASSERT_EQ(choices.PrintPathFileName.rfind("C:\\MFW\\PRINT\\", 0), 0u)
      << choices.PrintPathFileName;
  const std::string report = Slurp(dosFs->ToHost(choices.PrintPathFileName).value_or(""));
  EXPECT_NE(report.find("Marrowfield Import Remote Processing   Reject Report"), std::string::npos)
      << report;
  for (const char* ws : {"12", "23", "34"})
    EXPECT_NE(report.find(std::string("TRIN") + ws + ".R01"), std::string::npos) << ws;

  // The rejects are in their files; the host batch holds the rest with the receptors.
  for (const auto& [file, rejects] :
       {std::pair{"TRIN12.R01", 2u}, std::pair{"TRIN23.R01", 2u}, std::pair{"TRIN34.R01", 15u}})
    EXPECT_EQ(Records(std::string("C:\\MFW\\DATA\\") + file, "RemBatch").size(), rejects) << file;
  const auto host = Records("C:\\MFW\\DATA\\Trin01.s", "Batch");
  EXPECT_EQ(host.size(), 46u);  // 37 accepted transactions and 9 fee-split receptors
  struct Posted {
    const char* client;
    const char* caseSuffix;
    const char* group;
    const char* hndr;
    const char* actual;
    const char* billableUnits;
    const char* billable;
  };
  const Posted posted[] = {
      {"COOPINS", "POOL", "DR", "D", "0", "3.5", "0"},  // dummy case without a rate code
      {"COOPINS", "101", "DR", "R", "682.5", "1.8", "341.25"},
      {"COOPINS", "103", "FF", "R", "435", "0", "130.5"},
      {"HARWOOD", "3", "CF", "R", "460", "1.2", "276"},
      {"HARWOOD", "1", "CR", "", "42", "0", "48.3"},
      {"HARWOOD", "1", "DP", "", "-5000", "0", "0"},
      {"TALBOT", "1", "CF", "N", "315", "0", "0"},
      {"ORCHARD", "1", "CL", "", "850", "3.5", "850"},
  };
  for (const Posted& p : posted) {
    SCOPED_TRACE(testing::Message() << p.client << " " << p.caseSuffix << " " << p.group);
    std::vector<std::map<std::string, std::string>> found;
    for (const auto& r : host)
      if (r.at("Client") == p.client && r.at("Case") == p.caseSuffix && r.at("Group") == p.group)
        found.push_back(r);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].at("Hndr"), p.hndr);
    EXPECT_EQ(found[0].at("ADollars"), p.actual);
    EXPECT_EQ(found[0].at("BUnits"), p.billableUnits);
    EXPECT_EQ(found[0].at("BDollars"), p.billable);
    EXPECT_EQ(found[0].at("LastTouchDate"), "461211");
  }
  // The third pool claim takes no share of fees, and no receptor is written without one.
  for (const auto& r : host)
    EXPECT_FALSE(r.at("Case") == "103" && r.at("Group") == "DR") << "zero receptor written";
}

// A failure that the run does not catch ends the run with a message; the window still gets
// its OK button and closes, and the batch that was being read is not renamed.
TEST_F(ImportDemoTest, AFailureTheRunDoesNotCatchEndsTheRunNotTheProgram) {
  MainWindowHarness& h = *harness;
  h.ui.ExpectOpenFiles({"C:\\REMOTE\\TRIN12.RME"});
  h.Find<QToolButton>("ProcessSB")->click();
  ASSERT_TRUE(h.window.ProcessBoxVisible());
  bool thrown = false;
  pausingUi->onPause = [&] {
    if (thrown || results == nullptr || results->RunFinished()) return;
    thrown = true;
    throw std::runtime_error("disk full");
  };
  h.ui.ExpectShow(MessageKind::Error,
                  "The import stopped before its end.\r\rdisk full\r\rPlease contact Verrin, "
                  "Inc. for assistance.");
  AnswerDialogs();
  h.Find<QPushButton>("ProcessBB")->click();

  EXPECT_TRUE(thrown);
  EXPECT_TRUE(shown.okVisible);
  EXPECT_FALSE(VantroF::ImportRunning());
  EXPECT_FALSE(h.ui.hourglass);
  EXPECT_TRUE(dosFs->FileExists("C:\\REMOTE\\TRIN12.RME"));
  EXPECT_FALSE(dm->TrinScratchTB.Active());
}

// Parameter 6 "X": the first activation opens the import's file dialog; later activations
// (back from a dialog) do not.
class ImportAutostartTest : public ImportDemoTest {
 protected:
  const char* AutoStart() const override { return "X"; }
  void BeforeShow(MainWindowHarness& h) override { h.ui.ExpectOpenFiles({}); }  // cancelled
};

TEST_F(ImportAutostartTest, OpensTheFileDialogOnTheFirstActivationOnly) {
  MainWindowHarness& h = *harness;
  h.window.activateWindow();
  QTRY_COMPARE(h.ui.fileRequests.size(), std::size_t{1});
  EXPECT_EQ(h.ui.fileRequests[0].initialDir, "C:\\REMOTE");
  for (int again = 0; again < 2; ++again) {
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&h.window, &activate);
    QTest::qWait(10);
  }
  EXPECT_EQ(h.ui.fileRequests.size(), 1u);
  EXPECT_FALSE(h.window.ProcessBoxVisible());
}

}  // namespace
}  // namespace upfold::test
