#include "platform/FileHold.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <utility>

namespace upfold {

// flock() locks belong to the open file description, so they conflict between two handles
// of one process as well as between processes, and they never interfere with the POSIX
// record locks that SQLite takes on the same file.

FileHold::FileHold(const std::string& hostPath) {
  fd_ = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ >= 0 && ::flock(fd_, LOCK_SH | LOCK_NB) != 0) Release();
}

FileHold::~FileHold() { Release(); }

FileHold::FileHold(FileHold&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileHold& FileHold::operator=(FileHold&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

void FileHold::Release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool FileHold::IsHeld(const std::string& hostPath) {
  int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);
  return held;
}

}  // namespace upfold
