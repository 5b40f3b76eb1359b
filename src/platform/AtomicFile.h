#pragma once
// Whole-file reads and crash-safe replacement of small shared files (the registry file),
// with a companion lock file that serialises read-modify-write cycles between processes.
// Errors are std::system_error carrying errno.

#include <optional>
#include <string>

namespace upfold {

// The file's bytes; nullopt when it does not exist.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes a temporary file in the same folder, flushes it to disk and renames it over path,
// so that readers see the old or the new contents, never a mixture. Creates the folder when
// missing; an existing file keeps its permissions. A symbolic link is followed: its target
// is replaced.
void ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// An exclusive flock on "<path>.lock", held for the object's lifetime. The lock sits on a
// file of its own because the file it guards is replaced (a new inode) on every write.
class ExclusiveFileLock {
 public:
  explicit ExclusiveFileLock(const std::string& path);  // waits for the lock
  ~ExclusiveFileLock();
  ExclusiveFileLock(const ExclusiveFileLock&) = delete;
  ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace upfold
