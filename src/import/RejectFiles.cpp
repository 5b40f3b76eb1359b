// Reject files: a rejected remote transaction is copied, with its reject mask, into the
// batch's numbered reject file pair TRINws.Rnn / Descws.Rnn in the data directory. New names
// for reject files and for renamed batches come from GetNewFileName.

#include <cctype>
#include <cstdio>

#include "app/AppContext.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/Table.h"
#include "import/ImportRun.h"
#include "import/ImportText.h"
#include "import/RunData.h"
#include "platform/DosFs.h"

namespace upfold {

namespace {

// The file name up to its first dot; the whole name when there is none or it comes first.
std::string StemOf(const std::string& fileName) {
  const std::size_t dot = fileName.find('.');
  return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

// "Desc" + characters 5 to 10 of a reject file's name: TRIN01.R07 pairs with Desc01.R07.
std::string RejectDescFileName(const std::string& rejectFileName) {
  return "Desc" + (rejectFileName.size() > 4 ? rejectFileName.substr(4, 6) : std::string());
}

}  // namespace

void ImportRun::WriteToRejectFile() {
  const std::string& dataPath = ctx_.values.DataPath;
  const std::string& pgmDir = ctx_.values.PgmDir;
  RunTables& t = T();
  if (!rejectFileMade_) {
    // Naming and copying the new pair may ask, delete and show: nothing stays uncommitted
    // meanwhile.
    if (!CommitGroup()) return;
    rejectFileName_ = GetNewFileName("R", remoteFileName_);
    if (rejectFileName_.empty()) {
      Fail(Scope::Batch);
      return;
    }
    const std::string rejectName = FileNameOf(rejectFileName_);
    rejectDescName_ = dataPath + "\\" + RejectDescFileName(rejectName);
    const auto copy = [&](const std::string& tmpl, const std::string& target) {
      const std::string from = pgmDir + "\\" + tmpl;
      if (ctx_.fs.CopyFile(from, target, true)) return true;
      ctx_.ui.Information("Unable to create the file " + target + "! " +
                          "The CopyFile function failed while attempting to copy file " + from +
                          " to " + target + ". " + kContactLine);
      Fail(Scope::Batch);
      return false;
    };
    if (!copy("Remtrin.clo", rejectFileName_)) return;
    rejectFileMade_ = true;
    CloseAndForgetTable(t.RejectFileTB);
    t.RejectFileTB.SetTableName(rejectFileName_ + ";RES:RemBatch");
    if (!copy("Remdesc.clo", rejectDescName_)) return;
    CloseAndForgetTable(t.RejectDescFileTB);
    t.RejectDescFileTB.SetTableName(rejectDescName_ + ";RES:RemBatchD");
    if (!data_.OpenTable(t.RejectFileTB, dataPath, "1", rejectName) ||
        !data_.OpenTable(t.RejectDescFileTB, dataPath, "1", FileNameOf(rejectDescName_))) {
      Fail(Scope::Batch);
      return;
    }
  }

  // The reject is numbered within its file; the remote sequence number is not kept.
  const std::string seq = RightJust(std::to_string(fileRejects_ + 1), 8);
  std::string record = wv_.rawRecord;
  const bool ok = AppendRecord(
      t.RejectFileTB, rejectFileName_,
      [&](Table& table) {
        record.resize(table.Record().size(), ' ');
        record.replace(0, 4, 4, '\0');  // a new auto-increment value
        table.SetRecord(record);
        table.SetAsString("SequenceNumber", seq);
        table.SetAsString("Unassigned2", LeftFit("+++" + std::to_string(wv_.rejectMask), 7));
      },
      &rejectHigh_);
  if (!ok) return;
  ++fileRejects_;
  ++runRejects_;
  WriteDescriptionLines(t.RejectDescFileTB, rejectDescName_, seq, true, &rejectDescHigh_);
}

std::string ImportRun::GetNewFileName(const std::string& kind, const std::string& source) {
  const bool reject = kind == "R";
  const std::string& dir = reject ? ctx_.values.DataPath : remoteDir_;
  const int limit = reject ? 99 : 999;
  const std::string stem = StemOf(FileNameOf(source));
  for (int n = 1; n <= limit; ++n) {
    char ext[8];
    std::snprintf(ext, sizeof ext, reject ? "R%02d" : "%03d", n);
    const std::string name = stem + "." + ext;
    const std::string candidate = dir + "\\" + name;
    if (ctx_.fs.Exists(candidate)) continue;
    // A reject number whose description file alone remains is not reused either.
    if (reject && ctx_.fs.Exists(dir + "\\" + RejectDescFileName(name))) continue;
    return candidate;
  }
  if (!reject) {
    ctx_.ui.Information("Error!!\r\rUnable to get new file name in order to rename file " +
                        source + kContactLine);
    return {};
  }
  const std::string path = FindOldestRejectFileAndReuse(stem);
  if (path.empty()) return {};
  const std::string ws = stem.size() > 4 ? stem.substr(4, 2) : std::string();
  if (!reuseMessageShown_) {
    reuseMessageShown_ = true;
    ctx_.ui.Information(
        "Marrowfield has reached its limit of 99 unique reject file names for workstation " + ws +
        " and, as a result, has deleted the oldest reject file to allow for the creation "
        "of the current one.\r\rTo prevent this message from recurring, you are advised to go "
        "to 'Remote Data Utility|Options|Delete Old Reject Files' at your "
        "earliest convenience to manually delete old, unneeded reject files for workstation " +
        ws + ".");
  }
  return path;
}

std::string ImportRun::FindOldestRejectFileAndReuse(const std::string& stem) {
  const std::string& dataPath = ctx_.values.DataPath;
  const std::string ws = stem.size() > 4 ? stem.substr(4, 2) : std::string();
  const std::vector<DirEntry> entries = ctx_.fs.List(dataPath + "\\" + stem + ".R??");
  const DirEntry* oldest = nullptr;
  for (const DirEntry& e : entries) {
    if (e.isDirectory) continue;
    if (!oldest || e.lastWrite < oldest->lastWrite) oldest = &e;
  }
  if (!oldest) {
    // Every number is blocked by description files alone: nothing can be reused.
    ctx_.ui.Information("Marrowfield was unable to find a reject file to reuse for workstation " +
                        ws + " in " + dataPath + "." + kContactLine);
    return {};
  }
  const std::string path = UpperAscii(dataPath + "\\" + oldest->name);
  std::string descPath = path;
  const std::string from = "TRIN" + UpperAscii(ws) + ".R";
  if (const std::size_t at = descPath.find(from); at != std::string::npos)
    descPath.replace(at, from.size(), "DESC" + UpperAscii(ws) + ".R");
  FsResult result = ctx_.fs.DeleteFile(path);
  // A description file that is already gone is what the deletion wants.
  if (result && ctx_.fs.Exists(descPath)) result = ctx_.fs.DeleteFile(descPath);
  if (!result) {
    ctx_.ui.Error("Marrowfield was unable to delete the oldest reject file " + path +
                  " and/or its matching DESC file.\r\rThe remote batch cannot be successfully "
                  "imported at this time." +
                  kContactLine);
  }
  return path;
}

}  // namespace upfold
