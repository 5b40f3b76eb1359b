#pragma once
// The main window's logic, without Qt: the creation and activation steps, the default remote
// folder kept in the registry, closing, and the dispatch of the window's commands to their
// handlers. It owns the run-wide values.

#include <array>
#include <functional>
#include <map>
#include <string>

#include "app/RunValues.h"
#include "platform/Locale.h"

namespace upfold {

class MainView;
class Registry;
class Ui;

// The commands of the main window's tool bar, menu and import group box.
enum class MainCommand {
  Process,              // ProcessSBClick: import button, "Process a remote batch", "Process"
  CancelProcess,        // CancelProcessBBClick: "Cancel" of the import group box
  RemoveListLine,       // ListBox1DblClick: double-click on a line of the import list
  Merge,                // MergeSBClick
  ViewRemote,           // ViewRemoteSBClick
  DeleteRejects,        // SBDelRejectsClick: "Delete Rejects...", "Delete backups of old reject files..."
  ViewRejects,          // ViewRejectSBClick
  ZipValidation,        // Copymastervalidationfiles1Click
  DeleteImportBackups,  // DelImpBackups1Click
  RemoteWsidLookups,    // RemoteWSIDlookups1Click
  RemoteConflicts,      // Remoteconflicts1Click
  Help,                 // MarrowfieldHelp1Click
  About,                // About1Click
  Exit,                 // ExitSBClick
};

// Work that belongs to windows and tables made elsewhere; an empty hook does nothing.
struct MainHooks {
  // Closes every table of the table set that is open.
  std::function<void()> closeAllTables;
  // Points the host-batch tables at their files ("<DataPath>\Trin<ws>.s;RES:Batch",
  // "<DataPath>\Desc<ws>.s;RES:TrDesc"); called on every activation, so it must tolerate
  // being given the same names again.
  std::function<void(const std::string& trinTable, const std::string& descTable)>
      pointHostBatchTables;
  // Marks the two deletion windows for their first-show set-up (end of creation).
  std::function<void()> markDeletionWindows;
  // Hands the default remote folder to the backups deletion window (when the window is shown).
  std::function<void(const std::string& folder)> deleteBackupsFolder;
};

class UpfoldMain {
 public:
  static constexpr const char* kApplicationTitle = "Import Remote";
  static constexpr const char* kCaption = "Import Remote ";

  // Reads the host configuration into the run-wide values; false when it failed (after its
  // own messages).
  using ConfigurationReader = std::function<bool(RunValues& values)>;

  // parameters: the six start-up parameters. registry and ui must outlive this object.
  UpfoldMain(Registry& registry, Ui& ui, const std::array<std::string, 6>& parameters);

  // The window whose controls the steps change; may be null (nothing shown then).
  void SetView(MainView* view) { view_ = view; }
  // Replaces RegReader over the program's own folder.
  void SetConfigurationReader(ConfigurationReader reader) { reader_ = std::move(reader); }
  MainHooks hooks;

  // The creation steps. False when the program must end: parameter 1 was refused (after an
  // error box; nothing else ran) or the configuration could not be read (after a message;
  // the remaining steps ran).
  bool Create();
  bool TerminateRequested() const { return terminate_; }
  // The window is shown for the first time.
  void Shown();
  // Every activation of the main window; the first one may start the import (parameter 6).
  void Activate();
  // The main window closes: a newly chosen remote folder is stored, every table closed.
  void Close();

  // DefaultRemotePath from the host key (created when missing); false on any registry
  // failure, silently.
  bool GetDefaultPathFromReg();
  // LastRemoteDir as DefaultRemotePath under the host key; false on any failure, silently.
  bool WriteDefaultPathToReg();
  void CloseAllTables();

  // Connects a command to its handler; a command without one does nothing.
  void SetHandler(MainCommand command, std::function<void()> handler);
  // Runs a command's handler. An exception escaping it is shown in an error box with the
  // arrow cursor, so that the program stays usable.
  void Run(MainCommand command);

  // "KVX Interrupt": checked means BridgeDebugSwitch "-d" for the next hand-off.
  void SetKvxInterrupt(bool checked);
  bool KvxInterrupt() const { return kvxInterrupt_; }

  RunValues& Values() { return values_; }
  const RunValues& Values() const { return values_; }
  // The system's regional date settings, read during creation.
  const DateFormats& Formats() const { return formats_; }
  Registry& GetRegistry() { return registry_; }
  Ui& GetUi() { return ui_; }

 private:
  std::string WsidFromParameter() const;

  Registry& registry_;
  Ui& ui_;
  MainView* view_ = nullptr;
  ConfigurationReader reader_;
  RunValues values_;
  DateFormats formats_;
  std::map<MainCommand, std::function<void()>> handlers_;
  bool terminate_ = false;
  bool kvxInterrupt_ = false;
};

}  // namespace upfold
