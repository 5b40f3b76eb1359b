#include "recman/RecordTable.h"

#include "recman/Catalogue.h"

namespace upfold {

namespace {

constexpr int kHighest = static_cast<int>(Seek::kCount);  // the per-key max(k) statement

}  // namespace

std::string RecordTable::SeekSql(int key, Seek seek) {
  const std::string k = catalogue::KeyColumn(key);
  const std::string select = "SELECT id, data, " + k + " FROM " + catalogue::kRecordTable + " ";
  const std::string up = " ORDER BY " + k + ", id LIMIT 1";
  const std::string down = " ORDER BY " + k + " DESC, id DESC LIMIT 1";
  switch (seek) {
    case Seek::Equal:
      return select + "WHERE " + k + " = ?1" + up;
    case Seek::GreaterOrEqual:
      return select + "WHERE " + k + " >= ?1" + up;
    case Seek::Greater:
      return select + "WHERE " + k + " > ?1" + up;
    case Seek::LessOrEqual:
      return select + "WHERE " + k + " <= ?1" + down;
    case Seek::Less:
      return select + "WHERE " + k + " < ?1" + down;
    case Seek::First:
      return select + up;
    case Seek::Last:
      return select + down;
    // Two conditions rather than a row value: SQLite seeks on (key, id) only this way.
    case Seek::NextDuplicate:
      return select + "WHERE " + k + " = ?1 AND id > ?2" + up;
    case Seek::PreviousDuplicate:
      return select + "WHERE " + k + " = ?1 AND id < ?2" + down;
    case Seek::ById:
      return select + "WHERE id = ?2";
    case Seek::kCount:
      break;
  }
  return "SELECT max(" + k + ") FROM " + catalogue::kRecordTable;
}

RecordTable::RecordTable(sqlite3* db, const FileSpec& fileSpec)
    : db_(db), spec_(fileSpec), perKey_(fileSpec.keys.size()) {}

sqlite::Stmt* RecordTable::Prepared(sqlite::Stmt& stmt, const std::string& sql) {
  if (!stmt.Prepared() && stmt.Prepare(db_, sql) != SQLITE_OK) return nullptr;
  return &stmt;
}

sqlite::Stmt* RecordTable::Statement(int key, Seek seek) {
  sqlite::Stmt& stmt = perKey_[static_cast<std::size_t>(key)][static_cast<std::size_t>(seek)];
  return stmt.Prepared() ? &stmt : Prepared(stmt, SeekSql(key, seek));
}

RmStatus RecordTable::Run(sqlite::Stmt* stmt) {
  if (stmt == nullptr) return RmStatus::IoError;  // the record table is not as created
  sqlite::StmtScope scope(*stmt);
  return sqlite::ToStatus(stmt->Step());
}

RmStatus RecordTable::Find(int key, Seek seek, std::string_view encodedKey, std::int64_t id,
                           FoundRecord& out) {
  sqlite::Stmt* stmt = Statement(key, seek);
  if (stmt == nullptr) return RmStatus::IoError;
  sqlite::StmtScope scope(*stmt);
  if (seek != Seek::First && seek != Seek::Last && seek != Seek::ById)
    stmt->BindBlob(1, encodedKey);
  if (seek == Seek::NextDuplicate || seek == Seek::PreviousDuplicate || seek == Seek::ById)
    stmt->BindInt(2, id);
  int rc = stmt->Step();
  if (rc == SQLITE_DONE) return RmStatus::EndOfFile;
  if (rc != SQLITE_ROW) return sqlite::ToStatus(rc);
  std::string_view data = stmt->ColumnBlob(1);
  if (data.size() != spec_.recordLength) return RmStatus::IoError;
  out.id = stmt->ColumnInt(0);
  out.data.assign(data);
  out.key.assign(stmt->ColumnBlob(2));
  return RmStatus::Success;
}

RmStatus RecordTable::Highest(int key, std::string& encoded) {
  encoded.clear();
  sqlite::Stmt* stmt =
      Prepared(perKey_[static_cast<std::size_t>(key)][kHighest], SeekSql(key, Seek::kCount));
  if (stmt == nullptr) return RmStatus::IoError;
  sqlite::StmtScope scope(*stmt);
  int rc = stmt->Step();
  if (rc != SQLITE_ROW) return sqlite::ToStatus(rc);
  encoded.assign(stmt->ColumnBlob(0));
  return RmStatus::Success;
}

RmStatus RecordTable::Count(std::uint64_t& count) {
  sqlite::Stmt* stmt =
      Prepared(count_, std::string("SELECT count(*) FROM ") + catalogue::kRecordTable);
  if (stmt == nullptr) return RmStatus::IoError;
  sqlite::StmtScope scope(*stmt);
  int rc = stmt->Step();
  if (rc != SQLITE_ROW) return sqlite::ToStatus(rc);
  count = static_cast<std::uint64_t>(stmt->ColumnInt(0));
  return RmStatus::Success;
}

RmStatus RecordTable::Insert(std::string_view record, const std::vector<std::string>& keys,
                             std::int64_t& id) {
  if (!insert_.Prepared()) {
    std::string columns = "data";
    std::string values = "?1";
    for (std::size_t k = 0; k < spec_.keys.size(); ++k) {
      columns += ", " + catalogue::KeyColumn(static_cast<int>(k));
      values += ", ?" + std::to_string(k + 2);
    }
    if (Prepared(insert_, std::string("INSERT INTO ") + catalogue::kRecordTable + "(" + columns +
                              ") VALUES(" + values + ")") == nullptr)
      return RmStatus::IoError;
  }
  sqlite::StmtScope scope(insert_);
  insert_.BindBlob(1, record);
  for (std::size_t k = 0; k < keys.size(); ++k) insert_.BindBlob(static_cast<int>(k + 2), keys[k]);
  int rc = insert_.Step();
  if (rc != SQLITE_DONE) return sqlite::ToStatus(rc);
  id = sqlite3_last_insert_rowid(db_);
  return RmStatus::Success;
}

RmStatus RecordTable::Update(std::int64_t id, std::string_view record,
                             const std::vector<std::string>& keys) {
  if (!update_.Prepared()) {
    std::string sets = "data = ?1";
    for (std::size_t k = 0; k < spec_.keys.size(); ++k)
      sets += ", " + catalogue::KeyColumn(static_cast<int>(k)) + " = ?" + std::to_string(k + 2);
    std::string idParam = "?" + std::to_string(spec_.keys.size() + 2);
    if (Prepared(update_, std::string("UPDATE ") + catalogue::kRecordTable + " SET " + sets +
                              " WHERE id = " + idParam) == nullptr)
      return RmStatus::IoError;
  }
  sqlite::StmtScope scope(update_);
  update_.BindBlob(1, record);
  for (std::size_t k = 0; k < keys.size(); ++k) update_.BindBlob(static_cast<int>(k + 2), keys[k]);
  update_.BindInt(static_cast<int>(keys.size() + 2), id);
  int rc = update_.Step();
  if (rc != SQLITE_DONE) return sqlite::ToStatus(rc);
  return sqlite3_changes(db_) == 0 ? RmStatus::RecordConflict : RmStatus::Success;
}

RmStatus RecordTable::Delete(std::int64_t id) {
  if (Prepared(delete_, std::string("DELETE FROM ") + catalogue::kRecordTable + " WHERE id = ?1") ==
      nullptr)
    return RmStatus::IoError;
  sqlite::StmtScope scope(delete_);
  delete_.BindInt(1, id);
  int rc = delete_.Step();
  if (rc != SQLITE_DONE) return sqlite::ToStatus(rc);
  return sqlite3_changes(db_) == 0 ? RmStatus::RecordConflict : RmStatus::Success;
}

RmStatus RecordTable::Begin() {
  return Run(Prepared(begin_, "BEGIN IMMEDIATE"));
}

RmStatus RecordTable::BeginRead() {
  return Run(Prepared(beginRead_, "BEGIN DEFERRED"));
}

RmStatus RecordTable::Commit() {
  return Run(Prepared(commit_, "COMMIT"));
}

void RecordTable::Rollback() {
  if (!sqlite3_get_autocommit(db_)) Run(Prepared(rollback_, "ROLLBACK"));
}

}  // namespace upfold
