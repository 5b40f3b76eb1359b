#pragma once
// The command line of upfold-import: options first or mixed with the batches, "--" ends the
// options. A value may follow its option as the next argument or after "=".

#include <optional>
#include <string>
#include <vector>

#include "app/Ui.h"

namespace upfold {

struct ImportOptions {
  std::string date;                     // --date YYMMDD; empty: today
  std::string wsid;                     // --wsid WS; empty: the registry's
  std::string pgmDir;                   // --pgmdir DOSDIR; empty: the program's own folder
  Answer yesNo = Answer::No;            // --yes / --no
  Answer interrupted = Answer::Cancel;  // --interrupted yes|no|cancel
  std::optional<int> unmerged;          // --unmerged: an UnMergedOption; none: exit
  std::string reportFile;               // --report-file PATH (DOS or host path)
  std::string printer;                  // --printer NAME
  bool help = false;
  std::vector<std::string> batches;  // host or DOS paths, in order
};

struct ParsedOptions {
  std::optional<ImportOptions> options;
  std::string error;  // why the command line was refused, when options is empty
};

ParsedOptions ParseImportOptions(const std::vector<std::string>& args);

// The --help text.
extern const char* const kImportUsage;

// A DOS path ("C:\DIR\FILE", "\\SERVER\SHARE", "C:FILE"), as opposed to a host path.
bool LooksLikeDosPath(const std::string& path);

}  // namespace upfold
