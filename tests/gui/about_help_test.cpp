#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "app/RunValues.h"
#include "app/WindowCreated.h"
#include "app/ui/AboutF.h"
#include "app/ui/HelpF.h"
#include "app/ui/OpenDialog.h"
#include "support/gui/MainWindowHarness.h"
#include "support/gui/ModalDialogs.h"

namespace upfold {
namespace {

const std::array<std::string, 6> kParameters = {"250315", "", "Marrowfield", "01", "N", ""};

RunValues AboutValues() {
  RunValues values;
  values.ProductName = "Marrowfield \xc9lan";
  values.DataPath = "C:\\MFW\\DATA";
  values.WSID = "01";
  return values;
}

QString LabelText(const QWidget& window, const char* name) {
  const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
  return label == nullptr ? QStringLiteral("<no label>") : label->text();
}

TEST(AboutWindow, ShowsProductDataPathAndWorkstation) {
  ClearWindowCreated();
  AboutF about(AboutValues(), nullptr);
  EXPECT_TRUE(WindowCreated());
  EXPECT_EQ(about.windowTitle(), QString::fromUtf8("Marrowfield \u00c9lan"));
  EXPECT_EQ(LabelText(about, "ProductLabel"), QString::fromUtf8("Marrowfield \u00c9lan"));
  EXPECT_EQ(LabelText(about, "ProgramLabel"), "Import Remote");
  EXPECT_EQ(LabelText(about, "DataPathLabel"), "Data path: C:\\MFW\\DATA");
  EXPECT_EQ(LabelText(about, "WSIDLabel"), "Workstation: 01");
}

TEST(AboutWindow, OpensModallyFromTheHelpMenuWithTheArrowCursor) {
  test::MainWindowHarness w(kParameters, false);
  w.main.Values().ProductName = "Marrowfield";
  w.ui.hourglass = true;

  test::ModalScript script;
  bool flagClearedWhenShown = false;
  script.Then([&](QWidget* dialog) {
    EXPECT_NE(qobject_cast<AboutF*>(dialog), nullptr);
    flagClearedWhenShown = !WindowCreated();
    EXPECT_FALSE(w.ui.hourglass);
    qobject_cast<QDialog*>(dialog)->accept();
  });
  w.Find<QAction>("About1")->trigger();
  EXPECT_EQ(script.Seen(), 1);
  EXPECT_TRUE(flagClearedWhenShown);
  EXPECT_FALSE(w.ui.hourglass);
}

// A dialog whose creation stops before its last step.
class UnfinishedDialog : public QDialog {
 public:
  UnfinishedDialog() = default;
};

class FinishedDialog : public QDialog {
 public:
  FinishedDialog() { SetWindowCreated(); }
};

TEST(OpenDialog, ShowsOnlyDialogsWhoseCreationCompletedAndEndsWithTheArrow) {
  test::ScriptedUi ui;
  {
    test::ModalScript script;  // any modal window would fail the test
    SetWindowCreated();        // left over from elsewhere: must not count
    bool hourglassWhileCreating = false;
    OpenDialog(ui, true, [&] {
      hourglassWhileCreating = ui.hourglass;
      return std::make_unique<UnfinishedDialog>();
    });
    EXPECT_TRUE(hourglassWhileCreating);
    EXPECT_FALSE(ui.hourglass);
    OpenDialog(ui, true, [] { return nullptr; });
  }
  test::ModalScript script;
  script.Then([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
  ui.hourglass = true;
  bool arrowWhileCreating = false;
  OpenDialog(ui, false, [&] {
    arrowWhileCreating = !ui.hourglass;
    return std::make_unique<FinishedDialog>();
  });
  EXPECT_TRUE(arrowWhileCreating);
  EXPECT_EQ(script.Seen(), 1);
  EXPECT_FALSE(ui.hourglass);
}

// Every link of a help page, as written in it.
QStringList LinksOf(const QTextDocument& document) {
  QStringList links;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QString href = it.fragment().charFormat().anchorHref();
      if (!href.isEmpty() && !links.contains(href)) links << href;
    }
  }
  return links;
}

TEST(HelpWindow, OpensAtTheContentsAndEveryPageIsReachableWithoutBrokenLinks) {
  test::MainWindowHarness w(kParameters, false);
  w.Find<QAction>("MarrowfieldHelp1")->trigger();
  HelpF* help = w.window.Help();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_FALSE(help->isModal());
  QTextBrowser* browser = help->Browser();
  EXPECT_EQ(browser->source(), QUrl(HelpF::kContentsUrl));
  EXPECT_EQ(help->windowTitle(), "Import Remote: Contents");

  // Walk every page from the contents; each link must lead to a page with a title.
  QStringList pending{QStringLiteral("contents.html")};
  QStringList visited;
  while (!pending.isEmpty()) {
    const QString page = pending.takeFirst();
    if (visited.contains(page)) continue;
    visited << page;
    QFile file(QStringLiteral(":/help/") + page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "broken link to " << page.toStdString();
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    EXPECT_FALSE(document.metaInformation(QTextDocument::DocumentTitle).isEmpty())
        << page.toStdString();
    for (const QString& link : LinksOf(document)) pending << link.section('#', 0, 0);
  }
  EXPECT_GE(visited.size(), 7);

  browser->setSource(QUrl(QStringLiteral("qrc:/help/import.html")));
  EXPECT_EQ(help->windowTitle(), "Import Remote Data");
  w.window.close();
  EXPECT_FALSE(help->isVisible());
}

}  // namespace
}  // namespace upfold
