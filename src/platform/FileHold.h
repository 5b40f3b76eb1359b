#pragma once
// On Windows a file that another program holds open cannot be deleted, renamed or replaced.
// Data files get the same protection: whoever opens one takes a shared hold on it, and the
// file operations of DosFs refuse a file on which anybody (this process included) has one.

#include <string>

namespace upfold {

class FileHold {
 public:
  FileHold() = default;
  // Takes a shared hold on the host file; Held() tells whether it worked.
  explicit FileHold(const std::string& hostPath);
  ~FileHold();
  FileHold(FileHold&& other) noexcept;
  FileHold& operator=(FileHold&& other) noexcept;
  FileHold(const FileHold&) = delete;
  FileHold& operator=(const FileHold&) = delete;

  bool Held() const { return fd_ >= 0; }
  void Release();

  // True when some open handle (in any process) holds the file.
  static bool IsHeld(const std::string& hostPath);

 private:
  int fd_ = -1;
};

}  // namespace upfold
