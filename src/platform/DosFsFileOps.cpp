// The file operations of DosFs, with the Windows rules: no silent overwriting, and no
// deleting, renaming or replacing of a file that someone holds open (FileHold).

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/DosFs.h"
#include "platform/DosPath.h"
#include "platform/FileHold.h"
#include "platform/TextEncoding.h"

namespace upfold {

namespace {

FsResult FromErrno(int err) {
  switch (err) {
    case ENOENT: return FsResult::Fail(fsmsg::kFileNotFound);
    case ENOTDIR: return FsResult::Fail(fsmsg::kPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return FsResult::Fail(fsmsg::kAccessDenied);
    case EEXIST: return FsResult::Fail(fsmsg::kFileExists);
    case EBUSY:
    case ETXTBSY: return FsResult::Fail(fsmsg::kInUse);
    case EXDEV: return FsResult::Fail(fsmsg::kNotSameDevice);
    case ENOSPC:
    case EDQUOT: return FsResult::Fail(fsmsg::kDiskFull);
    case ENAMETOOLONG:
    case EINVAL: return FsResult::Fail(fsmsg::kBadName);
    case ENOTEMPTY: return FsResult::Fail(fsmsg::kDirNotEmpty);
    case EIO: return FsResult::Fail(fsmsg::kIoError);
  }
  return FsResult::Fail(std::string(std::strerror(err)) + ".");
}

// The message for a path that is not there: the file, or a folder on the way.
FsResult Missing(bool parentExists) {
  return FsResult::Fail(parentExists ? fsmsg::kFileNotFound : fsmsg::kPathNotFound);
}

// The name a DOS path ends in ("" for a drive's root).
std::string LastName(const std::string& dosPath, const std::string& currentDir) {
  auto path = ParseDosPath(dosPath, currentDir);
  return path && !path->parts.empty() ? path->parts.back() : "";
}

std::string HostFolderOf(const std::string& hostPath) {
  std::size_t cut = hostPath.rfind('/');
  return cut == 0 ? "/" : hostPath.substr(0, cut);
}

// Renames without ever replacing an existing target; EEXIST when there is one.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
  // A file system without the flag: a hard link is just as exclusive, for files.
  struct stat st {};
  if (::lstat(from.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str()) == 0 ? 0 : errno;
    if (errno == EEXIST) return EEXIST;
  }
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Copies the contents, permissions and time stamps of the open file `in` into `out` and
// flushes them; 0 or the errno of the failure.
int CopyContents(int in, int out) {
  int err = 0;
  char buffer[1 << 16];
  while (err == 0) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) err = errno;
      break;
    }
    for (ssize_t done = 0; done < n && err == 0;) {
      ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno != EINTR) err = errno;
      if (w > 0) done += w;
    }
  }
  struct stat st {};
  if (err == 0 && ::fstat(in, &st) != 0) err = errno;
  if (err == 0) {
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (::fchmod(out, st.st_mode & 07777) != 0 || ::futimens(out, times) != 0 || ::fsync(out) != 0)
      err = errno;
  }
  return err;
}

// Copies source into the file `target` in folder. The copy is made in a file without a name
// (O_TMPFILE) that is linked in only when complete, so a copy cut short by a crash or a kill
// leaves nothing behind and never a half file under the target's name. With failIfExists the
// link itself refuses an existing target; otherwise the copy replaces it by a rename. File
// systems without unnamed files get a named temporary file instead.
int CopyInto(const std::string& source, const std::string& folder, const std::string& target,
             bool failIfExists) {
  int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno;
  int err = 0;
  int out = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (out >= 0) {
    err = CopyContents(in, out);
    ::close(in);
    const std::string self = "/proc/self/fd/" + std::to_string(out);
    if (err == 0 && failIfExists) {
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) != 0)
        err = errno;
    } else if (err == 0) {
      // Linked under a passing name first, then renamed over the target in one step.
      std::string temp;
      for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder + (folder == "/" ? "" : "/") + ".upfold-copy-" + std::to_string(::getpid()) +
               "-" + std::to_string(attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) break;
        temp.clear();
        if (errno != EEXIST) break;
      }
      if (temp.empty()) err = errno ? errno : EEXIST;
      else if (::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        ::unlink(temp.c_str());
      }
    }
    if (::close(out) != 0 && err == 0) err = errno;
    return err;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    err = errno;
    ::close(in);
    return err;
  }

  std::string temp = folder + (folder == "/" ? "" : "/") + ".upfold-copy-XXXXXX";
  out = ::mkostemp(temp.data(), O_CLOEXEC);
  if (out < 0) {
    err = errno;
    ::close(in);
    return err;
  }
  err = CopyContents(in, out);
  ::close(in);
  if (::close(out) != 0 && err == 0) err = errno;
  if (err == 0)
    err = failIfExists ? RenameNoReplace(temp, target)
                       : (::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno);
  if (err != 0) ::unlink(temp.c_str());
  return err;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

FsResult DosFs::CopyFile(const std::string& from, const std::string& to, bool failIfExists) const {
  bool sourceFolderExists = false, targetFolderExists = false;
  auto source = Resolve(from, &sourceFolderExists);
  if (!source) return FsResult::Fail(fsmsg::kPathNotFound);
  struct stat src {};
  if (::stat(source->c_str(), &src) != 0) return errno == ENOENT ? Missing(sourceFolderExists) : FromErrno(errno);
  if (S_ISDIR(src.st_mode)) return FsResult::Fail(fsmsg::kAccessDenied);

  auto target = Resolve(to, &targetFolderExists);
  if (!target || !targetFolderExists) return FsResult::Fail(fsmsg::kPathNotFound);
  if (!IsValidDosName(LastName(to, currentDir_))) return FsResult::Fail(fsmsg::kBadName);
  struct stat dst {};
  if (::stat(target->c_str(), &dst) == 0) {
    if (failIfExists) return FsResult::Fail(fsmsg::kFileExists);
    if (S_ISDIR(dst.st_mode)) return FsResult::Fail(fsmsg::kAccessDenied);
    if (SameFile(src, dst) || FileHold::IsHeld(*target)) return FsResult::Fail(fsmsg::kInUse);
  }

  int err = CopyInto(*source, HostFolderOf(*target), *target, failIfExists);
  return err == 0 ? FsResult::Ok() : FromErrno(err);
}

FsResult DosFs::MoveFile(const std::string& from, const std::string& to) const {
  bool sourceFolderExists = false, targetFolderExists = false;
  auto source = Resolve(from, &sourceFolderExists);
  if (!source) return FsResult::Fail(fsmsg::kPathNotFound);
  struct stat src {};
  if (::lstat(source->c_str(), &src) != 0) return errno == ENOENT ? Missing(sourceFolderExists) : FromErrno(errno);
  if (FileHold::IsHeld(*source)) return FsResult::Fail(fsmsg::kInUse);

  auto target = Resolve(to, &targetFolderExists);
  if (!target || !targetFolderExists) return FsResult::Fail(fsmsg::kPathNotFound);
  std::string newName = LastName(to, currentDir_);
  if (!IsValidDosName(newName)) return FsResult::Fail(fsmsg::kBadName);
  struct stat dst {};
  if (::lstat(target->c_str(), &dst) == 0) {
    if (!SameFile(src, dst)) return FsResult::Fail(fsmsg::kAlreadyExists);
    // The same file under another spelling: a change of case, spelt as the caller wrote it.
    std::string respelt = HostFolderOf(*target) + "/" + Cp1252ToUtf8(newName);
    if (respelt == *source) return FsResult::Ok();
    return ::rename(source->c_str(), respelt.c_str()) == 0 ? FsResult::Ok() : FromErrno(errno);
  }

  int err = RenameNoReplace(*source, *target);
  if (err == EXDEV && S_ISREG(src.st_mode)) {
    // Another file system: copy, then remove the original.
    err = CopyInto(*source, HostFolderOf(*target), *target, true);
    if (err != 0) return err == EEXIST ? FsResult::Fail(fsmsg::kAlreadyExists) : FromErrno(err);
    err = ::unlink(source->c_str()) == 0 ? 0 : errno;
  }
  if (err == EEXIST) return FsResult::Fail(fsmsg::kAlreadyExists);
  return err == 0 ? FsResult::Ok() : FromErrno(err);
}

FsResult DosFs::DeleteFile(const std::string& dosPath) const {
  bool folderExists = false;
  auto host = Resolve(dosPath, &folderExists);
  if (!host) return FsResult::Fail(fsmsg::kPathNotFound);
  struct stat st {};
  if (::lstat(host->c_str(), &st) != 0) return errno == ENOENT ? Missing(folderExists) : FromErrno(errno);
  if (S_ISDIR(st.st_mode)) return FsResult::Fail(fsmsg::kAccessDenied);
  if (FileHold::IsHeld(*host)) return FsResult::Fail(fsmsg::kInUse);
  return ::unlink(host->c_str()) == 0 ? FsResult::Ok() : FromErrno(errno);
}

FsResult DosFs::CreateDirectory(const std::string& dosPath) const {
  bool parentExists = false;
  auto host = Resolve(dosPath, &parentExists);
  if (!host || !parentExists) return FsResult::Fail(fsmsg::kPathNotFound);
  struct stat st {};
  if (::lstat(host->c_str(), &st) == 0) return FsResult::Fail(fsmsg::kAlreadyExists);
  if (!IsValidDosName(LastName(dosPath, currentDir_))) return FsResult::Fail(fsmsg::kBadName);
  if (::mkdir(host->c_str(), 0777) == 0) return FsResult::Ok();
  return errno == EEXIST ? FsResult::Fail(fsmsg::kAlreadyExists) : FromErrno(errno);
}

}  // namespace upfold
