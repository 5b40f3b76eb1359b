// The Printing Choices dialog on the screen, driven through its controls' names.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "app/AppContext.h"
#include "app/HostRegistry.h"
#include "data/TableFixture.h"
#include "platform/Clock.h"
#include "platform/printers/RecordingPrinters.h"
#include "print/PrintChoices.h"
#include "print/PrintFileName.h"
#include "print/PrinterList.h"
#include "print/PrntDef.h"
#include "print/ui/PrntDefF.h"
#include "print/ui/QtPrintChoicesAsker.h"
#include "support/gui/ModalDialogs.h"

namespace upfold {
namespace {

template <typename T>
T* Control(QWidget* dialog, const char* name) {
  T* found = dialog->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// A radio button of a group by its text.
QRadioButton* Radio(QWidget* dialog, const char* group, const char* text) {
  for (QRadioButton* button : Control<QGroupBox>(dialog, group)->findChildren<QRadioButton*>())
    if (button->text() == QString::fromLatin1(text)) return button;
  ADD_FAILURE() << "no " << text << " in " << group;
  return nullptr;
}

void Click(QWidget* dialog, const char* button) {
  QTest::mouseClick(Control<QPushButton>(dialog, button), Qt::LeftButton);
}

class PrntDefDialogTest : public test::TableFixture {
 protected:
  PrntDefDialogTest() {
    values.DataPath = "C:\\MFW\\DATA";
    values.PgmDir = "C:\\MFW";
    values.WSID = "01";
    values.SystemDate = {2024, 1, 5};
    registry.WriteString(Hive::LocalMachine, kHostKey, "Installed", "Y");
    registry.WriteString(Hive::LocalMachine, kDataPathKey, "H_0", "C:\\MFW\\DATA");
    registry.WriteString(Hive::LocalMachine, kDataPathKey, "D_0", "Office");
    MakeFolder("REPORTS/OLD");
  }

  void Settings(const std::string& report, const std::string& toFile, const std::string& name) {
    MakeFile("Print01.LC", "Print",
             {test::Rec("Print")
                  .Text("ReportNum", report)
                  .Text("PrintSize", "C")
                  .Text("PageLen", "66")
                  .Text("PrntToFile", toFile)
                  .Text("DirPath", "C:\\REPORTS")
                  .Text("FileName", name),
              test::Rec("Print")
                  .Text("ReportNum", std::to_string(std::stoi(report) + 15))
                  .Text("DirPath", "Ink")});
  }

  bool Ask(int report, std::function<void(QWidget*)> handler) {
    test::ModalScript script;
    script.Then(std::move(handler));
    return asker.Ask(report, choices);
  }

  FakeClock clock;
  RunValues values;
  AppContext ctx{registry, *fs, clock, ui, values, DateFormats{}};
  RecordingPrinters printers{{"Laser", "Ink", "Plotter"}, "Laser"};
  PrinterList list;
  PrntDef logic{ctx, printers, list};
  QtPrintChoicesAsker asker{logic};
  PrintChoices choices;
};

TEST_F(PrntDefDialogTest, ThePrinterChosenInTheList) {
  Settings("44", "N", "REJ.TXT");
  ASSERT_TRUE(Ask(44, [](QWidget* d) {
    EXPECT_EQ(d->windowTitle(), "Printing Choices");
    EXPECT_TRUE(Radio(d, "PrinterFileScreenRG", "Printer")->isChecked());
    EXPECT_FALSE(Control<QGroupBox>(d, "DelAppPrintFileExitRG")->isVisible());
    auto* name = Control<QLineEdit>(d, "PrintFileNameEB");
    EXPECT_FALSE(name->isEnabled());
    EXPECT_EQ(name->text(), "");
    EXPECT_TRUE(Radio(d, "PrintOrientationRG", "Landscape")->isChecked());
    EXPECT_FALSE(Radio(d, "DataOrTextRG", "PDF")->isEnabled());
    auto* printers = Control<QComboBox>(d, "AvailPrintersCB");
    EXPECT_EQ(printers->count(), 3);
    EXPECT_EQ(printers->currentText(), "Ink");
    printers->setCurrentIndex(2);
    emit printers->activated(2);
    QTest::mouseClick(Radio(d, "PrintOrientationRG", "Portrait"), Qt::LeftButton);
    Click(d, "OKBB");
  }));
  EXPECT_EQ(choices.PrintDest, kPrintToPrinter);
  EXPECT_EQ(choices.PrinterName, "Plotter");
  EXPECT_EQ(choices.PrintSize, "R");
}

TEST_F(PrntDefDialogTest, AnExistingFileAskedAboutInThePlaceOfTheMainChoice) {
  Settings("44", "Y", "REJ.TXT");
  dir.Write("c/REPORTS/REJ.TXT", "OLD\r\n");
  ASSERT_TRUE(Ask(44, [](QWidget* d) {
    EXPECT_TRUE(Radio(d, "PrinterFileScreenRG", "File")->isChecked());
    EXPECT_EQ(Control<QLabel>(d, "PrintFileL")->text(), "C:\\REPORTS\\REJ.TXT");
    Click(d, "OKBB");
    ASSERT_TRUE(d->isVisible());
    EXPECT_FALSE(Control<QGroupBox>(d, "PrinterFileScreenRG")->isVisible());
    EXPECT_TRUE(Control<QGroupBox>(d, "DelAppPrintFileExitRG")->isVisible());
    EXPECT_TRUE(Radio(d, "DelAppPrintFileExitRG", "Delete the existing file")->isChecked());
    QTest::mouseClick(Radio(d, "DelAppPrintFileExitRG", "Append to the existing file"),
                      Qt::LeftButton);
    Click(d, "OKBB");
  }));
  EXPECT_EQ(choices.PrintDest, kPrintToFile);
  EXPECT_EQ(dir.Read("c/REPORTS/REJ.TXT"), "OLD\r\n");
}

TEST_F(PrntDefDialogTest, TypingANewNameInAnotherFolder) {
  Settings("44", "N", "");
  ui.ExpectShow(MessageKind::Information, kNoScreenMessage);
  ui.ExpectShow(MessageKind::Error, kRefusedNameKeyMessage);
  ASSERT_TRUE(Ask(44, [](QWidget* d) {
    Radio(d, "PrinterFileScreenRG", "Screen")->click();
    EXPECT_TRUE(Radio(d, "PrinterFileScreenRG", "File")->isChecked());
    auto* list = Control<QListWidget>(d, "PrintFilePathDLB");
    ASSERT_TRUE(list->isEnabled());
    const auto old = list->findItems("OLD", Qt::MatchContains);
    ASSERT_EQ(old.size(), 1);
    emit list->itemActivated(old[0]);
    auto* name = Control<QLineEdit>(d, "PrintFileNameEB");
    name->setFocus();
    QTest::keyClicks(name, "new=.txt");
    EXPECT_EQ(name->text(), "NEW.TXT");
    EXPECT_EQ(Control<QLabel>(d, "PrintFileL")->text(), "C:\\REPORTS\\OLD\\NEW.TXT");
    Click(d, "OKBB");
  }));
  EXPECT_EQ(choices.PrintDest, kPrintToFile);
  EXPECT_EQ(choices.PrintPathFileName, "C:\\REPORTS\\OLD\\NEW.TXT");
  EXPECT_TRUE(HostExists("REPORTS/OLD/NEW.TXT"));
}

TEST_F(PrntDefDialogTest, WaysOfPrintingNothing) {
  Settings("41", "Y", "UP.TXT");
  struct Case {
    const char* what;
    std::function<void(QWidget*)> close;
  } cases[] = {
      {"Cancel", [](QWidget* d) { Click(d, "CancelBB"); }},
      {"close box", [](QWidget* d) { d->close(); }},
      {"exit choice",
       [](QWidget* d) {
         QTest::mouseClick(Radio(d, "PrinterFileScreenRG", "Exit without printing"),
                           Qt::LeftButton);
         Click(d, "OKBB");
       }},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(Ask(41, [&c](QWidget* d) {
      EXPECT_EQ(d->windowTitle(), "Printing Choices (Unposting)");
      c.close(d);
    })) << c.what;
    EXPECT_EQ(choices.PrintDest, kPrintNothing) << c.what;
  }
  EXPECT_FALSE(HostExists("REPORTS/UP.TXT"));
}

TEST_F(PrntDefDialogTest, WithoutPrintersOkOnPrinterStaysOpen) {
  RecordingPrinters none{{}};
  PrinterList empty;
  PrntDef bare{ctx, none, empty};
  QtPrintChoicesAsker bareAsker{bare};
  Settings("44", "N", "");
  ui.ExpectShow(MessageKind::Information,
                "You have no windows printers!\r\rYou must have at least one windows printer "
                "in order to print MARROWFIELD reports.");
  test::ModalScript script;
  script.Then([](QWidget* d) {
    EXPECT_EQ(Control<QComboBox>(d, "AvailPrintersCB")->count(), 0);
    Click(d, "OKBB");
    EXPECT_TRUE(d->isVisible());
    Click(d, "CancelBB");
  });
  EXPECT_FALSE(bareAsker.Ask(44, choices));
}

}  // namespace
}  // namespace upfold
