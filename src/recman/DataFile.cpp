#include "recman/DataFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/FileHold.h"
#include "recman/Catalogue.h"
#include "recman/FileLocks.h"
#include "recman/KeyCodec.h"
#include "recman/RecordTable.h"
#include "recman/Sqlite.h"
#include "recman/StorageSettings.h"

namespace upfold {

namespace {

const FileSpec kNoSpec{};
const std::string kNoPath;

constexpr bool Ok(RmStatus s) {
  return s == RmStatus::Success;
}

RmStatus CheckRecordSize(const std::string& record, std::size_t recordLength) {
  if (record.size() < recordLength) return RmStatus::DataBufferTooShort;
  if (record.size() > recordLength) return RmStatus::InvalidRecordLength;
  return RmStatus::Success;
}

// The seek of a Get that starts from the caller's key.
Seek KeyedSeek(GetOp op) {
  switch (op) {
    case GetOp::Greater:
      return Seek::Greater;
    case GetOp::GreaterOrEqual:
      return Seek::GreaterOrEqual;
    case GetOp::Less:
      return Seek::Less;
    case GetOp::LessOrEqual:
      return Seek::LessOrEqual;
    default:
      return Seek::Equal;
  }
}

void RemoveFileAndJournal(const std::string& path) {
  ::unlink(path.c_str());
  ::unlink((path + "-journal").c_str());
}

}  // namespace

struct DataFile::Impl {
  // Where Get Next/Previous go on from: a key path and a place on it.
  struct Position {
    bool valid = false;
    int key = 0;
    std::string encodedKey;
    RecordId id = 0;
  };

  std::string path;
  OpenMode mode = OpenMode::Normal;
  FileLocks locks;
  sqlite::Db db;
  FileSpec fileSpec;
  std::optional<RecordTable> table;
  FileHold hold;

  Position position;
  int currentKey = 0;
  bool hasCurrent = false;  // position.id names a record that Update/Delete may act on
  RecordId lockedId = 0;
  bool inTransaction = false;
  bool holdReads = false;
  bool inStretch = false;  // a read transaction of held reads is open
  // This thread's handles with a stretch under way, so that all can let go before it waits.
  static thread_local std::vector<Impl*> stretches;

  ~Impl() { Reset(); }  // also takes the handle off the thread's list of stretches

  bool IsOpen() const { return db.Get() != nullptr; }

  void ReleaseLock() {
    if (lockedId != 0) locks.UnlockRecord(lockedId);
    lockedId = 0;
  }

  void EndStretch() {
    if (!inStretch) return;
    // A read-only transaction: ending it only lets the shared lock go.
    if (table) table->Rollback();
    inStretch = false;
    std::erase(stretches, this);
  }

  // Called before a Get: begins a stretch when reads are held and none is under way.
  RmStatus ReadInStretch() {
    if (!holdReads || inStretch || inTransaction) return RmStatus::Success;
    if (RmStatus st = table->BeginRead(); !Ok(st)) return st;
    inStretch = true;
    stretches.push_back(this);
    return RmStatus::Success;
  }

  void Reset() {
    EndStretch();
    holdReads = false;
    // Closing before End drops the transaction.
    if (inTransaction && table) table->Rollback();
    inTransaction = false;
    table.reset();
    db.Close();
    locks.Close();
    hold.Release();
    path.clear();
    fileSpec = {};
    position = {};
    currentKey = 0;
    hasCurrent = false;
    lockedId = 0;
  }

  std::vector<std::string> EncodeKeys(const std::string& record) const {
    std::vector<std::string> keys;
    keys.reserve(fileSpec.keys.size());
    for (const KeySpec& key : fileSpec.keys)
      keys.push_back(keycodec::Encode(key, keycodec::Extract(key, record)));
    return keys;
  }

  bool IsKey(int key) const { return key >= 0 && static_cast<std::size_t>(key) < fileSpec.keys.size(); }

  void MakeCurrent(int key, std::string encodedKey, RecordId id) {
    position = {true, key, std::move(encodedKey), id};
    currentKey = key;
    hasCurrent = true;
  }

  // Ends a successful Get: takes the lock asked for, hands over the record and its key and
  // makes it current. whenGone: the status when the record vanished before it was locked.
  RmStatus Deliver(int key, FoundRecord& found, RecordLock lock, RmStatus whenGone,
                   std::string& keyOut, std::string& record) {
    const RecordId id = found.id;
    if (lock == RecordLock::Test) {
      if (RmStatus st = locks.TestRecord(id); !Ok(st)) {
        EndStretch();  // as below
        return st;
      }
    } else if (lock == RecordLock::Single) {
      if (RmStatus st = locks.LockRecord(id); !Ok(st)) {
        // The holder may be waiting to commit its change: it must not wait on this handle
        // while the caller waits for the lock.
        EndStretch();
        return st;
      }
      // Read again under the lock: whoever changed it in between held the lock meanwhile.
      if (RmStatus st = table->Find(key, Seek::ById, {}, id, found); !Ok(st)) {
        locks.UnlockRecord(id);
        return st == RmStatus::EndOfFile ? whenGone : st;
      }
      lockedId = id;
    }
    record = found.data;
    keyOut = keycodec::Extract(fileSpec.keys[static_cast<std::size_t>(key)], record);
    MakeCurrent(key, std::move(found.key), id);
    return RmStatus::Success;
  }

  // Next/Previous along `key` from the position, first moving onto the current record in
  // that key's order when the position lies on another key path.
  RmStatus Step(int key, bool forward, FoundRecord& found) {
    if (!position.valid) return RmStatus::InvalidPositioning;
    std::string from = position.encodedKey;
    if (position.key != key) {
      RmStatus st = table->Find(key, Seek::ById, {}, position.id, found);
      if (!Ok(st)) return st == RmStatus::EndOfFile ? RmStatus::InvalidPositioning : st;
      from = found.key;
    }
    if (fileSpec.keys[static_cast<std::size_t>(key)].duplicates) {
      RmStatus st = table->Find(key, forward ? Seek::NextDuplicate : Seek::PreviousDuplicate, from,
                                position.id, found);
      if (st != RmStatus::EndOfFile) return st;
    }
    return table->Find(key, forward ? Seek::Greater : Seek::Less, from, 0, found);
  }

  // A write on the current record is refused while another handle has it locked; holding the
  // lock for the write keeps a locking Get elsewhere from reading it half way.
  template <typename Write>
  RmStatus WriteCurrent(Write write) {
    const RecordId id = position.id;
    const bool heldBefore = lockedId == id;
    if (!heldBefore) {
      if (RmStatus st = locks.LockRecord(id); !Ok(st)) return st;
    }
    RmStatus st = write(id);
    if (!heldBefore)
      locks.UnlockRecord(id);
    else if (Ok(st))
      ReleaseLock();
    return st;
  }
};

thread_local std::vector<DataFile::Impl*> DataFile::Impl::stretches;

DataFile::DataFile() : impl_(std::make_unique<Impl>()) {}
DataFile::~DataFile() = default;
DataFile::DataFile(DataFile&&) noexcept = default;
DataFile& DataFile::operator=(DataFile&&) noexcept = default;

RmStatus DataFile::Create(const std::string& hostPath, const FileSpec& fileSpec) {
  if (RmStatus st = keycodec::Validate(fileSpec); !Ok(st)) return st;
  int fd = ::open(hostPath.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return RmStatus::FileExists;
    if (errno == EACCES || errno == EROFS || errno == EPERM) return RmStatus::AccessDenied;
    return RmStatus::CreateError;
  }
  ::close(fd);
  sqlite::Db db;
  RmStatus st = RmStatus::CreateError;
  if (db.Open(hostPath) == SQLITE_OK && ApplyStorageSettings(db.Get()) == SQLITE_OK)
    st = catalogue::Write(db, fileSpec);
  db.Close();
  if (!Ok(st)) RemoveFileAndJournal(hostPath);
  return st;
}

RmStatus DataFile::Open(const std::string& hostPath, OpenMode mode) {
  if (!impl_) impl_ = std::make_unique<Impl>();
  Impl& f = *impl_;
  if (f.IsOpen()) Close();
  RmStatus st = f.locks.Open(hostPath, mode == OpenMode::Exclusive);
  if (Ok(st)) st = catalogue::CheckHeader(f.locks.Descriptor());
  if (Ok(st)) {
    int rc = f.db.Open(hostPath);
    if (rc == SQLITE_OK) rc = ApplyStorageSettings(f.db.Get());
    st = sqlite::ToStatus(rc);
  }
  if (Ok(st)) st = catalogue::Read(f.db, f.locks.Descriptor(), f.fileSpec);
  if (!Ok(st)) {
    f.Reset();
    return st;
  }
  f.path = hostPath;
  f.mode = mode;
  f.table.emplace(f.db.Get(), f.fileSpec);
  // A program killed while it began a change can leave a journal that never became hot; the
  // read above has rolled back any hot one. With nobody else holding the file, what is left is
  // stale and would otherwise stay beside the file for good.
  const std::string journal = hostPath + "-journal";
  if (!FileHold::IsHeld(hostPath) && ::access(journal.c_str(), F_OK) == 0) ::unlink(journal.c_str());
  // DosFs probes a hold with a brief exclusive lock of its own; try again past one.
  for (int attempt = 0; attempt < 3 && !f.hold.Held(); ++attempt) f.hold = FileHold(hostPath);
  return RmStatus::Success;
}

RmStatus DataFile::Close() {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  impl_->Reset();
  return RmStatus::Success;
}

bool DataFile::IsOpen() const {
  return impl_ && impl_->IsOpen();
}

const std::string& DataFile::Path() const {
  return impl_ ? impl_->path : kNoPath;
}

const FileSpec& DataFile::Definition() const {
  return impl_ ? impl_->fileSpec : kNoSpec;
}

RmStatus DataFile::Stat(FileStat& out) const {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  out.fileSpec = impl_->fileSpec;
  return impl_->table->Count(out.recordCount);
}

RmStatus DataFile::RecordCount(std::uint64_t& count) const {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  return impl_->table->Count(count);
}

RmStatus DataFile::Get(GetOp op, int keyNumber, std::string& key, std::string& record,
                       RecordLock lock) {
  return Get(op, keyNumber, key, record, Definition().recordLength, lock);
}

RmStatus DataFile::Get(GetOp op, int keyNumber, std::string& key, std::string& record,
                       std::size_t bufferLength, RecordLock lock) {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  Impl& f = *impl_;
  if (!f.IsKey(keyNumber)) return RmStatus::InvalidKeyNumber;
  f.ReleaseLock();
  if (bufferLength < f.fileSpec.recordLength) return RmStatus::DataBufferTooShort;
  const KeySpec& keySpec = f.fileSpec.keys[static_cast<std::size_t>(keyNumber)];
  if (RmStatus st = f.ReadInStretch(); !Ok(st)) return st;

  FoundRecord found;
  RmStatus st = RmStatus::Success;
  switch (op) {
    case GetOp::Next:
    case GetOp::Previous:
      st = f.Step(keyNumber, op == GetOp::Next, found);
      break;
    case GetOp::First:
    case GetOp::Last:
      st = f.table->Find(keyNumber, op == GetOp::First ? Seek::First : Seek::Last, {}, 0, found);
      break;
    default:
      st = f.table->Find(keyNumber, KeyedSeek(op),
                         keycodec::Encode(keySpec, keycodec::FromBuffer(keySpec, key)), 0, found);
      if (op == GetOp::Equal && st == RmStatus::EndOfFile) st = RmStatus::KeyNotFound;
      break;
  }
  if (!Ok(st)) return st;
  // A record deleted before the lock was had: a retry finds the one now in its place.
  return f.Deliver(keyNumber, found, lock, RmStatus::RecordLocked, key, record);
}

RmStatus DataFile::GetDirect(RecordId id, int keyNumber, std::string& key, std::string& record,
                             RecordLock lock) {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  Impl& f = *impl_;
  if (!f.IsKey(keyNumber)) return RmStatus::InvalidKeyNumber;
  f.ReleaseLock();
  if (RmStatus st = f.ReadInStretch(); !Ok(st)) return st;
  FoundRecord found;
  RmStatus st = f.table->Find(keyNumber, Seek::ById, {}, id, found);
  if (st == RmStatus::EndOfFile) return RmStatus::InvalidRecordAddress;
  if (!Ok(st)) return st;
  return f.Deliver(keyNumber, found, lock, RmStatus::InvalidRecordAddress, key, record);
}

RmStatus DataFile::Insert(std::string& record) {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  Impl& f = *impl_;
  if (f.mode == OpenMode::ReadOnly) return RmStatus::AccessDenied;
  if (RmStatus st = CheckRecordSize(record, f.fileSpec.recordLength); !Ok(st)) return st;
  f.EndStretch();

  std::string stored = record;
  std::vector<int> assign;  // AutoInc keys whose field is zero
  for (std::size_t k = 0; k < f.fileSpec.keys.size(); ++k) {
    const KeySegment* seg = keycodec::AutoIncSegment(f.fileSpec.keys[k]);
    if (seg != nullptr && keycodec::ReadUnsigned(stored, *seg) == 0)
      assign.push_back(static_cast<int>(k));
  }
  // Reading the highest value and inserting must be one transaction, or two processes
  // could both take the same number; the handle's own transaction already is one.
  const bool ownTransaction = !assign.empty() && !f.inTransaction;
  if (ownTransaction) {
    if (RmStatus st = f.table->Begin(); !Ok(st)) return st;
  }
  RmStatus st = RmStatus::Success;
  for (int k : assign) {
    const KeySegment& seg = f.fileSpec.keys[static_cast<std::size_t>(k)].segments[0];
    std::string highest;
    if (st = f.table->Highest(k, highest); !Ok(st)) break;
    const std::uint64_t next = keycodec::DecodeUnsigned(highest) + 1;
    if (next >> (8 * seg.length) != 0) {  // every number of the field is taken
      st = RmStatus::OperationNotAllowed;
      break;
    }
    keycodec::WriteUnsigned(stored, seg, next);
  }
  std::vector<std::string> keys;
  RecordId id = 0;
  if (Ok(st)) {
    keys = f.EncodeKeys(stored);
    st = f.table->Insert(stored, keys, id);
  }
  if (ownTransaction) {
    if (Ok(st)) st = f.table->Commit();
    if (!Ok(st)) f.table->Rollback();
  }
  if (!Ok(st)) return st;
  record = std::move(stored);
  f.MakeCurrent(f.currentKey, std::move(keys[static_cast<std::size_t>(f.currentKey)]), id);
  return RmStatus::Success;
}

RmStatus DataFile::Update(const std::string& record) {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  Impl& f = *impl_;
  if (f.mode == OpenMode::ReadOnly) return RmStatus::AccessDenied;
  if (RmStatus st = CheckRecordSize(record, f.fileSpec.recordLength); !Ok(st)) return st;
  if (!f.hasCurrent) return RmStatus::InvalidPositioning;
  f.EndStretch();
  std::vector<std::string> keys = f.EncodeKeys(record);
  RmStatus st = f.WriteCurrent([&](RecordId id) { return f.table->Update(id, record, keys); });
  if (Ok(st)) f.position.encodedKey = std::move(keys[static_cast<std::size_t>(f.position.key)]);
  return st;
}

RmStatus DataFile::Delete() {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  Impl& f = *impl_;
  if (f.mode == OpenMode::ReadOnly) return RmStatus::AccessDenied;
  if (!f.hasCurrent) return RmStatus::InvalidPositioning;
  f.EndStretch();
  RmStatus st = f.WriteCurrent([&](RecordId id) { return f.table->Delete(id); });
  if (Ok(st)) f.hasCurrent = false;  // the place stays, for Get Next/Previous
  return st;
}

RmStatus DataFile::Unlock() {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  impl_->ReleaseLock();
  return RmStatus::Success;
}

RmStatus DataFile::BeginTransaction() {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  Impl& f = *impl_;
  if (f.inTransaction) return RmStatus::TransactionActive;
  f.EndStretch();
  // Taken for writing at once, so that a busy file shows here and not half way through.
  if (RmStatus st = f.table->Begin(); !Ok(st)) return st;
  f.inTransaction = true;
  return RmStatus::Success;
}

RmStatus DataFile::EndTransaction() {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  Impl& f = *impl_;
  if (!f.inTransaction) return RmStatus::NoTransaction;
  f.inTransaction = false;
  if (Ok(f.table->Commit())) return RmStatus::Success;
  // A commit that did not go through must not stay pending for a later one to complete.
  f.table->Rollback();
  return RmStatus::TransactionError;
}

RmStatus DataFile::AbortTransaction() {
  if (!IsOpen()) return RmStatus::FileNotOpen;
  Impl& f = *impl_;
  if (!f.inTransaction) return RmStatus::NoTransaction;
  f.inTransaction = false;
  f.table->Rollback();
  return RmStatus::Success;
}

bool DataFile::InTransaction() const {
  return IsOpen() && impl_->inTransaction;
}

void DataFile::HoldReads(bool on) {
  if (!IsOpen()) return;
  impl_->holdReads = on;
  if (!on) impl_->EndStretch();
}

bool DataFile::ReadsHeld() const {
  return IsOpen() && impl_->holdReads;
}

void DataFile::EndReadStretch() {
  if (IsOpen()) impl_->EndStretch();
}

void DataFile::EndEveryReadStretch() {
  while (!Impl::stretches.empty()) Impl::stretches.back()->EndStretch();
}

RecordId DataFile::CurrentRecord() const {
  return IsOpen() && impl_->hasCurrent ? impl_->position.id : 0;
}

int DataFile::CurrentKey() const {
  return impl_ ? impl_->currentKey : 0;
}

}  // namespace upfold
