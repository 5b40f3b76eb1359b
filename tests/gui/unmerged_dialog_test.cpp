#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/AppContext.h"
#include "app/WindowCreated.h"
#include "merge/ui/UnMergedF.h"
#include "platform/Clock.h"
#include "print/HostFixture.h"

namespace upfold::test {
namespace {

class UnMergedWindow : public HostFixture {
 protected:
  UnMergedWindow() {
    values.DataPath = "C:\\MFW\\DATA";
    values.WSID = "01";
    dir.Write("c/MFW/DATA/Trin01.s", "batch");
    dir.Write("c/MFW/DATA/Desc01.s", "descriptions");
    ClearWindowCreated();
    window = std::make_unique<UnMergedF>(ctx, "Batch one  ", "03/10/2005", nullptr);
  }
  QString Text(const char* name) {
    if (auto* label = window->findChild<QLabel*>(name)) return label->text();
    if (auto* memo = window->findChild<QPlainTextEdit*>(name)) return memo->toPlainText();
    return "<none>";
  }
  void Click(const char* name) {
    auto* button = window->findChild<QAbstractButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  FakeClock clock;
  RunValues values;
  AppContext ctx{registry, *fs, clock, ui, values, {}};
  std::unique_ptr<UnMergedF> window;
};

TEST_F(UnMergedWindow, ShowsTheBatchWithNoOptionChosenAndThePrintOnlyOptionDisabled) {
  EXPECT_TRUE(WindowCreated());
  window->show();
  EXPECT_EQ(Text("Panel5"), "Data path: C:\\MFW\\DATA");
  EXPECT_EQ(Text("UnmergedM"),
            "Your last batch has not been merged.\n \nBatch Name: Batch one\nDated 03/10/2005");
  for (int i = 0; i < 5; ++i) {
    EXPECT_FALSE(window->Option(i)->isChecked()) << i;
    EXPECT_EQ(window->Option(i)->isEnabled(), i != 1) << i;
  }
  EXPECT_EQ(window->Option(1)->text(), "Print (but do not merge)  ");
  EXPECT_EQ(window->windowFlags() & Qt::WindowCloseButtonHint, 0);
}

TEST_F(UnMergedWindow, OkNeedsAChoiceAndThenClosesWithIt) {
  window->show();
  ui.ExpectShow(MessageKind::Plain, "Please choose an option.");
  Click("OKBB");
  EXPECT_TRUE(window->isVisible());

  Click("UnMergedRG2");
  EXPECT_EQ(Text("Panel6"), "Append");
  Click("OKBB");
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Accepted);
  EXPECT_EQ(window->Outcome().choice, 2);
  EXPECT_FALSE(window->Outcome().stop);
}

TEST_F(UnMergedWindow, CancelChoosesTheExitOptionAndStops) {
  window->show();
  Click("UnMergedRG0");
  Click("CancelBB");
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(window->Option(4)->isChecked());
  EXPECT_EQ(Text("Panel6"), "Exit");
  EXPECT_EQ(window->Outcome().choice, 4);
  EXPECT_TRUE(window->Outcome().stop);
}

TEST_F(UnMergedWindow, ClosingOtherwiseIsRefusedWhileNothingIsChosen) {
  window->show();
  ui.ExpectShow(MessageKind::Plain, "Please choose an option.");
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  ui.ExpectShow(MessageKind::Plain, "Please choose an option.");
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(UnMergedWindow, EraseAnsweredNoKeepsTheFilesAndStops) {
  window->show();
  ui.ExpectAsk(MessageKind::Question, "Are you sure you want to erase the transaction batch?",
               Answer::No);
  Click("UnMergedRG3");
  EXPECT_EQ(Text("Panel6"), "Erase the current batch");
  Click("OKBB");
  EXPECT_EQ(window->Outcome().choice, 3);
  EXPECT_TRUE(window->Outcome().stop);
  EXPECT_TRUE(HostExists("MFW/DATA/Trin01.s"));
  EXPECT_TRUE(HostExists("MFW/DATA/Desc01.s"));
}

}  // namespace
}  // namespace upfold::test
