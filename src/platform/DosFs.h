#pragma once
// The program keeps its Windows paths (C:\MFW\DATA\Trin01.s). This layer maps them onto the
// host file system: drive letters through the registry's DOS Devices key (C: is / when not
// mapped) and every path component matched without regard to case. A new file takes the case
// the program writes. Relative DOS paths are taken from the current directory. "\" and "/"
// both separate components. DOS paths and names are Windows-1252 text, host paths UTF-8.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace upfold {

class Registry;

// The Windows system texts that FsResult carries.
namespace fsmsg {
inline constexpr char kFileNotFound[] = "The system cannot find the file specified.";
inline constexpr char kPathNotFound[] = "The system cannot find the path specified.";
inline constexpr char kAccessDenied[] = "Access is denied.";
inline constexpr char kFileExists[] = "The file exists.";
inline constexpr char kAlreadyExists[] = "Cannot create a file when that file already exists.";
inline constexpr char kInUse[] =
    "The process cannot access the file because it is being used by another process.";
inline constexpr char kNotSameDevice[] = "The system cannot move the file to a different disk drive.";
inline constexpr char kDiskFull[] = "There is not enough space on the disk.";
inline constexpr char kBadName[] = "The filename, directory name, or volume label syntax is incorrect.";
inline constexpr char kDirNotEmpty[] = "The directory is not empty.";
inline constexpr char kIoError[] =
    "The request could not be performed because of an I/O device error.";
}  // namespace fsmsg

// Outcome of a file operation; message is the error text to show after the file name,
// in the manner of the Windows system messages (fsmsg above).
struct FsResult {
  bool ok = true;
  std::string message;
  explicit operator bool() const { return ok; }
  static FsResult Ok() { return {}; }
  static FsResult Fail(std::string text) { return {false, std::move(text)}; }
};

struct DirEntry {
  std::string name;         // name as it stands on disk
  bool isDirectory = false;
  std::uint64_t size = 0;
  std::time_t lastWrite = 0;  // last-written time stamp
};

class DosFs {
 public:
  // Reads the drive mapping from the key
  // HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager\DOS Devices
  // ("C:"="/", "A:"="/media/floppy"; values of other names are ignored). C: maps to / unless
  // the key says otherwise; registry may be null. A damaged registry file raises
  // RegistryError. The current directory starts as the process's own, as a DOS path (the
  // root of C: when no drive reaches it).
  explicit DosFs(const Registry* registry);

  // Host path for a DOS path: existing components are found without regard to case
  // (several matches: the exact spelling, else the first in byte order), the rest keep the
  // case given. nullopt for an unmapped drive or a UNC path.
  std::optional<std::string> ToHost(const std::string& dosPath) const;
  // DOS path ("C:\DIR\FILE", the root "C:\") for a host path (relative to the process's
  // folder when not absolute), through the mapping whose host folder is the longest prefix.
  // nullopt when no drive reaches it or a name cannot be written in Windows-1252 or holds "\".
  std::optional<std::string> ToDos(const std::string& hostPath) const;
  // The folder of the running program as a DOS path, without trailing backslash ("C:\APPS",
  // or "C:" for a drive's root); empty when no drive reaches it.
  std::string ProgramDir() const;

  bool Exists(const std::string& dosPath) const;
  bool FileExists(const std::string& dosPath) const;
  bool DirectoryExists(const std::string& dosPath) const;

  // Copies contents, permissions and last-written time. Fails when the target exists and
  // failIfExists is set (as Windows CopyFile does), and never replaces a target that is
  // held (see FileHold) or is the source itself. The target appears complete or not at all.
  FsResult CopyFile(const std::string& from, const std::string& to, bool failIfExists) const;
  // Rename or move (a file also to another file system); refuses an existing target and a
  // source that is held. A change of case only ("trin01.rme" to "TRIN01.RME") is a rename.
  FsResult MoveFile(const std::string& from, const std::string& to) const;
  // A file only (a folder is refused); refuses a file that is held.
  FsResult DeleteFile(const std::string& dosPath) const;
  // One folder; its parent must exist.
  FsResult CreateDirectory(const std::string& dosPath) const;

  // Entries of the folder of pattern whose names match its last component with the Windows
  // '?' and '*' rules ("*.*" matches every name), without "." and "..". Sorted by name,
  // case-insensitively. Empty when the folder does not exist.
  std::vector<DirEntry> List(const std::string& dosPattern) const;
  // Wildcard match of one file name, without regard to case: '*' any run of characters
  // (none included), '?' exactly one character; a pattern ending in ".*" also matches the
  // name without any extension, so "*.*" matches every name, with or without a dot.
  // "trin??.R??" takes TRIN01.R07 but not trin01.r7.
  static bool WildcardMatch(const std::string& pattern, const std::string& name);

  // This object's current directory, a DOS path; the process's own folder is not changed.
  std::string CurrentDirectory() const;
  // False (and no change) when the folder does not exist.
  bool SetCurrentDirectory(const std::string& dosPath);

  std::vector<char> Drives() const;  // mapped drive letters, upper case, in order
  // Mapped, and its host folder is there. Drive letters in either case.
  bool DriveReady(char drive) const;
  std::optional<std::uint64_t> DriveSize(char drive) const;  // total bytes
  std::optional<std::uint64_t> DriveFree(char drive) const;  // bytes available to this user

 private:
  std::optional<std::string> DriveRoot(char drive) const;
  // Host path of a DOS path and whether every component but the last was found.
  std::optional<std::string> Resolve(const std::string& dosPath, bool* parentExists) const;

  std::vector<std::pair<char, std::string>> drives_;  // letter, host folder, sorted by letter
  std::string currentDir_;                            // DOS path
};

// Makes a folder current for the life of the object and restores the one before in every case.
class CurrentDirectoryScope {
 public:
  CurrentDirectoryScope(DosFs& fs, const std::string& dosDir)
      : fs_(fs), saved_(fs.CurrentDirectory()) {
    fs_.SetCurrentDirectory(dosDir);
  }
  ~CurrentDirectoryScope() { fs_.SetCurrentDirectory(saved_); }
  CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
  CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

 private:
  DosFs& fs_;
  std::string saved_;
};

}  // namespace upfold
