// Inserts per second and keyed reads (Get Equal on key 1, random keys) per second through the
// record manager, and the same work on a bare SQLite database with prepared statements, the
// same indexes and the same storage settings. A plain program, not a test:
//
//   recman_bench [RECORDS [READS [FOLDER]]]     (defaults 20000, 200000, $TMPDIR or /tmp)

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "recman/DataFile.h"
#include "recman/StorageSettings.h"

namespace {

using upfold::DataFile;
using upfold::FileSpec;
using upfold::KeyType;
using upfold::RmStatus;

// A transaction record of 127 bytes, keyed like a remote batch: 0 auto-increment,
// 1 client + case, 2 employee, 3 date text, 4 type (1-4 with duplicates).
constexpr std::uint16_t kRecordLength = 127;
struct Field {
  std::uint16_t offset;
  std::uint16_t length;
};
constexpr Field kKeyFields[] = {{4, 14}, {26, 4}, {19, 6}, {18, 1}};

FileSpec BatchSpec() {
  FileSpec fileSpec;
  fileSpec.recordLength = kRecordLength;
  fileSpec.keys.push_back({{{0, 4, KeyType::AutoInc, false}}, false});
  for (const Field& f : kKeyFields)
    fileSpec.keys.push_back({{{f.offset, f.length, KeyType::String, false}}, true});
  return fileSpec;
}

std::string ClientCase(int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "C%05d %7d", n % 5000, n % 7);
  return buf;
}

std::string MakeRecord(int n) {
  std::string r(kRecordLength, ' ');
  r.replace(4, 14, ClientCase(n));
  r[18] = "FCTP"[n % 4];
  char date[8];
  std::snprintf(date, sizeof date, "%02d%02d%02d", 40 + n % 7, 1 + n % 12, 1 + n % 28);
  r.replace(19, 6, date);
  char emp[8];
  std::snprintf(emp, sizeof emp, "E%03d", n % 40);
  r.replace(26, 4, emp);
  for (int i = 0; i < 4; ++i) r[static_cast<std::size_t>(i)] = '\0';  // auto-increment: assign
  return r;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string gFolder;  // removed on every way out

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "failed: %s\n", what);
    if (!gFolder.empty()) std::filesystem::remove_all(gFolder);
    std::exit(1);
  }
}

struct Rates {
  double inserts = 0;
  double reads = 0;
};

Rates RunOurs(const std::string& path, int records, const std::vector<int>& lookups) {
  Check(DataFile::Create(path, BatchSpec()) == RmStatus::Success, "create");
  DataFile file;
  Check(file.Open(path) == RmStatus::Success, "open");
  Rates rates;
  auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < records; ++n) {
    std::string record = MakeRecord(n);
    RmStatus st = file.Insert(record);
    if (st != RmStatus::Success)
      std::fprintf(stderr, "insert %d: status %d\n", n, upfold::StatusNumber(st));
    Check(st == RmStatus::Success, "insert");
  }
  rates.inserts = records / Seconds(start);
  std::string key;
  std::string record;
  start = std::chrono::steady_clock::now();
  for (int n : lookups) {
    key = ClientCase(n);
    Check(file.GetEqual(1, key, record) == RmStatus::Success, "get equal");
  }
  rates.reads = static_cast<double>(lookups.size()) / Seconds(start);
  return rates;
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* stmt = nullptr;
  Check(sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) == SQLITE_OK,
        sql);
  return stmt;
}

Rates RunBare(const std::string& path, int records, const std::vector<int>& lookups,
              const upfold::StorageSettings& settings) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "open bare");
  Check(upfold::ApplyStorageSettings(db, settings) == SQLITE_OK, "settings");
  Check(sqlite3_exec(db,
                     "CREATE TABLE t(id INTEGER PRIMARY KEY, data BLOB NOT NULL, k1 BLOB NOT NULL,"
                     " k2 BLOB NOT NULL, k3 BLOB NOT NULL, k4 BLOB NOT NULL);"
                     "CREATE INDEX t_k1 ON t(k1); CREATE INDEX t_k2 ON t(k2);"
                     "CREATE INDEX t_k3 ON t(k3); CREATE INDEX t_k4 ON t(k4);",
                     nullptr, nullptr, nullptr) == SQLITE_OK,
        "schema");
  sqlite3_stmt* insert =
      Prepare(db, "INSERT INTO t(data, k1, k2, k3, k4) VALUES(?1, ?2, ?3, ?4, ?5)");
  sqlite3_stmt* select = Prepare(db, "SELECT id, data FROM t WHERE k1 = ?1 ORDER BY id LIMIT 1");
  Rates rates;
  auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < records; ++n) {
    std::string record = MakeRecord(n);
    sqlite3_bind_blob(insert, 1, record.data(), kRecordLength, SQLITE_TRANSIENT);
    for (int k = 0; k < 4; ++k)
      sqlite3_bind_blob(insert, k + 2, record.data() + kKeyFields[k].offset, kKeyFields[k].length,
                        SQLITE_TRANSIENT);
    Check(sqlite3_step(insert) == SQLITE_DONE, "bare insert");
    sqlite3_reset(insert);
  }
  rates.inserts = records / Seconds(start);
  std::string record;
  start = std::chrono::steady_clock::now();
  for (int n : lookups) {
    std::string key = ClientCase(n);
    sqlite3_bind_blob(select, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    Check(sqlite3_step(select) == SQLITE_ROW, "bare select");
    record.assign(static_cast<const char*>(sqlite3_column_blob(select, 1)),
                  static_cast<std::size_t>(sqlite3_column_bytes(select, 1)));
    sqlite3_reset(select);
  }
  rates.reads = static_cast<double>(lookups.size()) / Seconds(start);
  sqlite3_finalize(insert);
  sqlite3_finalize(select);
  sqlite3_close(db);
  return rates;
}

}  // namespace

int main(int argc, char** argv) {
  const int records = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int reads = argc > 2 ? std::atoi(argv[2]) : 200000;
  const char* tmp = std::getenv("TMPDIR");
  std::string base = argc > 3 ? argv[3] : (tmp != nullptr ? tmp : "/tmp");
  std::string folder = base + "/recman-bench-XXXXXX";
  Check(::mkdtemp(folder.data()) != nullptr, "temporary folder");
  gFolder = folder;

  std::mt19937 random(42);
  std::uniform_int_distribution<int> pick(0, records - 1);
  std::vector<int> lookups(static_cast<std::size_t>(reads));
  for (int& n : lookups) n = pick(random);

  const upfold::StorageSettings& chosen = upfold::DataFileSettings();
  const upfold::StorageSettings full{chosen.journalMode, "FULL", chosen.busyTimeoutMs};
  Rates ours = RunOurs(folder + "/ours.dat", records, lookups);
  Rates bare = RunBare(folder + "/bare.db", records, lookups, chosen);
  // Waiting for the disk at every commit is slow; a sample shows what it would cost.
  const int fullRecords = std::max(records / 100, 50);
  Rates bareFull = RunBare(folder + "/full.db", fullRecords, {}, full);
  std::filesystem::remove_all(folder);

  std::printf("records %d, reads %d, folder %s, journal_mode=%s synchronous=%s\n", records, reads,
              base.c_str(), chosen.journalMode, chosen.synchronous);
  std::printf("%-22s %14s %14s %8s\n", "", "record manager", "bare SQLite", "ratio");
  std::printf("%-22s %14.0f %14.0f %8.2f\n", "inserts per second", ours.inserts, bare.inserts,
              bare.inserts / ours.inserts);
  std::printf("%-22s %14.0f %14.0f %8.2f\n", "Get Equal per second", ours.reads, bare.reads,
              bare.reads / ours.reads);
  std::printf("bare SQLite inserts per second with synchronous=FULL: %.0f (%d records)\n",
              bareFull.inserts, fullRecords);
  return 0;
}
