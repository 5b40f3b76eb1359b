#include "app/UpfoldMain.h"

#include <clocale>
#include <exception>

#include "app/DateConversions.h"
#include "app/HostRegistry.h"
#include "app/LaunchCheck.h"
#include "app/MainView.h"
#include "app/RegReader.h"
#include "app/Ui.h"
#include "app/WindowCreated.h"
#include "platform/DosFs.h"
#include "platform/Registry.h"

namespace upfold {

namespace {

constexpr const char* kDefaultRemotePath = "DefaultRemotePath";

bool IsBlankText(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > ' ') return false;
  }
  return true;
}

}  // namespace

UpfoldMain::UpfoldMain(Registry& registry, Ui& ui, const std::array<std::string, 6>& parameters)
    : registry_(registry), ui_(ui) {
  values_.Params = parameters;
}

std::string UpfoldMain::WsidFromParameter() const { return values_.Param(4).substr(0, 2); }

bool UpfoldMain::Create() {
  const std::string& date = values_.Param(1);
  if (!PassesLaunchCheck(date)) {
    ui_.Error(kLaunchMessage);
    ui_.ArrowCursor();
    terminate_ = true;
    return false;
  }

  values_.WSID = WsidFromParameter();
  values_.DiagnosticSwitch = values_.Param(2);

  try {
    formats_ = DateFormats::FromRegistry(&registry_);
  } catch (const std::exception&) {
    // A damaged registry is reported when the configuration is read; the defaults serve.
    formats_ = DateFormats{};
  }
  const std::optional<CivilDate> workingDate = WorkingDateOf(date);
  if (!workingDate) {
    ui_.Error(NotADateMessage(date, formats_.shortDate));
    ui_.ArrowCursor();
    terminate_ = true;
    return false;
  }
  values_.SystemDate = *workingDate;

  if (values_.DiagnosticSwitch == "G") ui_.Plain("Before RegReader");
  values_.ProductName = values_.Param(3);

  bool configured = false;
  if (reader_) {
    configured = reader_(values_);
  } else {
    try {
      configured = RegReader(registry_, ui_, DosFs(&registry_).ProgramDir(), values_);
    } catch (const std::exception& error) {
      ui_.Error(std::string(error.what()) + kContactLine);
    }
  }
  if (!configured) {
    ui_.Plain(std::string("Unable to access Import Remote.") + kContactLine);
    ui_.ArrowCursor();
    terminate_ = true;
  }

  values_.SystemFileDate = DateToFileDate(values_.SystemDate, false, formats_, ui_);
  if (view_ != nullptr) view_->SetConflictsEnabled(values_.Param(5) == "Y");
  ui_.ArrowCursor();
  SetKvxInterrupt(false);
  GetDefaultPathFromReg();
  if (hooks.markDeletionWindows) hooks.markDeletionWindows();
  SetWindowCreated();
  return !terminate_;
}

void UpfoldMain::Shown() {
  if (view_ != nullptr) view_->SetDeleteBackupsEnabled(true);
  if (hooks.deleteBackupsFolder) hooks.deleteBackupsFolder(values_.DefaultRemotePath);
}

void UpfoldMain::Activate() {
  // Numbers are written with "." and "," whatever the host's regional settings say.
  std::setlocale(LC_NUMERIC, "C");
  values_.WSID = WsidFromParameter();
  if (hooks.pointHostBatchTables) {
    hooks.pointHostBatchTables(values_.DataPath + "\\Trin" + values_.WSID + ".s;RES:Batch",
                               values_.DataPath + "\\Desc" + values_.WSID + ".s;RES:TrDesc");
  }
  if (WindowCreated()) {
    ClearWindowCreated();
    if (values_.Param(6) == "X") Run(MainCommand::Process);
  }
}

void UpfoldMain::Close() {
  if (!IsBlankText(values_.LastRemoteDir) && values_.LastRemoteDir != values_.DefaultRemotePath)
    WriteDefaultPathToReg();
  CloseAllTables();
}

bool UpfoldMain::GetDefaultPathFromReg() {
  try {
    if (!registry_.KeyExists(Hive::LocalMachine, kHostKey))
      registry_.CreateKey(Hive::LocalMachine, kHostKey);
    values_.DefaultRemotePath =
        registry_.ReadString(Hive::LocalMachine, kHostKey, kDefaultRemotePath).value_or("");
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool UpfoldMain::WriteDefaultPathToReg() {
  try {
    registry_.WriteString(Hive::LocalMachine, kHostKey, kDefaultRemotePath,
                          values_.LastRemoteDir);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void UpfoldMain::CloseAllTables() {
  if (hooks.closeAllTables) hooks.closeAllTables();
}

void UpfoldMain::SetHandler(MainCommand command, std::function<void()> handler) {
  handlers_[command] = std::move(handler);
}

void UpfoldMain::Run(MainCommand command) {
  const auto found = handlers_.find(command);
  if (found == handlers_.end() || !found->second) return;
  // A copy, so that a handler may replace handlers while it runs.
  const std::function<void()> handler = found->second;
  try {
    handler();
  } catch (const std::exception& error) {
    ui_.ArrowCursor();
    ui_.Error(std::string("The command stopped unexpectedly:\r") + error.what() + kContactLine);
  }
}

void UpfoldMain::SetKvxInterrupt(bool checked) {
  kvxInterrupt_ = checked;
  values_.BridgeDebugSwitch = checked ? "-d" : "";
  if (view_ != nullptr) view_->SetKvxInterruptChecked(checked);
}

}  // namespace upfold
