#pragma once
// Preparing the directory and name of a new print file, and the file operations on it.

#include <string>

#include "platform/DosFs.h"

namespace upfold {

class Ui;
struct PrintChoices;

// What the dialog shows after GetNewPrintFileName.
struct NewPrintFileFields {
  std::string directory;  // for the directory list
  std::string name;       // for the name field; empty when the stored name was refused
  std::string label;      // directory and name joined
};

// GetNewPrintFileName: makes choices.PrintFilePath an existing directory (offering to create
// a missing one; the host data directory dataPath when the user declines, creation fails or
// no directory is set) and clears choices.PrintFileName when it fails the name check (whose
// message is shown).
NewPrintFileFields GetNewPrintFileName(PrintChoices& choices, bool pdfFormat,
                                       const std::string& dataPath, const DosFs& fs, Ui& ui);

// DoesPrintFileExist: a file (not a folder) at that DOS path.
bool DoesPrintFileExist(const std::string& path, const DosFs& fs);

// Creates the file at a DOS path empty. mustBeNew: fails when it exists (atomically, so two
// workstations never both get the same name); otherwise an existing file is emptied.
FsResult CreateEmptyPrintFile(const std::string& path, bool mustBeNew, const DosFs& fs);

}  // namespace upfold
