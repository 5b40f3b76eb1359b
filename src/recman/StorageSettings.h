#pragma once
// How every data file is kept by SQLite: the one place where durability is chosen.
//
// A rollback journal in DELETE mode leaves no file beside a closed data file. With
// synchronous=OFF SQLite does not wait for the disk, but a commit that has returned has
// handed its pages to the operating system, so it survives a kill of the process (not a power
// loss); a process killed during a commit leaves a journal that the next open rolls back.

#include <sqlite3.h>

namespace upfold {

struct StorageSettings {
  const char* journalMode;
  const char* synchronous;
  int busyTimeoutMs;  // how long a call waits for another process's commit before 85
};

// The settings data files use.
const StorageSettings& DataFileSettings();

// Applies settings to a connection; the SQLite result code.
int ApplyStorageSettings(sqlite3* db, const StorageSettings& settings = DataFileSettings());

}  // namespace upfold
