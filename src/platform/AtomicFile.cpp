#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

namespace upfold {

namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// Closes a descriptor on every way out.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

void WriteAll(int fd, const std::string& bytes, const std::string& path) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno(path);
    done += static_cast<std::size_t>(n);
  }
}

void CreateParentFolder(const std::filesystem::path& file) {
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) throw std::system_error(ec, file.parent_path().string());
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  Fd in{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    ThrowErrno(path);
  }
  std::string bytes;
  char buffer[65536];
  while (true) {
    ssize_t n = ::read(in.fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno(path);
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

void ReplaceFileAtomically(const std::string& givenPath, const std::string& bytes) {
  namespace fs = std::filesystem;
  fs::path path = givenPath;
  std::error_code ec;
  if (fs::is_symlink(path, ec)) path = fs::weakly_canonical(path);
  CreateParentFolder(path);

  mode_t mode = 0666;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }

  std::string temp = path.string() + ".tmp-XXXXXX";
  Fd out{::mkostemp(temp.data(), O_CLOEXEC)};
  if (out.fd < 0) ThrowErrno(temp);
  try {
    WriteAll(out.fd, bytes, temp);
    if (::fchmod(out.fd, mode) != 0 || ::fsync(out.fd) != 0) ThrowErrno(temp);
    if (::close(std::exchange(out.fd, -1)) != 0) ThrowErrno(temp);
    if (::rename(temp.c_str(), path.c_str()) != 0) ThrowErrno(path.string());
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  // The rename itself is made durable through the folder.
  Fd dir{::open(path.has_parent_path() ? path.parent_path().c_str() : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir.fd >= 0) ::fsync(dir.fd);
}

ExclusiveFileLock::ExclusiveFileLock(const std::string& path) {
  std::string lockPath = path + ".lock";
  CreateParentFolder(lockPath);
  fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) ThrowErrno(lockPath);
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    int saved = errno;
    ::close(fd_);
    errno = saved;
    ThrowErrno(lockPath);
  }
}

ExclusiveFileLock::~ExclusiveFileLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace upfold
