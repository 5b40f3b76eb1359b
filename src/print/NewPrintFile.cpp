#include "print/NewPrintFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/Ui.h"
#include "data/FixedText.h"
#include "print/PrintChoices.h"
#include "print/PrintFileName.h"

namespace upfold {

NewPrintFileFields GetNewPrintFileName(PrintChoices& choices, bool pdfFormat,
                                       const std::string& dataPath, const DosFs& fs, Ui& ui) {
  if (Trim(choices.PrintFilePath).empty()) {
    choices.PrintFilePath = dataPath;
  } else if (!fs.DirectoryExists(choices.PrintFilePath)) {
    const bool create =
        ui.Confirm("The directory listed in the Report Setup screen does not exist.\r" +
                   choices.PrintFilePath + "\r\rDo you want to create it?");
    if (!create) {
      choices.PrintFilePath = dataPath;
    } else if (!fs.CreateDirectory(choices.PrintFilePath)) {
      ui.Error(std::string("Unable to create the directory.") + kContactLine);
      choices.PrintFilePath = dataPath;
    }
  }
  if (!IsPrintFileNameOK(choices.PrintFileName, pdfFormat, ui)) choices.PrintFileName.clear();
  return {choices.PrintFilePath, choices.PrintFileName,
          DoPrintPathFileName(choices.PrintFilePath, choices.PrintFileName)};
}

bool DoesPrintFileExist(const std::string& path, const DosFs& fs) { return fs.FileExists(path); }

FsResult CreateEmptyPrintFile(const std::string& path, bool mustBeNew, const DosFs& fs) {
  const auto host = fs.ToHost(path);
  if (!host) return FsResult::Fail(fsmsg::kPathNotFound);
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mustBeNew ? O_EXCL : O_TRUNC);
  const int fd = ::open(host->c_str(), flags, 0666);
  if (fd < 0) {
    switch (errno) {
      case EEXIST: return FsResult::Fail(fsmsg::kFileExists);
      case ENOENT: return FsResult::Fail(fsmsg::kPathNotFound);
      case EACCES: return FsResult::Fail(fsmsg::kAccessDenied);
      default: return FsResult::Fail(std::strerror(errno));
    }
  }
  ::close(fd);
  return FsResult::Ok();
}

}  // namespace upfold
