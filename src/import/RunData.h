#pragma once
// What the import run needs of the table set: its table components, the checked opening with
// its messages, the process name and the progress values in the registry. The table set
// implements it; tests give a small one over their own tables.

#include <string>

namespace upfold {

class Table;

// The table components of the run, all owned by the table set.
struct RunTables {
  Table& RemoteTB;
  Table& RemoteDescTB;
  Table& TrinScratchTB;
  Table& DescScratchTB;
  Table& SysopTB;
  Table& EmpTB;
  Table& EmpRateTB;
  Table& SimpleTB;
  Table& Tsc2TB;
  Table& CaseTB;
  Table& GroupRateTB;
  Table& FeeSplitTB;
  Table& RejectFileTB;
  Table& RejectDescFileTB;
};

class RunData {
 public:
  virtual ~RunData() = default;

  virtual RunTables& Tables() = 0;
  // Opens the table, already named, on dir + "\" + fileName with the index; shows its own
  // message and returns false when the file is missing or cannot be opened or indexed.
  virtual bool OpenTable(Table& table, const std::string& dir, const std::string& indexName,
                         const std::string& fileName) = 0;
  // The name the opening messages give the running process ("Remote").
  virtual void SetProcessName(const std::string& name) = 0;
  // The run's error flag, cleared when a run starts and set when anything failed.
  virtual void SetErrorsOccurred(bool occurred) { (void)occurred; }
  // Records the progress values of a finished run; false after the registry's own message.
  virtual bool WriteToRegistry(const std::string& remoteFile, const std::string& rejectFile,
                               const std::string& numInFile, const std::string& numProcessed,
                               const std::string& numReject) = 0;
};

}  // namespace upfold
