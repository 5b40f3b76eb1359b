#pragma once
// The import run's view of the table set VantroDM: its tables, its checked opening, its
// process name, error flag and progress values.

#include "import/RunData.h"

namespace upfold {

class VantroDM;

class VantroRunData : public RunData {
 public:
  explicit VantroRunData(VantroDM& dm);  // dm must outlive this object

  RunTables& Tables() override { return tables_; }
  bool OpenTable(Table& table, const std::string& dir, const std::string& indexName,
                 const std::string& fileName) override;
  void SetProcessName(const std::string& name) override;
  void SetErrorsOccurred(bool occurred) override;
  bool WriteToRegistry(const std::string& remoteFile, const std::string& rejectFile,
                       const std::string& numInFile, const std::string& numProcessed,
                       const std::string& numReject) override;

 private:
  VantroDM& dm_;
  RunTables tables_;
};

}  // namespace upfold
