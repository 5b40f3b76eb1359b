#include "import/HostBatch.h"

#include "app/AppContext.h"
#include "app/DateConversions.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/VantroDM.h"
#include "merge/UnMergedDialog.h"
#include "platform/Clock.h"
#include "platform/DosFs.h"

namespace upfold {

namespace {

constexpr const char* kHeaderSequence = "XXXXXXXX";
constexpr const char* kHeaderSuffix = "X";
constexpr int kDeleteRetries = 100;


}  // namespace

HostBatch::HostBatch(AppContext& ctx, VantroDM& dm, UnMergedDialog& unMerged)
    : ctx_(ctx), dm_(dm), unMerged_(unMerged) {}

std::string HostBatch::TrinPath() const {
  return ctx_.values.DataPath + "\\Trin" + ctx_.values.WSID + ".s";
}
std::string HostBatch::DescPath() const {
  return ctx_.values.DataPath + "\\Desc" + ctx_.values.WSID + ".s";
}

void HostBatch::PointTables() {
  dm_.PointHostBatchTables(TrinPath() + ";RES:Batch", DescPath() + ";RES:TrDesc");
}

bool HostBatch::OpenTrin() {
  PointTables();
  return dm_.OpenTable(dm_.TrinScratchTB, ctx_.values.DataPath, "1",
                       "\\Trin" + ctx_.values.WSID + ".s");
}

bool HostBatch::OpenDesc() {
  PointTables();
  return dm_.OpenTable(dm_.DescScratchTB, ctx_.values.DataPath, "1",
                       "Desc" + ctx_.values.WSID + ".s");
}

void HostBatch::Diagnostic(const std::string& text) {
  if (ctx_.values.DiagnosticSwitch == "X") ctx_.ui.Plain(text);
}

bool HostBatch::CheckForRemTrinClo() {
  const std::string path = ctx_.values.PgmDir + "\\RemTrin.clo";
  if (ctx_.fs.FileExists(path)) return true;
  ctx_.ui.Plain("The file, " + path + ", does not exist." + kContactLine);
  return false;
}

bool HostBatch::DeleteEmptyTrin() {
  const std::string path = TrinPath();
  dm_.TrinScratchTB.Close();
  // Another workstation may still be letting go of the file.
  ctx_.clock.Sleep(1000);
  ctx_.fs.DeleteFile(path);
  for (int i = 0; i < kDeleteRetries && ctx_.fs.FileExists(path); ++i) ctx_.fs.DeleteFile(path);
  if (!ctx_.fs.FileExists(path)) return true;
  ctx_.ui.Error("Unable to delete empty file " + path + ".\r\rPossible reasons:\r" +
                "   The file is being used by another workstation  (they should exit).\r" +
                "   The file is locked  (exit and re-boot).\r" +
                "   You do not have rights to delete a file." + kContactLine);
  return false;
}

bool HostBatch::CheckForTrin(bool continueInterrupted) {
  Ui& ui = ctx_.ui;
  const std::string path = TrinPath();
  const auto emptyTrin = [&](bool& empty) {
    try {
      empty = dm_.TrinScratchTB.RecordCount() == 0;
      return true;
    } catch (const TableError& error) {
      ui.Plain("Unable to read file " + path + ".\r\r" + error.what() + kContactLine);
      return false;
    }
  };

  if (ctx_.fs.FileExists(path)) {
    CurrentDirectoryScope scope(ctx_.fs, ctx_.values.DataPath);
    Diagnostic("About to open " + path);
    if (!OpenTrin()) return false;
    Diagnostic("Successfully opened " + path);
    if (!continueInterrupted) {
      Diagnostic("Checking for empty host batch");
      bool empty = false;
      if (!emptyTrin(empty)) return false;
      Diagnostic("Able to count records in host batch");
      if (empty && !DeleteEmptyTrin()) return false;
    }
    Diagnostic("Finished checking for Trin file");
  }

  Diagnostic("Rechecking for existence of Trin file");
  if (!ctx_.fs.FileExists(path)) {
    Diagnostic("Creating new empty trin file");
    if (!CreateNewTrin()) return false;
    Diagnostic("Creating new empty desc file");
    if (!CreateNewDesc()) return false;
    Diagnostic("End of routine CheckForTrin");
    return true;
  }

  Diagnostic("Trin file still exists");
  if (!dm_.TrinScratchTB.Active() && !OpenTrin()) return false;
  bool empty = false;
  if (!continueInterrupted) {
    Diagnostic("Rechecking for empty host batch");
    if (!emptyTrin(empty)) return false;
  }
  if (continueInterrupted || empty) {
    Diagnostic("End of routine CheckForTrin");
    return true;
  }

  Diagnostic("found recs in host batch");
  if (!GetDescTB()) return false;
  ui.HourglassCursor();
  dm_.TrinScratchTB.Close();
  dm_.DescScratchTB.Close();
  const std::optional<UnMergedOutcome> outcome = unMerged_.Show(batchName_, batchDate_);
  ui.ArrowCursor();
  if (!outcome || outcome->stop) return false;

  switch (outcome->choice) {
    case kPrintAndMerge:
      if (runTrim) runTrim();
      return false;
    case kAppend:
      if (!OpenTrin()) return false;
      if (!OpenDesc()) {
        dm_.TrinScratchTB.Close();
        dm_.DescScratchTB.Close();
        return false;
      }
      break;
    case kErase:
      if (onErased) onErased();
      if (!CreateNewTrin() || !CreateNewDesc()) return false;
      break;
    default:
      return false;
  }
  Diagnostic("End of routine CheckForTrin");
  return true;
}

bool HostBatch::CreateNewTrin() {
  const std::string templ = ctx_.values.PgmDir + "\\Trin.clo";
  if (!ctx_.fs.FileExists(templ)) {
    ctx_.ui.Plain("The file " + templ + " is missing!" + kContactLine);
    return false;
  }
  dm_.TrinScratchTB.Close();
  if (!ctx_.fs.CopyFile(templ, TrinPath(), true)) {
    ctx_.ui.Plain("The file " + TrinPath() + " file   cannot be created at this time." +
                  kContactLine);
    return false;
  }
  return OpenTrin();
}

bool HostBatch::CreateNewDesc() {
  const std::string path = DescPath();
  dm_.DescScratchTB.Close();
  if (ctx_.fs.FileExists(path) && !ctx_.fs.DeleteFile(path)) {
    ctx_.ui.Plain("Unable to delete the existing file " + path);
    return false;
  }
  const std::string templ = ctx_.values.PgmDir + "\\Desc.clo";
  if (!ctx_.fs.FileExists(templ)) {
    ctx_.ui.Plain("The file " + templ + " is missing." + kContactLine);
    return false;
  }
  if (!ctx_.fs.CopyFile(templ, path, true)) {
    ctx_.ui.Plain("The " + path + " file   cannot be created at this time." + kContactLine);
    return false;
  }
  if (!OpenDesc()) return false;
  if (WriteToDesc()) return true;
  dm_.TrinScratchTB.Close();
  dm_.DescScratchTB.Close();
  return false;
}

bool HostBatch::FindHeader(bool& found) {
  try {
    found = dm_.DescScratchTB.FindKey({kHeaderSequence, kHeaderSuffix});
    return true;
  } catch (const TableError& error) {
    ctx_.ui.Plain("Unable to read file " + DescPath() + ".\r\r" + error.what() + kContactLine);
    return false;
  }
}

bool HostBatch::WriteToDesc() {
  Table& desc = dm_.DescScratchTB;
  if (!desc.Active() && !OpenDesc()) return false;
  const std::string name;
  const std::string date = DateToFileDate(ctx_.values.SystemDate, true, ctx_.formats, ctx_.ui);
  const std::string flag = "N";

  bool found = false;
  if (!FindHeader(found)) return false;
  try {
    if (found)
      desc.Edit();
    else
      desc.Append();
  } catch (const TableError&) {
    ctx_.ui.Plain(std::string("Unable to put DescScratchTB in ") + (found ? "edit" : "insert") +
                  " mode." + kContactLine);
    return false;
  }
  try {
    desc.SetAsString("SequenceNumber", kHeaderSequence);
    desc.SetAsString("SequenceSuffix", kHeaderSuffix);
    desc.SetAsString("Description", LeftFit(name, 40) + date + flag.substr(0, 1) + " ");
    desc.Post();
  } catch (const TableError&) {
    desc.Cancel();
    ctx_.ui.Plain("Unable to write to file " + DescPath());
    return false;
  }
  desc.Close();
  return true;
}

bool HostBatch::GetDescTB() {
  const std::string path = DescPath();
  if (!ctx_.fs.FileExists(path)) {
    ctx_.ui.Plain("The file named " + path + " is missing." + kContactLine);
    return false;
  }
  if (!OpenDesc()) return false;
  Table& desc = dm_.DescScratchTB;
  bool found = false;
  if (!FindHeader(found)) return false;
  if (!found) {
    // The header is written, then read back like any other, so the values shown are the
    // ones the file holds.
    const bool written = WriteToDesc();
    if (written && !OpenDesc()) return false;
    if (written && !FindHeader(found)) return false;
    if (!found) {
      ctx_.ui.Plain("Unable to access or create a header record in file " + path);
      desc.Close();
      return false;
    }
  }
  const std::string description = desc.AsString("Description");
  batchName_ = description.substr(0, 39);
  const std::string fileDate = description.size() >= 46 ? description.substr(40, 6) : "";
  desc.Close();
  batchDate_ = FileDateToDisplayDate(fileDate, true, ctx_.formats, ctx_.ui);
  return true;
}

}  // namespace upfold
