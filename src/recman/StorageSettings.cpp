#include "recman/StorageSettings.h"

#include <string>

namespace upfold {

const StorageSettings& DataFileSettings() {
  // The wait only covers another process's commit in flight (milliseconds); a lock a
  // program holds on purpose is the record or file lock, which never waits.
  static const StorageSettings kSettings{"DELETE", "OFF", 250};
  return kSettings;
}

int ApplyStorageSettings(sqlite3* db, const StorageSettings& settings) {
  int rc = sqlite3_busy_timeout(db, settings.busyTimeoutMs);
  if (rc != SQLITE_OK) return rc;
  // cell_size_check makes a damaged page an error sooner, at a small cost per page read.
  std::string sql = std::string("PRAGMA journal_mode=") + settings.journalMode +
                    "; PRAGMA synchronous=" + settings.synchronous + "; PRAGMA cell_size_check=ON;";
  return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

}  // namespace upfold
