#pragma once
// Start-up configuration from the registry. Fills PgmDir (and its Tessel form), WSID, DataPath
// and DataSetDescription of the run-wide values, and corrects the suite's settings: HD follows
// the program folder, the database alias follows the data directory, and missing suite-wide
// settings get their defaults.
//
// Missing keys are tolerated silently. Each registry failure is reported in an error box as
// it happens; a registry file that cannot be read at all (damaged, unreadable) is reported once
// and nothing is read or written.

#include <string>

namespace upfold {

class Registry;
class Ui;
struct RunValues;

// programDir: the folder of the running program as a DOS path (DosFs::ProgramDir); a trailing
// backslash is dropped. Returns false when any failure was reported; the program then ends.
bool RegReader(Registry& registry, Ui& ui, const std::string& programDir, RunValues& values);

}  // namespace upfold
