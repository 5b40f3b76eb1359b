#include "recman/Sqlite.h"

#include <utility>

namespace upfold::sqlite {

RmStatus ToStatus(int resultCode) {
  switch (resultCode & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return RmStatus::Success;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return RmStatus::FileLocked;
    case SQLITE_CONSTRAINT:
      return RmStatus::DuplicateKey;
    case SQLITE_NOTADB:
      return RmStatus::NotADataFile;
    case SQLITE_FULL:
      return RmStatus::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:  // after the open: the journal cannot be made beside the file
      return RmStatus::AccessDenied;
    default:  // corruption, I/O errors, a damaged schema
      return RmStatus::IoError;
  }
}

Db& Db::operator=(Db&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = std::exchange(other.db_, nullptr);
  }
  return *this;
}

int Db::Open(const std::string& path) {
  Close();
  int rc =
      sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK)
    Close();
  else
    sqlite3_extended_result_codes(db_, 1);
  return rc;
}

void Db::Close() {
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

int Db::Exec(const char* sql) const {
  return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

Stmt& Stmt::operator=(Stmt&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    stmt_ = std::exchange(other.stmt_, nullptr);
  }
  return *this;
}

int Stmt::Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  return sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()),
                            SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
}

std::string_view Stmt::ColumnBlob(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  if (data == nullptr || size <= 0) return {};
  return {static_cast<const char*>(data), static_cast<std::size_t>(size)};
}

}  // namespace upfold::sqlite
