#pragma once
// The run-wide values: set at start-up from the command line and the registry, read by every
// command for the rest of the run. The main window owns the one instance; flows receive it.

#include <array>
#include <string>

#include "platform/Locale.h"

namespace upfold {

struct RunValues {
  // The six positional start-up parameters as given; missing ones are empty.
  std::array<std::string, 6> Params;
  // Parameter n (1..6); empty for any other n.
  const std::string& Param(int n) const {
    static const std::string kEmpty;
    return n >= 1 && n <= 6 ? Params[n - 1] : kEmpty;
  }

  CivilDate SystemDate;            // working date from parameter 1
  std::string SystemFileDate;      // SystemDate as "YYMMDD"
  std::string WSID;                // two-character workstation id
  std::string PgmDir;              // program folder (DOS path), no trailing backslash
  std::string PgmDirTessel;        // PgmDir in the Tessel path form
  std::string DataPath;            // host data directory (H_0), no trailing backslash
  std::string DataSetDescription;  // D_0
  std::string DefaultRemotePath;   // where remote batches are first looked for
  std::string LastRemoteDir;       // folder of the last chosen remote batch, trailing backslash
  std::string BridgeDebugSwitch;   // "-d" or empty
  int RunningOperation = 0;        // 0, or 2 while the posting program runs
  std::string DiagnosticSwitch;    // parameter 2, unchanged
  std::string ProductName;         // parameter 3, unchanged
};

}  // namespace upfold
