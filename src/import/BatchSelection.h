#pragma once
// The first phase of the import command: the person picks remote batches (TRIN<ws>.RME, or
// TRIN<ws>.CM from the case-management program) in the file-open dialog; each is opened,
// tested and paired with its description file, and described by one line of the list in the
// main window's " Process these files?  " box. Any refused file ends the whole selection.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace upfold {

struct AppContext;
class MainView;
class VantroDM;

// The remote-batch values of the current import; the last file examined wins.
struct RemoteBatchValues {
  std::string RemoteDir;       // folder of the batch, no trailing backslash
  std::string RemoteFileName;  // TRINAB.RME
  std::string RemoteDescName;  // DescAB.RME
  std::string RemoteDescPath;  // folder + DESCAB.RME
  std::uint64_t SelectedBatchRecordCount = 0;
};

// The whole path of the remote batch a list line describes ("C:\R\TRINAB.RME  12 recs  ...";
// a path may hold blanks).
std::string PathOfListLine(const std::string& line);

class BatchSelection {
 public:
  // Everything given must outlive this object.
  BatchSelection(AppContext& ctx, VantroDM& dm, MainView& view, RemoteBatchValues& values);

  // The file dialog and the examination of every chosen file. True when all were accepted and
  // the list is shown (import button disabled); false when the dialog was cancelled or a file
  // was refused (after its message).
  bool FindRemBatch();
  // One chosen file: its list line, or nullopt after a message (or the empty-batch question).
  std::optional<std::string> ExamineFile(const std::string& chosenPath);
  // A missing description file from the template Remdesc.clo, then opened.
  bool CreateRemDesc();
  bool OpenRemDesc();

  // "Cancel" of the box: hidden, the import button enabled.
  void CancelProcessBBClick();
  // Double-click on a list line: removed after the person agrees.
  void ListBox1DblClick();

  // Where the next file dialog opens when nothing else is known.
  const std::string& InitialDir() const { return initialDir_; }

 private:
  void ComputeInitialDir();
  void SetValuesFromPath(const std::string& path);

  AppContext& ctx_;
  VantroDM& dm_;
  MainView& view_;
  RemoteBatchValues& values_;
  std::string initialDir_;
};

}  // namespace upfold
