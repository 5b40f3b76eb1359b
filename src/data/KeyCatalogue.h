#pragma once
// The key definitions a data file of each layout is created with (mfrec create, the demo
// installation, tests). Key 0 is the auto-increment field; keys 1 to 4 serve the program's
// lookups, each key's segments in the order its values are given:
//   Batch 1 client, case.  TrDesc/RemBatchD 1 sequence number, suffix.
//   RemBatch 1 client, case; 2 employee; 3 transaction date; 4 type.
//   YCase 1 client, case.  EMP 1 employee.  EMPRATES 1 employee, rate code.
//   SIMPLECD 1 type code, transaction type, code.  Grates 1 rate type, code, rate-or-group
//   flag, rate or group code.  FeeSplit 1 dummy client and case as one 14-byte segment,
//   receptor client, receptor case.  STCHAR2 1 table name, suffix.  Sysop1 key 0 only.
//   Print 1 report number.  Fees 1 client, case, transaction type.
//   BPhases has no auto-increment field: keys 0 and 1 are both its 16-byte key (client, case,
//   phase code).
// Transaction, description and fee files and the fee splits allow duplicates on keys 1-4;
// the other master files hold one record per code.

#include <optional>
#include <string_view>

#include "recman/KeySpec.h"

namespace upfold {

struct Layout;

// Record length and keys of the layout's files.
FileSpec FileSpecFor(const Layout& layout);
// The same by layout name, any case; nullopt for an unknown layout.
std::optional<FileSpec> FileSpecFor(std::string_view layoutName);

}  // namespace upfold
