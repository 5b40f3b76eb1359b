#include "import/VantroRunData.h"

#include "data/VantroDM.h"

namespace upfold {

VantroRunData::VantroRunData(VantroDM& dm)
    : dm_(dm),
      tables_{dm.RemoteTB,  dm.RemoteDescTB, dm.TrinScratchTB, dm.DescScratchTB, dm.SysopTB,
              dm.EmpTB,     dm.EmpRateTB,    dm.SimpleTB,      dm.Tsc2TB,        dm.CaseTB,
              dm.GroupRateTB, dm.FeeSplitTB, dm.RejectFileTB,  dm.RejectDescFileTB} {}

bool VantroRunData::OpenTable(Table& table, const std::string& dir, const std::string& indexName,
                              const std::string& fileName) {
  return dm_.OpenTable(table, dir, indexName, fileName);
}

void VantroRunData::SetProcessName(const std::string& name) { dm_.ProcessName = name; }

void VantroRunData::SetErrorsOccurred(bool occurred) { dm_.ErrorsOccurred = occurred; }

bool VantroRunData::WriteToRegistry(const std::string& remoteFile, const std::string& rejectFile,
                                    const std::string& numInFile,
                                    const std::string& numProcessed,
                                    const std::string& numReject) {
  const std::size_t slash = remoteFile.find_last_of('\\');
  ProgressFiles files;
  files.remoteDir = slash == std::string::npos ? std::string() : remoteFile.substr(0, slash);
  files.remoteFileName = slash == std::string::npos ? remoteFile : remoteFile.substr(slash + 1);
  files.rejectFileName = rejectFile;
  return dm_.WriteToRegistry(numInFile, numProcessed, numReject, files);
}

}  // namespace upfold
