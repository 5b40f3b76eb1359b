#pragma once
// Thin ownership wrappers over the SQLite C interface, and how its result codes become
// record-manager statuses. Internal to the record manager: nothing outside src/recman (and
// its tests and benchmark) includes sqlite3.h.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "recman/Status.h"

namespace upfold::sqlite {

// The status for a SQLite result code; busy means another connection has the file locked.
RmStatus ToStatus(int resultCode);

class Db {
 public:
  Db() = default;
  ~Db() { Close(); }
  Db(Db&& other) noexcept : db_(other.db_) { other.db_ = nullptr; }
  Db& operator=(Db&& other) noexcept;
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  // Opens an existing database file for reading and writing (read-only when the file
  // cannot be written). Returns the SQLite result code.
  int Open(const std::string& path);
  void Close();
  sqlite3* Get() const { return db_; }
  // Runs statements that return no rows; the SQLite result code.
  int Exec(const char* sql) const;

 private:
  sqlite3* db_ = nullptr;
};

// A prepared statement kept for reuse. Step() results stay readable until Reset(), which
// every user calls (through StmtScope) so that no read transaction outlives a call.
class Stmt {
 public:
  Stmt() = default;
  ~Stmt() { sqlite3_finalize(stmt_); }
  Stmt(Stmt&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }
  Stmt& operator=(Stmt&& other) noexcept;
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  int Prepare(sqlite3* db, const std::string& sql);
  bool Prepared() const { return stmt_ != nullptr; }

  void BindBlob(int index, std::string_view bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  void BindInt(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
  int Step() { return sqlite3_step(stmt_); }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

  std::int64_t ColumnInt(int column) const { return sqlite3_column_int64(stmt_, column); }
  std::string_view ColumnBlob(int column) const;

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Resets a statement on every way out of a scope.
class StmtScope {
 public:
  explicit StmtScope(Stmt& stmt) : stmt_(stmt) {}
  ~StmtScope() { stmt_.Reset(); }
  StmtScope(const StmtScope&) = delete;
  StmtScope& operator=(const StmtScope&) = delete;

 private:
  Stmt& stmt_;
};

}  // namespace upfold::sqlite
