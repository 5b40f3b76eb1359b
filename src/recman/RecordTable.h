#pragma once
// The SQL side of an open data file: prepared statements over the record table, one set per
// key, made when first needed. Keys here are in their encoded (comparable) form.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "recman/KeySpec.h"
#include "recman/Sqlite.h"
#include "recman/Status.h"

namespace upfold {

enum class Seek {
  Equal,
  GreaterOrEqual,
  Greater,
  LessOrEqual,
  Less,
  First,
  Last,
  NextDuplicate,      // same key, higher id
  PreviousDuplicate,  // same key, lower id
  ById,
  kCount
};

struct FoundRecord {
  std::int64_t id = 0;
  std::string data;
  std::string key;  // encoded key of the key searched on
};

class RecordTable {
 public:
  RecordTable(sqlite3* db, const FileSpec& fileSpec);

  // The first record in the seek's direction: Success, EndOfFile when there is none, 2 for a
  // stored record of the wrong length, or the mapped SQLite failure.
  RmStatus Find(int key, Seek seek, std::string_view encodedKey, std::int64_t id, FoundRecord& out);
  // Highest encoded value of a key; empty when the file holds no records.
  RmStatus Highest(int key, std::string& encoded);
  RmStatus Count(std::uint64_t& count);

  RmStatus Insert(std::string_view record, const std::vector<std::string>& keys, std::int64_t& id);
  // RecordConflict when the record is gone.
  RmStatus Update(std::int64_t id, std::string_view record, const std::vector<std::string>& keys);
  RmStatus Delete(std::int64_t id);

  // The statement a seek runs on key `key`; Seek::kCount gives the key's highest value.
  static std::string SeekSql(int key, Seek seek);

  RmStatus Begin();      // a write transaction, taken at once
  RmStatus BeginRead();  // a transaction whose first read takes the shared lock
  RmStatus Commit();
  void Rollback();

 private:
  sqlite::Stmt* Statement(int key, Seek seek);
  sqlite::Stmt* Prepared(sqlite::Stmt& stmt, const std::string& sql);
  RmStatus Run(sqlite::Stmt* stmt);

  sqlite3* db_;
  const FileSpec& spec_;
  std::vector<std::array<sqlite::Stmt, static_cast<int>(Seek::kCount) + 1>> perKey_;
  sqlite::Stmt insert_, update_, delete_, count_, begin_, beginRead_, commit_, rollback_;
};

}  // namespace upfold
