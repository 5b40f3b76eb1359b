// Every Get is an index seek: a call never scans the record table, however many duplicates a
// key has. Checked on SQLite's own plan for each statement.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "RecmanSupport.h"
#include "recman/RecordTable.h"
#include "support/TempDir.h"

namespace upfold::test {
namespace {

std::string Plan(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &stmt, nullptr),
            SQLITE_OK)
      << sql;
  std::string plan;
  while (stmt != nullptr && sqlite3_step(stmt) == SQLITE_ROW)
    plan += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)) + std::string("; ");
  sqlite3_finalize(stmt);
  return plan;
}

TEST(QueryPlan, EverySeekUsesTheKeysIndex) {
  TempDir dir;
  const std::string path = dir / "plan.dat";
  ASSERT_EQ(DataFile::Create(path, SampleSpec()), RmStatus::Success);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);

  struct Case {
    Seek seek;
    const char* plan;  // for key 1, with duplicates
  };
  const Case cases[] = {
      {Seek::Equal, "SEARCH rm_record USING INDEX rm_record_k1 (k1=?)"},
      {Seek::GreaterOrEqual, "SEARCH rm_record USING INDEX rm_record_k1 (k1>?)"},
      {Seek::Greater, "SEARCH rm_record USING INDEX rm_record_k1 (k1>?)"},
      {Seek::LessOrEqual, "SEARCH rm_record USING INDEX rm_record_k1 (k1<?)"},
      {Seek::Less, "SEARCH rm_record USING INDEX rm_record_k1 (k1<?)"},
      {Seek::First, "SCAN rm_record USING INDEX rm_record_k1"},  // LIMIT 1 in index order
      {Seek::Last, "SCAN rm_record USING INDEX rm_record_k1"},
      // The seek lands on the duplicate itself, not on the first of its key.
      {Seek::NextDuplicate, "SEARCH rm_record USING INDEX rm_record_k1 (k1=? AND rowid>?)"},
      {Seek::PreviousDuplicate, "SEARCH rm_record USING INDEX rm_record_k1 (k1=? AND rowid<?)"},
      {Seek::ById, "SEARCH rm_record USING INTEGER PRIMARY KEY (rowid=?)"},
      {Seek::kCount, "SEARCH rm_record USING COVERING INDEX rm_record_k1"},
  };
  for (const Case& c : cases) {
    std::string plan = Plan(db, RecordTable::SeekSql(1, c.seek));
    EXPECT_EQ(plan, std::string(c.plan) + "; ") << static_cast<int>(c.seek);
  }
  sqlite3_close(db);
}

}  // namespace
}  // namespace upfold::test
