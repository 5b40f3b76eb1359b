#include "app/ui/UpfoldF.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <memory>

#include "support/gui/MainWindowHarness.h"
#include "support/gui/ModalDialogs.h"

namespace upfold {
namespace {

using Params = std::array<std::string, 6>;
const Params kGood = {"250315", "", "Marrowfield", "ABCD", "N", ""};

using MainWindow = test::MainWindowHarness;

constexpr MainCommand kAllCommands[] = {
    MainCommand::Process,         MainCommand::CancelProcess,     MainCommand::RemoveListLine,
    MainCommand::Merge,           MainCommand::ViewRemote,        MainCommand::DeleteRejects,
    MainCommand::ViewRejects,     MainCommand::ZipValidation,     MainCommand::DeleteImportBackups,
    MainCommand::RemoteWsidLookups, MainCommand::RemoteConflicts, MainCommand::Help,
    MainCommand::About,           MainCommand::Exit,
};

// Replaces every handler by one that records which command ran.
void RecordCommands(UpfoldMain& main, std::vector<MainCommand>& ran) {
  for (MainCommand command : kAllCommands)
    main.SetHandler(command, [&ran, command] { ran.push_back(command); });
}

TEST(UpfoldWindow, ToolBarHasSevenButtonsWithCaptionsHintsAndGlyphs) {
  struct Case {
    const char* name;
    const char* caption;
    const char* hint;
    MainCommand command;
  };
  const Case cases[] = {
      {"ProcessSB", "Import Remote Data", "Process a  remote batch", MainCommand::Process},
      {"MergeSB", "Merge", "Merge a processed remote file ", MainCommand::Merge},
      {"ViewRemoteSB", "View Remote", "View remote batch ", MainCommand::ViewRemote},
      {"SBDelRejects", "Delete Rejects...", "", MainCommand::DeleteRejects},
      {"ViewRejectSB", "View Rejects", "View rejected items from last import",
       MainCommand::ViewRejects},
      {"ZipValFilesSB", "Zip Validation", "Copy master validation files",
       MainCommand::ZipValidation},
      {"ExitSB", "Exit", "Exit to menu", MainCommand::Exit},
  };
  MainWindow w(kGood);
  std::vector<MainCommand> ran;
  RecordCommands(w.main, ran);
  w.window.show();  // lays the bar out
  int left = -1;
  for (const Case& c : cases) {
    auto* button = w.Find<QToolButton>(c.name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QString::fromLatin1(c.caption)) << c.name;
    EXPECT_EQ(button->toolTip(), QString::fromLatin1(c.hint)) << c.name;
    EXPECT_FALSE(button->icon().isNull()) << c.name;
    EXPECT_TRUE(button->isEnabled()) << c.name;
    EXPECT_GT(button->x(), left) << c.name << " stands left to right";
    left = button->x();
    ran.clear();
    button->click();
    EXPECT_EQ(ran, std::vector<MainCommand>{c.command}) << c.name;
  }
  EXPECT_EQ(w.Find<QWidget>("ToolBar1")->findChildren<QToolButton*>().size(), 7);
  w.window.close();
}

TEST(UpfoldWindow, MenuItemsCarryTheirCaptionsStatesAndCommands) {
  struct Case {
    const char* menu;
    const char* name;
    const char* caption;
    bool enabled;
    std::optional<MainCommand> command;
  };
  const Case cases[] = {
      {"File1", "Exit1", "Exit", true, MainCommand::Exit},
      {"Edit1", "Copy1", "Copy", true, std::nullopt},
      {"Edit1", "Paste1", "Paste", true, std::nullopt},
      {"Options1", "Processaremotebatch1", "Process a remote batch", true, MainCommand::Process},
      {"Options1", "Mergeaprocessedbatch1", "Merge a processed batch", true, MainCommand::Merge},
      {"Options1", "Viewaremotebatch1", "View a remote batch", true, MainCommand::ViewRemote},
      {"Options1", "Viewtherejectedtransactions1", "View the rejected transactions", true,
       MainCommand::ViewRejects},
      {"Options1", "DelImpBackups1", "Delete backups of imported remote batches...", false,
       MainCommand::DeleteImportBackups},
      {"Options1", "Deletebackupsofoldrejectfiles1", "Delete backups of old reject files...",
       true, MainCommand::DeleteRejects},
      {"Options1", "RemoteWSIDlookups1", "Remote WSID transaction lookups", true,
       MainCommand::RemoteWsidLookups},
      {"Options1", "Remoteconflicts1", "Remote conflicts check permissions", false,
       MainCommand::RemoteConflicts},
      {"Options1", "Copymastervalidationfiles1", "Zip the validation files", true,
       MainCommand::ZipValidation},
      {"Help1", "MarrowfieldHelp1", "Marrowfield Help", true, MainCommand::Help},
      {"Help1", "About1", "About", true, MainCommand::About},
  };
  MainWindow w(kGood);
  std::vector<MainCommand> ran;
  RecordCommands(w.main, ran);
  for (const Case& c : cases) {
    auto* menu = w.Find<QMenu>(c.menu);
    ASSERT_NE(menu, nullptr);
    auto* item = menu->findChild<QAction*>(QString::fromLatin1(c.name));
    ASSERT_NE(item, nullptr) << c.name << " in " << c.menu;
    EXPECT_TRUE(menu->actions().contains(item)) << c.name;
    EXPECT_EQ(item->text(), QString::fromLatin1(c.caption)) << c.name;
    EXPECT_EQ(item->isEnabled(), c.enabled) << c.name;
    EXPECT_FALSE(item->isCheckable()) << c.name;
    ran.clear();
    item->setEnabled(true);
    item->trigger();
    if (c.command)
      EXPECT_EQ(ran, std::vector<MainCommand>{*c.command}) << c.name;
    else
      EXPECT_TRUE(ran.empty()) << c.name;
  }
  EXPECT_FALSE(w.Find<QAction>("MarrowfieldHelp1")->icon().isNull());

  QStringList menus;
  for (QAction* menu : w.window.menuBar()->actions()) menus << menu->text().remove('&');
  EXPECT_EQ(menus, (QStringList{"File", "Edit", "Options", "Help"}));
}

TEST(UpfoldWindow, OptionsMenuHasItsSeparatorsAndTheKvxCheckItemLast) {
  MainWindow w(kGood);
  QStringList order;
  for (QAction* item : w.Find<QMenu>("Options1")->actions())
    order << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
  EXPECT_EQ(order, (QStringList{"Processaremotebatch1", "Mergeaprocessedbatch1",
                                "Viewaremotebatch1", "Viewtherejectedtransactions1", "-",
                                "DelImpBackups1", "Deletebackupsofoldrejectfiles1", "-",
                                "RemoteWSIDlookups1", "Remoteconflicts1", "-",
                                "Copymastervalidationfiles1", "-", "KVXInterrupt1"}));
  auto* kvx = w.Find<QAction>("KVXInterrupt1");
  EXPECT_EQ(kvx->text(), "KVX Interrupt");
  EXPECT_TRUE(kvx->isCheckable());
  EXPECT_FALSE(kvx->isChecked());
}

TEST(UpfoldWindow, ParameterFiveEnablesTheConflictsItemOnlyWhenItIsUpperCaseY) {
  for (const char* parameter : {"Y", "y", "N", ""}) {
    Params params = kGood;
    params[4] = parameter;
    MainWindow w(params);
    ASSERT_TRUE(w.created);
    EXPECT_EQ(w.Find<QAction>("Remoteconflicts1")->isEnabled(), std::string(parameter) == "Y")
        << "parameter '" << parameter << "'";
  }
}

TEST(UpfoldWindow, CaptionTitleAndHiddenControls) {
  MainWindow w(kGood);
  EXPECT_EQ(w.window.windowTitle(), "Import Remote ");
  EXPECT_EQ(w.Find<QLabel>("TitleLabel")->text(), "Marrowfield Remote Import");

  auto* box = w.Find<QGroupBox>("ProcessGB");
  EXPECT_EQ(box->title(), " Process these files?  ");
  EXPECT_TRUE(box->isHidden());
  EXPECT_NE(box->findChild<QListWidget*>("ListBox1"), nullptr);
  EXPECT_EQ(box->findChild<QPushButton*>("ProcessBB")->text(), "Process");
  EXPECT_EQ(box->findChild<QPushButton*>("CancelProcessBB")->text(), "Cancel");

  auto* progress = w.Find<QLabel>("ProgressText");
  EXPECT_EQ(progress->text(), " Please wait for printer selection ");
  EXPECT_TRUE(progress->isHidden());
}

TEST(UpfoldWindow, ShowingSizesTheClientAreaAndEnablesBackupDeletion) {
  MainWindow w(kGood);
  auto* backups = w.Find<QAction>("DelImpBackups1");
  EXPECT_FALSE(backups->isEnabled());
  w.window.show();
  EXPECT_TRUE(backups->isEnabled());

  const QWidget* bar = w.Find<QWidget>("ToolBar1");
  const QRect box = w.Find<QGroupBox>("ProcessGB")->geometry();
  const QSize client = w.window.centralWidget()->size();
  EXPECT_EQ(client.width(), bar->x() + bar->width() + 2);
  EXPECT_EQ(client.height(), box.y() + box.height() + std::lround(box.height() * 0.67));
  w.window.close();
}

TEST(UpfoldWindow, FirstActivationStartsTheImportOnceWithParameterSixX) {
  Params params = kGood;
  params[5] = "X";
  MainWindow w(params);
  int imports = 0;
  w.main.SetHandler(MainCommand::Process, [&] { ++imports; });
  w.window.show();
  w.window.activateWindow();
  QTRY_COMPARE(imports, 1);
  EXPECT_EQ(w.main.Values().WSID, "AB");

  // A message box over the main window and back: another activation, no second import.
  w.main.Values().WSID = "??";
  {
    test::ModalScript script;
    script.Then([](QWidget* box) { test::ClickButton(qobject_cast<QMessageBox*>(box), "OK"); });
    QMessageBox::information(&w.window, "Note", "Back to the main window");
  }
  w.window.activateWindow();
  QTRY_COMPARE(w.main.Values().WSID, std::string("AB"));
  QTest::qWait(20);
  EXPECT_EQ(imports, 1);
  w.window.close();
}

TEST(UpfoldWindow, KvxInterruptItemAndLogicStayInStep) {
  MainWindow w(kGood);
  auto* kvx = w.Find<QAction>("KVXInterrupt1");
  kvx->trigger();
  EXPECT_TRUE(kvx->isChecked());
  EXPECT_EQ(w.main.Values().BridgeDebugSwitch, "-d");
  // The hand-off unchecks it once a bridge command line is built.
  w.main.SetKvxInterrupt(false);
  EXPECT_FALSE(kvx->isChecked());
  kvx->trigger();
  kvx->trigger();
  EXPECT_FALSE(kvx->isChecked());
  EXPECT_EQ(w.main.Values().BridgeDebugSwitch, "");
}

TEST(UpfoldWindow, ExitClosesTheWindowThroughTheClosingSteps) {
  MainWindow w(kGood);
  int closes = 0;
  w.main.hooks.closeAllTables = [&] { ++closes; };
  w.main.Values().LastRemoteDir = "C:\\REMOTE\\";
  QSignalSpy closed(&w.window, &UpfoldF::Closed);
  w.window.show();
  w.Find<QToolButton>("ExitSB")->click();
  EXPECT_FALSE(w.window.isVisible());
  EXPECT_EQ(closed.count(), 1);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(w.registry.ReadString(Hive::LocalMachine, "\\Software\\Verrin\\Marrowfield\\Host",
                                  "DefaultRemotePath"),
            "C:\\REMOTE\\");
}

TEST(UpfoldWindow, ImportGroupBoxServesTheImportFlow) {
  MainWindow w(kGood);
  std::vector<MainCommand> ran;
  RecordCommands(w.main, ran);
  MainView& view = w.window;

  view.SetProcessBoxVisible(true);
  EXPECT_TRUE(view.ProcessBoxVisible());
  const std::vector<std::string> lines = {"C:\\REMOTE\\TRINAB.RME  12 recs  03/01/05 - 03/15/05",
                                          "C:\\REMOTE\\TRINCD.RME  1 recs  caf\xe9"};
  view.SetProcessListLines(lines);
  EXPECT_EQ(view.ProcessListLines(), lines);
  auto* list = w.Find<QListWidget>("ListBox1");
  EXPECT_EQ(list->item(1)->text(), QString::fromUtf8("C:\\REMOTE\\TRINCD.RME  1 recs  caf\u00e9"));

  list->setCurrentRow(1);
  EXPECT_EQ(view.ProcessListCurrentRow(), 1);
  emit list->itemDoubleClicked(list->item(1));
  w.Find<QPushButton>("ProcessBB")->click();
  w.Find<QPushButton>("CancelProcessBB")->click();
  EXPECT_EQ(ran, (std::vector<MainCommand>{MainCommand::RemoveListLine, MainCommand::Process,
                                           MainCommand::CancelProcess}));

  view.SetImportEnabled(false);
  EXPECT_FALSE(w.Find<QToolButton>("ProcessSB")->isEnabled());
  view.SetProcessBoxVisible(false);
  EXPECT_FALSE(view.ProcessBoxVisible());

  view.ShowProgressLine(" Merging - please do not interrupt.");
  auto* progress = w.Find<QLabel>("ProgressText");
  EXPECT_FALSE(progress->isHidden());
  EXPECT_EQ(progress->text(), " Merging - please do not interrupt.");
  view.HideProgressLine();
  EXPECT_TRUE(progress->isHidden());
}

}  // namespace
}  // namespace upfold
