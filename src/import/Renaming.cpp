// Renaming a fully processed remote batch and its description file to the next free
// TRINws.001 .. .999 in their own folder, so that it cannot be imported twice.

#include "app/AppContext.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/Table.h"
#include "import/ImportRun.h"
#include "import/ImportText.h"
#include "import/RunData.h"
#include "platform/Clock.h"
#include "platform/DosFs.h"

namespace upfold {

void ImportRun::RenameRemoteFiles() {
  // The waits let the record manager and other workstations let go of the files.
  ctx_.clock.Sleep(500);
  CurrentDirectoryScope scope(ctx_.fs, remoteDir_);
  T().RemoteTB.Close();
  T().RemoteDescTB.Close();
  ctx_.clock.Sleep(1000);

  renamedFileName_ = GetNewFileName("", remoteFileName_);
  if (renamedFileName_.empty()) {
    Fail(Scope::Batch);
    return;
  }
  const std::string newName = FileNameOf(renamedFileName_);
  renamedDescName_ =
      remoteDir_ + "\\Desc" + Trim(newName.size() > 4 ? newName.substr(4, 7) : std::string());
  const std::string batch = remoteDir_ + "\\" + remoteFileName_;
  if (!ctx_.fs.MoveFile(batch, renamedFileName_)) {
    ctx_.ui.Information("Unable to rename the file \r" + batch + "\r to \r" + renamedFileName_ +
                        "." + kContactLine);
    // The batch keeps its name; the grid must not claim a new one.
    renamedFileName_.clear();
    renamedDescName_.clear();
    Fail(Scope::Batch);
    return;
  }
  const std::string desc = remoteDir_ + "\\" + remoteDescName_;
  if (!ctx_.fs.MoveFile(desc, renamedDescName_)) {
    ctx_.ui.Information("Unable to rename the file \r" + desc + "\rto \r" + renamedDescName_ +
                        "." + kContactLine);
    Fail(Scope::Batch);
  }
}

}  // namespace upfold
