#pragma once
// The layout of a data file inside its SQLite database: the record table with one encoded
// key column per key, and the catalogue holding the record length and key definitions. The
// SQLite header carries our application id and the format version, so a foreign or newer
// file is told apart without reading its tables.

#include <string>

#include "recman/KeySpec.h"
#include "recman/Sqlite.h"
#include "recman/Status.h"

namespace upfold::catalogue {

inline constexpr int kApplicationId = 0x5546524D;  // "UFRM"
inline constexpr int kFormatVersion = 1;
inline constexpr const char* kRecordTable = "rm_record";

// Name of key k's column in the record table ("k0", "k1", ...).
std::string KeyColumn(int keyNumber);

// Checks the raw file header before SQLite sees the file: 30 not a SQLite file of ours,
// 2 cut short.
RmStatus CheckHeader(int fd);
// Writes catalogue and empty record table into a new, empty database.
RmStatus Write(const sqlite::Db& db, const FileSpec& fileSpec);
// Reads the definitions back: 30 no catalogue, 2 damaged or cut short.
RmStatus Read(const sqlite::Db& db, int fd, FileSpec& fileSpec);

}  // namespace upfold::catalogue
