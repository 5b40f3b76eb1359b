#include "recman/Catalogue.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "recman/KeyCodec.h"

namespace upfold::catalogue {

namespace {

constexpr char kMagic[] = "SQLite format 3";  // 16 bytes with its terminating zero
constexpr std::size_t kHeaderSize = 100;

std::uint32_t BigEndian(const unsigned char* p, std::size_t n) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v = v << 8 | p[i];
  return v;
}

off_t FileSize(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 ? st.st_size : -1;
}

}  // namespace

std::string KeyColumn(int keyNumber) {
  return "k" + std::to_string(keyNumber);
}

RmStatus CheckHeader(int fd) {
  std::array<unsigned char, kHeaderSize> h{};
  ssize_t got = ::pread(fd, h.data(), h.size(), 0);
  if (got < 0) return RmStatus::IoError;
  const auto n = static_cast<std::size_t>(got);
  if (n == 0 || std::memcmp(h.data(), kMagic, std::min(n, sizeof kMagic)) != 0)
    return RmStatus::NotADataFile;
  if (n < kHeaderSize) return RmStatus::IoError;  // ours or not, it has been cut short
  if (static_cast<int>(BigEndian(&h[68], 4)) != kApplicationId ||
      static_cast<int>(BigEndian(&h[60], 4)) != kFormatVersion)
    return RmStatus::NotADataFile;
  std::uint32_t pageSize = BigEndian(&h[16], 2);
  if (pageSize == 1) pageSize = 65536;
  if (FileSize(fd) < static_cast<off_t>(pageSize)) return RmStatus::IoError;
  return RmStatus::Success;
}

RmStatus Write(const sqlite::Db& db, const FileSpec& fileSpec) {
  std::string sql = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                    "; PRAGMA user_version=" + std::to_string(kFormatVersion) +
                    "; BEGIN;"
                    " CREATE TABLE rm_file(record_length INTEGER NOT NULL);"
                    " CREATE TABLE rm_key(key_no INTEGER NOT NULL, seg_no INTEGER NOT NULL,"
                    " offset INTEGER NOT NULL, length INTEGER NOT NULL, type INTEGER NOT NULL,"
                    " nocase INTEGER NOT NULL, dups INTEGER NOT NULL,"
                    " PRIMARY KEY(key_no, seg_no));";
  sql += " INSERT INTO rm_file VALUES(" + std::to_string(fileSpec.recordLength) + ");";
  std::string columns;
  for (std::size_t k = 0; k < fileSpec.keys.size(); ++k) {
    const KeySpec& key = fileSpec.keys[k];
    for (std::size_t s = 0; s < key.segments.size(); ++s) {
      const KeySegment& seg = key.segments[s];
      sql += " INSERT INTO rm_key VALUES(" + std::to_string(k) + "," + std::to_string(s) + "," +
             std::to_string(seg.offset) + "," + std::to_string(seg.length) + "," +
             std::to_string(static_cast<int>(seg.type)) + "," +
             std::to_string(seg.caseInsensitive ? 1 : 0) + "," +
             std::to_string(key.duplicates ? 1 : 0) + ");";
    }
    columns += ", " + KeyColumn(static_cast<int>(k)) + " BLOB NOT NULL";
  }
  sql += std::string(" CREATE TABLE ") + kRecordTable +
         "(id INTEGER PRIMARY KEY, data BLOB NOT NULL" + columns + ");";
  // Each key index holds the record id as its last column, so duplicates keep their
  // insertion order and Next/Previous are seeks on (key, id).
  for (std::size_t k = 0; k < fileSpec.keys.size(); ++k) {
    std::string column = KeyColumn(static_cast<int>(k));
    sql += std::string(" CREATE ") + (fileSpec.keys[k].duplicates ? "" : "UNIQUE ") + "INDEX " +
           kRecordTable + "_" + column + " ON " + kRecordTable + "(" + column + ");";
  }
  sql += " COMMIT;";
  int rc = db.Exec(sql.c_str());
  if (rc != SQLITE_OK) {
    db.Exec("ROLLBACK;");
    return RmStatus::CreateError;
  }
  return RmStatus::Success;
}

RmStatus Read(const sqlite::Db& db, int fd, FileSpec& fileSpec) {
  fileSpec = {};
  sqlite::Stmt file;
  sqlite::Stmt keys;
  sqlite::Stmt pages;
  int rc = file.Prepare(db.Get(), "SELECT record_length FROM rm_file");
  if (rc == SQLITE_OK)
    rc = keys.Prepare(db.Get(),
                      "SELECT key_no, seg_no, offset, length, type, nocase, dups FROM rm_key"
                      " ORDER BY key_no, seg_no");
  if (rc == SQLITE_OK)
    rc = pages.Prepare(db.Get(),
                       "SELECT page_count * page_size FROM pragma_page_count, pragma_page_size");
  if ((rc & 0xFF) == SQLITE_ERROR) return RmStatus::NotADataFile;  // no catalogue tables
  if (rc != SQLITE_OK) return sqlite::ToStatus(rc);

  // One read transaction, so that another process's commit cannot fall in between.
  if (int begin = db.Exec("BEGIN"); begin != SQLITE_OK) return sqlite::ToStatus(begin);
  RmStatus status = RmStatus::Success;
  {
    sqlite::StmtScope fileScope(file);
    sqlite::StmtScope keysScope(keys);
    sqlite::StmtScope pagesScope(pages);
    rc = file.Step();
    if (rc != SQLITE_ROW) {
      status = rc == SQLITE_DONE ? RmStatus::IoError : sqlite::ToStatus(rc);
    } else {
      std::int64_t length = file.ColumnInt(0);
      fileSpec.recordLength = length > 0 && length <= 0xFFFF ? static_cast<std::uint16_t>(length) : 0;
      while ((rc = keys.Step()) == SQLITE_ROW) {
        auto k = static_cast<std::size_t>(keys.ColumnInt(0));
        if (k == fileSpec.keys.size()) {
          fileSpec.keys.emplace_back();
        } else if (k + 1 != fileSpec.keys.size()) {  // key numbers out of order or with a gap
          status = RmStatus::IoError;
          break;
        }
        KeySegment seg;
        seg.offset = static_cast<std::uint16_t>(keys.ColumnInt(2));
        seg.length = static_cast<std::uint16_t>(keys.ColumnInt(3));
        seg.type = static_cast<KeyType>(keys.ColumnInt(4));
        seg.caseInsensitive = keys.ColumnInt(5) != 0;
        fileSpec.keys.back().duplicates = keys.ColumnInt(6) != 0;
        fileSpec.keys.back().segments.push_back(seg);
      }
      if (status == RmStatus::Success && rc != SQLITE_DONE) status = sqlite::ToStatus(rc);
    }
    if (status == RmStatus::Success && keycodec::Validate(fileSpec) != RmStatus::Success)
      status = RmStatus::IoError;
    if (status == RmStatus::Success) {
      // A file cut short still has an intact first page; its header tells the true size.
      rc = pages.Step();
      if (rc != SQLITE_ROW)
        status = sqlite::ToStatus(rc);
      else if (pages.ColumnInt(0) > FileSize(fd))
        status = RmStatus::IoError;
    }
  }
  db.Exec("COMMIT");
  return status;
}

}  // namespace upfold::catalogue
