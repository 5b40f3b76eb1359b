#pragma once
// The program keeps its Windows paths (C:\MFW\DATA\Trin01.s). This layer maps them onto the
// host file system: drive letters through the registry's DOS Devices key (C: is / when not
// mapped) and every path component matched without regard to case. A new file takes the case
// the program writes. Relative DOS paths are taken from the current directory.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace upfold {

class Registry;

// Outcome of a file operation; message is the error text to show after the file name,
// in the manner of the Windows system messages ("The system cannot find the file specified.").
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
  // Reads the drive mapping from HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\
  // Session Manager\DOS Devices ("C:"="/", "A:"="/media/floppy"). registry may be null: then
  // only C: exists and maps to /.
  explicit DosFs(const Registry* registry);

  // Host path for a DOS path: existing components are found without regard to case, the
  // rest keep the case given. nullopt for an unmapped drive.
  std::optional<std::string> ToHost(const std::string& dosPath) const;
  // DOS path for a host path, through the mapping whose host folder is the longest prefix.
  std::optional<std::string> ToDos(const std::string& hostPath) const;
  // The folder of the running program as a DOS path, without trailing backslash.
  std::string ProgramDir() const;

  bool Exists(const std::string& dosPath) const;
  bool FileExists(const std::string& dosPath) const;
  bool DirectoryExists(const std::string& dosPath) const;

  // Fails when the target exists and failIfExists is set (as Windows CopyFile does).
  FsResult CopyFile(const std::string& from, const std::string& to, bool failIfExists) const;
  // Rename or move; refuses an existing target and a source held open by another user.
  FsResult MoveFile(const std::string& from, const std::string& to) const;
  // Refuses a file held open (see FileHold).
  FsResult DeleteFile(const std::string& dosPath) const;
  FsResult CreateDirectory(const std::string& dosPath) const;

  // Entries of the folder of pattern whose names match its last component with the Windows
  // '?' and '*' rules ("*.*" matches every name). Sorted by name, case-insensitively.
  std::vector<DirEntry> List(const std::string& dosPattern) const;
  // Wildcard match of one file name, without regard to case: '*' any run of characters
  // (none included), '?' exactly one character; "*.*" matches every name, with or without a
  // dot. So "trin??.R??" takes TRIN01.R07 but not trin01.r7.
  static bool WildcardMatch(const std::string& pattern, const std::string& name);

  std::string CurrentDirectory() const;  // DOS path
  bool SetCurrentDirectory(const std::string& dosPath);

  std::vector<char> Drives() const;  // mapped drive letters, upper case, in order
  bool DriveReady(char drive) const;
  std::optional<std::uint64_t> DriveSize(char drive) const;  // total bytes
  std::optional<std::uint64_t> DriveFree(char drive) const;

 private:
  std::vector<std::pair<char, std::string>> drives_;  // letter, host folder
  std::string currentDir_;                            // DOS path
};

}  // namespace upfold
