#include "recman/FileLocks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>

namespace upfold {

namespace {

// SQLite locks bytes from 1 GiB on; these sit at 2^62, where no database reaches.
constexpr off_t kOpenByte = off_t{1} << 62;
constexpr off_t kFirstRecordByte = kOpenByte + 1;

int SetLock(int fd, short type, off_t at) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = at;
  lock.l_len = 1;
  return ::fcntl(fd, F_OFD_SETLK, &lock);
}

// The type of a lock another handle holds that conflicts with an exclusive one at `at`
// (F_UNLCK for none); nothing when the test itself fails.
std::optional<short> ConflictingLock(int fd, off_t at) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = at;
  lock.l_len = 1;
  if (::fcntl(fd, F_OFD_GETLK, &lock) != 0) return std::nullopt;
  return lock.l_type;
}

}  // namespace

FileLocks& FileLocks::operator=(FileLocks&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    writable_ = other.writable_;
  }
  return *this;
}

RmStatus FileLocks::Open(const std::string& path, bool exclusive) {
  Close();
  fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  writable_ = fd_ >= 0;
  if (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    return errno == ENOENT || errno == ENOTDIR || errno == EISDIR ? RmStatus::FileNotFound
                                                                  : RmStatus::AccessDenied;
  }
  if (exclusive && !writable_) {
    Close();
    return RmStatus::AccessDenied;
  }
  if (SetLock(fd_, exclusive ? F_WRLCK : F_RDLCK, kOpenByte) == 0) return RmStatus::Success;
  int error = errno;
  RmStatus status = RmStatus::IoError;
  if (error == EAGAIN || error == EACCES) {
    // Only an exclusive holder has a write lock; plain holders share read locks.
    status = !exclusive || ConflictingLock(fd_, kOpenByte).value_or(F_WRLCK) == F_WRLCK
                 ? RmStatus::FileLocked
                 : RmStatus::IncompatibleMode;
  }
  Close();
  return status;
}

void FileLocks::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  writable_ = false;
}

RmStatus FileLocks::LockRecord(long long recordId) {
  if (fd_ < 0) return RmStatus::FileNotOpen;
  if (!writable_) return RmStatus::AccessDenied;
  if (SetLock(fd_, F_WRLCK, kFirstRecordByte + recordId) == 0) return RmStatus::Success;
  return errno == EAGAIN || errno == EACCES ? RmStatus::RecordLocked : RmStatus::IoError;
}

RmStatus FileLocks::TestRecord(long long recordId) const {
  if (fd_ < 0) return RmStatus::FileNotOpen;
  const std::optional<short> type = ConflictingLock(fd_, kFirstRecordByte + recordId);
  // A failed test is an error, not a lock: a reader would otherwise wait on it for ever.
  if (!type) return RmStatus::IoError;
  return *type == F_UNLCK ? RmStatus::Success : RmStatus::RecordLocked;
}

void FileLocks::UnlockRecord(long long recordId) {
  if (fd_ >= 0) SetLock(fd_, F_UNLCK, kFirstRecordByte + recordId);
}

}  // namespace upfold
