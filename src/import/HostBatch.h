#pragma once
// The workstation's host batch Trin<ws>.s and its description file Desc<ws>.s in the data
// directory, made ready before a remote batch is imported into them: an empty leftover batch
// is removed, missing files are made from the templates in the program folder (the
// description file with its batch header record), and a batch still holding transactions of
// an earlier import goes to the unmerged-batch dialog. Every failure is shown where it
// happens; the caller only stops.

#include <functional>
#include <string>

namespace upfold {

struct AppContext;
class UnMergedDialog;
class VantroDM;

class HostBatch {
 public:
  // Everything given must outlive this object.
  HostBatch(AppContext& ctx, VantroDM& dm, UnMergedDialog& unMerged);

  // "Print and merge the batch": the hand-off to the posting program; its outcome does not
  // matter, the import stops either way. Empty: nothing is started.
  std::function<void()> runTrim;
  // The person erased the unmerged batch (both files are gone).
  std::function<void()> onErased;

  // The template RemTrin.clo is in the program folder.
  bool CheckForRemTrinClo();
  // The host files exist and may receive transactions. continueInterrupted: an interrupted
  // import goes on, so an existing host batch is used as it stands. On true the host batch
  // may be left open in TrinScratchTB (and DescScratchTB); the caller closes every table.
  bool CheckForTrin(bool continueInterrupted);
  // New host files from the templates, never overwriting; the new file is left open.
  bool CreateNewTrin();
  bool CreateNewDesc();
  // Writes (inserts or replaces) the batch header: 40 blanks, the working date, "N", a blank.
  bool WriteToDesc();
  // Reads the batch header into BatchName and BatchDate; writes one first when it is missing.
  bool GetDescTB();

  const std::string& BatchName() const { return batchName_; }
  const std::string& BatchDate() const { return batchDate_; }  // display date

  std::string TrinPath() const;  // <DataPath>\Trin<ws>.s
  std::string DescPath() const;  // <DataPath>\Desc<ws>.s

 private:
  bool OpenTrin();
  bool OpenDesc();
  void PointTables();
  void Diagnostic(const std::string& text);
  bool CreateBoth();
  // The header's Description; false after a message when the file cannot be read.
  bool FindHeader(bool& found);
  bool DeleteEmptyTrin();

  AppContext& ctx_;
  VantroDM& dm_;
  UnMergedDialog& unMerged_;
  std::string batchName_;
  std::string batchDate_;
};

}  // namespace upfold
