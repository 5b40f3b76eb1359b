// The results window's layout as the run drives it: designed layout, the shrinking without
// budget warnings, and the placing of one or both warning grids.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <numeric>

#include "app/AppContext.h"
#include "data/VantroDM.h"
#include "import/ui/VantroF.h"
#include "platform/Clock.h"
#include "platform/DosFs.h"
#include "platform/Registry.h"
#include "platform/printers/RecordingPrinters.h"
#include "print/PrintChoices.h"
#include "print/PrintChoicesAsker.h"
#include "print/PrinterList.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace upfold::test {
namespace {

class NoChoices final : public PrintChoicesAsker {
 public:
  bool Ask(int, PrintChoices&) override { return false; }
};

class VantroWindowTest : public ::testing::Test {
 protected:
  template <typename T>
  T* Find(const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QTableWidget* Grid(const char* name) { return Find<QTableWidget>(name); }
  int Centre() const { return window.width() / 2; }

  TempDir dir;
  Registry registry{dir / "registry.reg"};
  DosFs fs{&registry};
  FakeClock clock;
  ScriptedUi ui;
  RunValues values;
  AppContext ctx{registry, fs, clock, ui, values, {}};
  VantroDM dm{ctx};
  RecordingPrinters printers{{}};
  PrinterList printerList;
  PrintChoices choices;
  NoChoices asker;
  VantroF window{ctx, dm, ReportDevices{choices, asker, printerList, printers}};
};

TEST_F(VantroWindowTest, DesignedLayoutBeforeTheRun) {
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Marrowfield  Remote Import Processing "));
  EXPECT_TRUE(Find<QPushButton>("OKBB")->isHidden());
  for (const char* hidden :
       {"Shape1", "LabelPhaseBudget", "BudgetPhaseSG", "LabelCaseBudget", "CaseBudgetSG"})
    EXPECT_TRUE(Find<QWidget>(hidden)->isHidden()) << hidden;

  struct GridCase {
    const char* name;
    std::vector<int> widths;
  };
  const GridCase grids[] = {
      {"FileSG", {VantroF::kFileWidths.begin(), VantroF::kFileWidths.end()}},
      {"BudgetPhaseSG", {VantroF::kPhaseWidths.begin(), VantroF::kPhaseWidths.end()}},
      {"CaseBudgetSG", {VantroF::kCaseWidths.begin(), VantroF::kCaseWidths.end()}},
  };
  for (const GridCase& g : grids) {
    QTableWidget* grid = Grid(g.name);
    for (int col = 0; col < static_cast<int>(g.widths.size()); ++col)
      EXPECT_EQ(grid->columnWidth(col), g.widths[col]) << g.name << " " << col;
    EXPECT_EQ(grid->width(), std::accumulate(g.widths.begin(), g.widths.end(), 0) + 25) << g.name;
    EXPECT_EQ(grid->x(), (window.width() - grid->width()) / 2) << g.name;
  }
  EXPECT_EQ(Grid("FileSG")->width(), 716);
  const QRect file = Grid("FileSG")->geometry();
  const QRect label = Find<QLabel>("Label2")->geometry();
  EXPECT_EQ(label.x(), file.x());
  EXPECT_EQ(label.width(), file.width());
  EXPECT_LT(label.bottom(), file.top());
  EXPECT_EQ(Find<QLabel>("Label2")->text(), QStringLiteral("Import Processing Results"));
  EXPECT_EQ(Find<QWidget>("Shape1")->width(), window.width() - 2);
  EXPECT_EQ(Find<QWidget>("Shape2")->width(), Find<QWidget>("Shape1")->width());
  const QPushButton* ok = Find<QPushButton>("OKBB");
  EXPECT_EQ(ok->x(), (window.width() - ok->width()) / 2);
}

TEST_F(VantroWindowTest, GridCellsCountTheHeadingRow) {
  window.SetFileRowCount(3);
  window.SetFileCell(0, 0, "Remote file name");
  window.SetFileCell(0, 2, "C:\\REMOTE\\TRIN23.RME");
  window.SetFileCell(3, 1, "No Reject File");
  window.SetFileCell(2, 2, "7");
  window.SetFileCell(2, 2, "8");
  EXPECT_EQ(window.FileRowCount(), 3);
  EXPECT_EQ(Grid("FileSG")->rowCount(), 2);
  EXPECT_EQ(Grid("FileSG")->horizontalHeaderItem(0)->text(), QStringLiteral("Remote file name"));
  EXPECT_EQ(window.FileCell(0, 0), "Remote file name");
  EXPECT_EQ(window.FileCell(0, 2), "C:\\REMOTE\\TRIN23.RME");
  EXPECT_EQ(window.FileCell(3, 1), "No Reject File");
  EXPECT_EQ(window.FileCell(2, 2), "8");
  EXPECT_EQ(window.FileCell(4, 2), "");
  // A Windows-1252 name reaches the grid as its character and comes back as its byte.
  window.SetFileCell(4, 1, "C:\\REMOTE\\CAF\xC9.001");
  EXPECT_EQ(Grid("FileSG")->item(0, 4)->text(), QString::fromUtf8("C:\\REMOTE\\CAF\xC3\x89.001"));
  EXPECT_EQ(window.FileCell(4, 1), "C:\\REMOTE\\CAF\xC9.001");
}

TEST_F(VantroWindowTest, WithoutWarningsTheWindowEndsUnderTheResults) {
  const int designed = window.height();
  window.ShowOK();
  const QWidget* shape1 = Find<QWidget>("Shape1");
  const QWidget* shape2 = Find<QWidget>("Shape2");
  const QPushButton* ok = Find<QPushButton>("OKBB");
  EXPECT_FALSE(ok->isHidden());
  EXPECT_TRUE(shape1->isHidden());
  EXPECT_EQ(shape2->y(), shape1->y());
  EXPECT_EQ(ok->y(), shape2->y() + 8);
  EXPECT_GT(window.height(), ok->geometry().bottom());
  EXPECT_LT(window.height(), designed);
}

TEST_F(VantroWindowTest, WarningGridsAreCentredAloneAndSideBySideTogether) {
  struct Case {
    bool phase, cases;
  };
  for (const Case c : {Case{true, false}, Case{false, true}, Case{true, true}}) {
    SCOPED_TRACE(testing::Message() << "phase " << c.phase << ", case " << c.cases);
    VantroF w(ctx, dm, ReportDevices{choices, asker, printerList, printers});
    const int shrunk = [&] {
      w.ShowOK();
      return w.height();
    }();
    if (c.phase) {
      w.AddPhaseWarning({"HARWOOD", "      1", "CT", "10 hrs", "9.00 hrs"});
      w.AddPhaseWarning({"ORCHARD", "      1", "DR", "20 hrs", "18.00 hrs"});
    }
    if (c.cases) w.AddCaseWarning({"QUINCEY", "      2", "$3000.00", "$2705.00"});

    auto* phase = w.findChild<QTableWidget*>("BudgetPhaseSG");
    auto* cases = w.findChild<QTableWidget*>("CaseBudgetSG");
    auto* phaseLabel = w.findChild<QLabel*>("LabelPhaseBudget");
    auto* caseLabel = w.findChild<QLabel*>("LabelCaseBudget");
    EXPECT_EQ(phase->isHidden(), !c.phase);
    EXPECT_EQ(phaseLabel->isHidden(), !c.phase);
    EXPECT_EQ(cases->isHidden(), !c.cases);
    EXPECT_EQ(caseLabel->isHidden(), !c.cases);
    EXPECT_FALSE(w.findChild<QWidget*>("Shape1")->isHidden());
    EXPECT_GT(w.height(), shrunk);

    const int centre = w.width() / 2;
    if (c.phase && c.cases) {
      EXPECT_EQ(phase->geometry().right() + 1, centre - 10);
      EXPECT_EQ(cases->x(), centre + 10);
    } else {
      QTableWidget* shownGrid = c.phase ? phase : cases;
      EXPECT_EQ(shownGrid->x(), (w.width() - shownGrid->width()) / 2);
    }
    for (auto [grid, label] : {std::pair{phase, phaseLabel}, std::pair{cases, caseLabel}}) {
      EXPECT_EQ(label->x(), grid->x());
      EXPECT_EQ(label->width(), grid->width());
      EXPECT_LT(label->geometry().bottom(), grid->y());
    }
    const QWidget* shape2 = w.findChild<QWidget*>("Shape2");
    EXPECT_GT(shape2->y(), std::max(phase->geometry().bottom(), cases->geometry().bottom()));
    EXPECT_EQ(w.findChild<QPushButton*>("OKBB")->y(), shape2->y() + 8);

    if (c.phase) {
      ASSERT_EQ(phase->rowCount(), 2);
      EXPECT_EQ(phase->horizontalHeaderItem(4)->text(), QStringLiteral("Current"));
      EXPECT_EQ(phase->item(1, 3)->text(), QStringLiteral("20 hrs"));
    }
    if (c.cases) {
      ASSERT_EQ(cases->rowCount(), 1);
      EXPECT_EQ(cases->horizontalHeaderItem(2)->text(), QStringLiteral("Budget"));
      EXPECT_EQ(cases->item(0, 0)->text(), QStringLiteral("QUINCEY"));
    }
  }
}

}  // namespace
}  // namespace upfold::test
