#include "app/ui/QtUi.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/Registry.h"
#include "support/TempDir.h"
#include "support/gui/ModalDialogs.h"

namespace upfold {
namespace {

using test::ModalScript;

QMessageBox* AsBox(QWidget* dialog) {
  auto* box = qobject_cast<QMessageBox*>(dialog);
  EXPECT_NE(box, nullptr);
  return box;
}

TEST(QtUiText, Windows1252TextWithCarriageReturnsIsShownWithNewLines) {
  struct Case {
    const char* bytes;
    const char* shown;  // UTF-8
  };
  const Case cases[] = {
      {"Unable to access.\r\rPlease contact", "Unable to access.\n\nPlease contact"},
      {"one\r\ntwo\rthree", "one\ntwo\nthree"},
      {"Caf\xe9 \x80 10", "Caf\u00e9 \u20ac 10"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToDisplayText(c.bytes), QString::fromUtf8(c.shown)) << c.bytes;
  }
  EXPECT_EQ(FromDisplayText(QString::fromUtf8("Caf\u00e9 \u20ac")), "Caf\xe9 \x80");
}

TEST(QtUiText, FileFiltersBecomeQtFilters) {
  struct Case {
    const char* filter;
    const char* qt;
  };
  const Case cases[] = {
      {"Exported batches|Trin??.rme", "Exported batches (Trin??.rme)"},
      {"Batches|TRIN*.RME;TRIN*.CM|All files (*.*)|*.*",
       "Batches (TRIN*.RME TRIN*.CM);;All files (*.*) (*.*)"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(QtFileFilter(c.filter), QString::fromLatin1(c.qt)) << c.filter;
}

TEST(QtUiMessages, EachKindHasItsTitleAndIconAndAnOkButton) {
  struct Case {
    MessageKind kind;
    const char* title;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {MessageKind::Plain, "Import Remote", QMessageBox::NoIcon},
      {MessageKind::Information, "Information", QMessageBox::Information},
      {MessageKind::Warning, "Warning", QMessageBox::Warning},
      {MessageKind::Error, "Error", QMessageBox::Critical},
  };
  QtUi ui(nullptr);
  for (const Case& c : cases) {
    ModalScript script;
    script.Then([&](QWidget* dialog) {
      QMessageBox* box = AsBox(dialog);
      EXPECT_EQ(box->windowTitle(), c.title);
      EXPECT_EQ(box->icon(), c.icon) << c.title;
      EXPECT_EQ(box->text(), "First line\n\nlast line");
      EXPECT_EQ(box->buttons().size(), 1);
      test::ClickButton(box, "OK");
    });
    ui.Show(c.kind, "First line\r\rlast line");
    EXPECT_EQ(script.Seen(), 1);
  }
}

TEST(QtUiMessages, QuestionsAnswerWithTheButtonChosenAndEscapeChangesNothing) {
  struct Case {
    Buttons buttons;
    const char* click;  // nullptr: Escape
    Answer answer;
  };
  const Case cases[] = {
      {Buttons::YesNo, "Yes", Answer::Yes},
      {Buttons::YesNo, "No", Answer::No},
      {Buttons::YesNo, nullptr, Answer::No},
      {Buttons::YesNoCancel, "Yes", Answer::Yes},
      {Buttons::YesNoCancel, "No", Answer::No},
      {Buttons::YesNoCancel, "Cancel", Answer::Cancel},
      {Buttons::YesNoCancel, nullptr, Answer::Cancel},
  };
  QtUi ui(nullptr);
  for (const Case& c : cases) {
    ModalScript script;
    script.Then([&](QWidget* dialog) {
      QMessageBox* box = AsBox(dialog);
      EXPECT_EQ(box->windowTitle(), "Confirm");
      EXPECT_EQ(box->buttons().size(), c.buttons == Buttons::YesNo ? 2 : 3);
      if (c.click != nullptr)
        test::ClickButton(box, c.click);
      else
        box->reject();  // what Escape and the close button do
    });
    EXPECT_EQ(ui.Ask(MessageKind::Question, "Delete it?", c.buttons), c.answer)
        << (c.click ? c.click : "Escape");
  }
}

TEST(QtUiCursor, OneArrowUndoesAnyHourglassAndMessagesShowTheArrow) {
  QtUi ui(nullptr);
  ui.HourglassCursor();
  ui.HourglassCursor();
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

  ModalScript script;
  script.Then([](QWidget* dialog) {
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    test::ClickButton(AsBox(dialog), "OK");
  });
  ui.Information("Working");
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

  ui.ArrowCursor();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  ui.ArrowCursor();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

class QtUiFileDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.WriteString(Hive::LocalMachine,
                         "System\\CurrentControlSet\\Control\\Session Manager\\DOS Devices", "C:",
                         drive.Path());
    drive.Write("REMOTE/TRIN01.RME", "x");
    drive.Write("REMOTE/trin02.rme", "x");
    drive.Write("REMOTE/notes.txt", "x");
  }

  test::TempDir drive;
  test::TempDir dir;
  Registry registry{dir / "registry.reg"};
  QtUi ui{&registry};
};

TEST_F(QtUiFileDialog, StartsInTheDosFolderAndAnswersInDosPaths) {
  ModalScript script;
  script.Then([&](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->windowTitle(), "Find Marrowfield remote files");
    EXPECT_EQ(files->directory().absolutePath(), QString::fromStdString(drive / "REMOTE"));
    EXPECT_EQ(files->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(files->nameFilters(), QStringList{"Exported batches (Trin??.rme)"});
    files->selectFile(QStringLiteral("\"TRIN01.RME\" \"trin02.rme\""));
    static_cast<QDialog*>(files)->accept();
  });
  OpenFilesRequest request;
  request.title = "Find Marrowfield remote files";
  request.initialDir = "c:\\remote";
  request.filter = "Exported batches|Trin??.rme";
  request.multiSelect = true;
  EXPECT_EQ(ui.OpenFiles(request),
            (std::vector<std::string>{"C:\\REMOTE\\TRIN01.RME", "C:\\REMOTE\\trin02.rme"}));
}

TEST_F(QtUiFileDialog, CancelGivesNoFilesAndFilesOutsideEveryDriveAreRefused) {
  OpenFilesRequest request;
  request.title = "Find";
  request.initialDir = "C:\\REMOTE";
  {
    ModalScript script;
    script.Then([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_TRUE(ui.OpenFiles(request).empty());
  }
  test::TempDir elsewhere;
  const std::string outside = elsewhere.Write("TRIN09.RME", "x");
  ModalScript script;
  script.Then([&](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    EXPECT_EQ(files->fileMode(), QFileDialog::ExistingFile);
    files->selectFile(QString::fromStdString(outside));
    static_cast<QDialog*>(files)->accept();
  });
  script.Then([&](QWidget* dialog) {
    QMessageBox* box = AsBox(dialog);
    EXPECT_EQ(box->text(), QString::fromStdString("The file " + outside +
                                                  " is not on a drive of this installation."));
    test::ClickButton(box, "OK");
  });
  script.Then([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
  EXPECT_TRUE(ui.OpenFiles(request).empty());
}

}  // namespace
}  // namespace upfold
