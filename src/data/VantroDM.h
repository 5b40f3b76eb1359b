#pragma once
// The table set: every table the program reads or writes through the table class, made once
// at start-up and kept for the whole run. It opens tables with checks and messages
// (OpenTable), fills the calculated fields of the batch viewers and of the employee lookup,
// and keeps the run's import values: the process name of the messages, the error flag, the
// zero-receptor switch, the reject-file-created indicator and the progress values in the
// registry.
//
// Each table declares its fields: opening it on a file of another layout fails. The parts that
// use a table name it (path + ";RES:" + layout), open it with OpenTable and close it again.
// The viewers' grid models stand on RejectFileTB and Remote2TB directly.

#include <string>

#include "app/AppContext.h"
#include "data/Table.h"

namespace upfold {

// What the progress values name after an import run.
struct ProgressFiles {
  std::string remoteDir;       // RemoteDir of the batch processed last
  std::string remoteFileName;  // RemoteFileName of that batch
  std::string rejectFileName;  // the run's current reject file; empty when none was made
};

class VantroDM {
 public:
  // The context's references must outlive the table set.
  explicit VantroDM(const AppContext& context);
  VantroDM(const VantroDM&) = delete;
  VantroDM& operator=(const VantroDM&) = delete;

  Table RemoteTB;          // the remote batch being imported (RemBatch)
  Table RemoteDescTB;      // its descriptions (RemBatchD); also the remote viewer's
  Table TrinScratchTB;     // host batch Trin<ws>.s (Batch)
  Table DescScratchTB;     // host descriptions Desc<ws>.s (TrDesc)
  Table CaseTB;            // YCase.lf
  Table EmpTB;             // YEmpl.lf, with the calculated LastCommaFirst (40)
  Table SimpleTB;          // YTable.lf
  Table GroupRateTB;       // YGrate.lf
  Table FeeSplitTB;        // FSplit.lf
  Table EmpRateTB;         // YEmrt.lf
  Table Tsc2TB;            // TSC.lc
  Table SysopTB;           // Sysop.lc, key 0
  Table RejectFileTB;      // a reject file (RemBatch), with TypeName (6) and Desc (78)
  Table RejectDescFileTB;  // its descriptions (RemBatchD)
  Table Remote2TB;         // the remote viewer's batch (RemBatch), with TypeName and Desc

  // "Remote" once an import run has started in this program run; empty before.
  std::string ProcessName;
  // Set by OpenTable on every failure; cleared only by the import run.
  bool ErrorsOccurred = false;
  // "Y" or "N", from ReadFromRegistry.
  std::string CreateZeroReceptors = "Y";
  // The run's reject file pair exists; cleared by CloseAllTables.
  bool RejectFileMade = false;

  // Opens `table`, whose name already points at directory + "\" + fileName, and sets its
  // index to indexName ("1", or "0" for SysopTB). A missing file, a failed open or a refused
  // index is reported in a message box and sets ErrorsOccurred; the caller only stops on
  // false. A refused index leaves the table open.
  bool OpenTable(Table& table, const std::string& directory, const std::string& indexName,
                 const std::string& fileName);

  // CreateZeroReceptors from the host value of that name: "N" gives "N", anything else
  // (a missing value included) "Y".
  void ReadFromRegistry();
  // The import progress values. With numInFile given: the batch's path, the reject file, the
  // working date and the three counts; with numInFile empty: the values cleared (the date
  // "010101", the rest empty). Stops at the first failed write, which the registry routine
  // has reported; false then.
  bool WriteToRegistry(const std::string& numInFile, const std::string& numProcessed,
                       const std::string& numReject, const ProgressFiles& files = {});

  // Closes every table of the import and the host batch, in a fixed order, and clears
  // RejectFileMade. The remote viewer's Remote2TB is its own to close.
  void CloseAllTables();
  // Names the host-batch tables. A table that is open under another name keeps it.
  void PointHostBatchTables(const std::string& trinTable, const std::string& descTable);

 private:
  AppContext context_;
};

}  // namespace upfold
