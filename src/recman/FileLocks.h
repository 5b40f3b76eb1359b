#pragma once
// Locks between handles of a data file, in this process or others: Linux open-file-description
// locks on single bytes far beyond SQLite's own lock bytes. They belong to one descriptor, so
// they neither disturb SQLite's POSIX locks nor vanish when another descriptor of the file is
// closed, and they go with the process when it dies. Nothing is written to the file.

#include <string>

#include "recman/Status.h"

namespace upfold {

class FileLocks {
 public:
  FileLocks() = default;
  ~FileLocks() { Close(); }
  FileLocks(FileLocks&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileLocks& operator=(FileLocks&& other) noexcept;
  FileLocks(const FileLocks&) = delete;
  FileLocks& operator=(const FileLocks&) = delete;

  // Opens the file and takes its open lock: shared, or sole for an exclusive open.
  // 12 missing, 46 not readable (or not writable for an exclusive open), 85 another handle has
  // it exclusively, 88 an exclusive open while others have it open.
  RmStatus Open(const std::string& path, bool exclusive);
  void Close();  // drops every lock of this handle
  int Descriptor() const { return fd_; }

  // The handle's lock on one record, without waiting: 84 when another handle holds it.
  RmStatus LockRecord(long long recordId);
  void UnlockRecord(long long recordId);
  // 84 when another handle holds the record's lock; takes none.
  RmStatus TestRecord(long long recordId) const;

 private:
  int fd_ = -1;
  bool writable_ = false;
};

}  // namespace upfold
