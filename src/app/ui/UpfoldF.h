#pragma once
// The main window: tool bar, title, the hidden import group box and progress line, and the
// menu. Its steps and commands run in UpfoldMain; this class builds the widgets, reflects
// the logic's state and forwards the window's events.
//
// objectNames of the controls:
//   tool bar  ToolBar1 with ProcessSB, MergeSB, ViewRemoteSB, SBDelRejects, ViewRejectSB,
//             ZipValFilesSB, ExitSB
//   contents  TitleLabel, ProgressText, ProcessGB with ListBox1, ProcessBB, CancelProcessBB
//   menus     File1: Exit1 | Edit1: Copy1, Paste1 | Options1: Processaremotebatch1,
//             Mergeaprocessedbatch1, Viewaremotebatch1, Viewtherejectedtransactions1,
//             DelImpBackups1, Deletebackupsofoldrejectfiles1, RemoteWSIDlookups1,
//             Remoteconflicts1, Copymastervalidationfiles1, KVXInterrupt1 |
//             Help1: MarrowfieldHelp1, About1

#include <QMainWindow>

#include "app/MainView.h"
#include "app/UpfoldMain.h"

class QAction;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QToolButton;

namespace upfold {

class HelpF;

class UpfoldF : public QMainWindow, public MainView {
  Q_OBJECT

 public:
  // Becomes main's view and the handler of Exit, Help and About. main must outlive it.
  explicit UpfoldF(UpfoldMain& main, QWidget* parent = nullptr);
  ~UpfoldF() override;

  void SetConflictsEnabled(bool enabled) override;
  void SetDeleteBackupsEnabled(bool enabled) override;
  void SetKvxInterruptChecked(bool checked) override;
  void SetImportEnabled(bool enabled) override;
  bool ProcessBoxVisible() const override;
  void SetProcessBoxVisible(bool visible) override;
  std::vector<std::string> ProcessListLines() const override;
  void SetProcessListLines(const std::vector<std::string>& lines) override;
  int ProcessListCurrentRow() const override;
  void ShowProgressLine(const std::string& text) override;
  void HideProgressLine() override;

  // The help window, once "Marrowfield Help" has opened it.
  HelpF* Help() const { return help_; }

 signals:
  // The window has closed; the program ends.
  void Closed();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildToolBar(QWidget* parent);
  void BuildMenu();
  void BuildContents(QWidget* central);
  QAction* AddItem(QMenu* menu, const char* name, const char* text, MainCommand command);
  void ShowHelp();
  void ShowAbout();

  UpfoldMain& main_;
  QWidget* toolBar_ = nullptr;
  QToolButton* processButton_ = nullptr;
  QLabel* progress_ = nullptr;
  QGroupBox* processBox_ = nullptr;
  QListWidget* list_ = nullptr;
  QAction* conflicts_ = nullptr;
  QAction* deleteBackups_ = nullptr;
  QAction* kvxInterrupt_ = nullptr;
  HelpF* help_ = nullptr;
  bool sized_ = false;
};

}  // namespace upfold
