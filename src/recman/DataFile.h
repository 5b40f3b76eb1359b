#pragma once
// One open data file of the record manager: what the record manager calls a position block.
// Records have the file's fixed length and are 8-bit bytes in std::string. Every call returns
// a status (Status.h) and never throws for a bad or damaged file.
//
// Keys. A key buffer holds the bytes of the key's segments, in segment order, exactly as they
// stand in a record (KeySpec::Length() bytes). A longer buffer is cut to the key's length; a
// shorter one is filled with zero bytes. Gets hand back the found record's key the same way.
//
// Position. A successful Get makes its record current and remembers (key number, key,
// record). Get Next/Previous continue from there along the key path; given another key
// number they first move onto the current record in that key's order. Duplicates of a key
// come in insertion order. A failed Get leaves the position as it was. Insert makes the new
// record current; Delete keeps the place, so Get Next goes on with the following record.
//
// Sharing. Several handles, in this or other processes, may have a file open. An exclusive
// open keeps every other open out (85 for them; 88 for an exclusive open while others have
// the file open). A record locked by another handle gives 84 to a locking Get, an Update or a
// Delete; plain Gets still read it. While a handle is open the file carries a FileHold, so
// DosFs will not delete, rename or replace it.
//
// Durability. Outside a transaction, once Insert, Update or Delete has returned 0 the change
// survives a kill of the process.
//
// Transactions. Between BeginTransaction and EndTransaction a handle's changes are its own:
// its Gets see them, other handles do not, and they become durable together when End returns
// 0. AbortTransaction, Close, or a kill before End drops every one of them. Meanwhile the
// file takes no writes of other handles (they wait briefly and get 85), so a transaction is
// kept short. A failed End (36) drops the transaction as well.
//
// Held reads. Each Get outside a transaction otherwise takes the file's shared lock, checks the
// file for changes and lets the lock go again: most of a keyed read's cost. While reads are
// held, the Gets of a handle share a stretch: the first takes the shared lock and the rest run
// under it. No other handle (in this process or another) can commit a write to the file while
// the lock is held, so the Gets still read the file as it stands; those handles wait instead,
// a quarter of a second at most, and then fail with 85. So a holder ends each stretch within
// moments (EndReadStretch), and always before it waits for anything; the next Get begins
// another. A write, a transaction and Close end the stretch first, and so does a locking Get
// that meets another handle's record lock (84), so that the holder can commit its change.
// Handles are used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "recman/KeySpec.h"
#include "recman/Status.h"

namespace upfold {

// The record manager's open modes (the numbers are its own).
enum class OpenMode : int {
  Normal = 0,
  Accelerated = -1,  // same as Normal here
  ReadOnly = -2,     // Insert/Update/Delete give 46
  Exclusive = -4,    // no other handle may have the file open meanwhile
};

// Get operations, numbered by the record manager's operation codes.
enum class GetOp : int {
  Equal = 5,
  Next = 6,
  Previous = 7,
  Greater = 8,
  GreaterOrEqual = 9,
  Less = 10,
  LessOrEqual = 11,
  First = 12,
  Last = 13,
};

// Lock bias of a Get. Single takes a lock on the found record without waiting (84 when another
// handle holds it). A handle holds at most one such lock; the next Get, a successful Update or
// Delete of that record, Unlock or Close releases it. Test takes no lock but gives 84 as well,
// for a reader that waits out other handles' changes rather than read a record being changed.
enum class RecordLock { None, Single, Test };

// Identity of a record within its file: stable for the record's life, never 0.
using RecordId = std::int64_t;

struct FileStat {
  FileSpec fileSpec;
  std::uint64_t recordCount = 0;
};

class DataFile {
 public:
  DataFile();
  ~DataFile();  // closes
  DataFile(DataFile&&) noexcept;
  DataFile& operator=(DataFile&&) noexcept;
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  // Creates an empty data file at a host path. 59 when the file exists; 26-29 and 45 for key
  // definitions that do not fit the record; 25 or 46 when it cannot be written.
  static RmStatus Create(const std::string& hostPath, const FileSpec& fileSpec);

  // 12 missing, 46 access denied, 30 not a data file, 2 truncated or damaged, 85/88 as above.
  // Opening a handle that is already open closes it first.
  RmStatus Open(const std::string& hostPath, OpenMode mode = OpenMode::Normal);
  RmStatus Close();  // 3 when not open
  bool IsOpen() const;
  const std::string& Path() const;  // host path as opened; empty when closed

  RmStatus Stat(FileStat& out) const;
  RmStatus RecordCount(std::uint64_t& count) const;
  // Record length and keys as of the open; zero length and no keys when closed.
  const FileSpec& Definition() const;

  // key: in for Equal/Greater/GreaterOrEqual/Less/LessOrEqual, ignored for the others; out the
  // found record's key. record: out, the found record (exactly the record length).
  // 3 not open, 6 no such key number, 4 Equal found nothing, 9 nothing further (every other op),
  // 8 Next/Previous without a position.
  RmStatus Get(GetOp op, int keyNumber, std::string& key, std::string& record,
               RecordLock lock = RecordLock::None);
  // As Get, for a caller whose record buffer has a fixed size: 22 (and no move) when the
  // record is longer than bufferLength.
  RmStatus Get(GetOp op, int keyNumber, std::string& key, std::string& record,
               std::size_t bufferLength, RecordLock lock = RecordLock::None);

  RmStatus GetEqual(int keyNumber, std::string& key, std::string& record) {
    return Get(GetOp::Equal, keyNumber, key, record);
  }
  RmStatus GetNext(int keyNumber, std::string& key, std::string& record) {
    return Get(GetOp::Next, keyNumber, key, record);
  }
  RmStatus GetPrevious(int keyNumber, std::string& key, std::string& record) {
    return Get(GetOp::Previous, keyNumber, key, record);
  }
  RmStatus GetFirst(int keyNumber, std::string& key, std::string& record) {
    return Get(GetOp::First, keyNumber, key, record);
  }
  RmStatus GetLast(int keyNumber, std::string& key, std::string& record) {
    return Get(GetOp::Last, keyNumber, key, record);
  }

  // Reads a record by its id and makes it current on keyNumber. 43 when there is no such record.
  RmStatus GetDirect(RecordId id, int keyNumber, std::string& key, std::string& record,
                     RecordLock lock = RecordLock::None);

  // record: exactly the record length (22 when shorter, 28 when longer). An AutoInc key field
  // holding zero is assigned (highest + 1) and written back into record. 5 duplicate key.
  RmStatus Insert(std::string& record);
  // Replaces the current record (after a Get or Insert). 8 without a current record, 5
  // duplicate key, 84 locked by another handle, 80 deleted by another process meanwhile.
  RmStatus Update(const std::string& record);
  // Deletes the current record. 8 without a current record, 84 locked by another handle.
  RmStatus Delete();
  RmStatus Unlock();  // releases this handle's record lock, if any

  // The record manager's operations 19, 21 and 20. 3 not open; Begin gives 37 when a
  // transaction is already under way (85 when another handle is writing the file); End and
  // Abort give 39 without one. End gives 36 (and keeps nothing) when the commit failed.
  RmStatus BeginTransaction();
  RmStatus EndTransaction();
  RmStatus AbortTransaction();
  bool InTransaction() const;

  // Held reads (above). HoldReads(false) also ends a stretch under way.
  void HoldReads(bool on);
  bool ReadsHeld() const;
  void EndReadStretch();
  // Ends the stretch of every handle of the calling thread: before the thread waits for a
  // lock, which the holder may only let go once it could commit.
  static void EndEveryReadStretch();

  // The current record's id; 0 when there is none.
  RecordId CurrentRecord() const;
  // Key number of the current key path (the last Get's; 0 after Open).
  int CurrentKey() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace upfold
