#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.

#include <string>

namespace upfold::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path() + "/" + relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }
  // Writes a file (creating its folders) and returns its full path.
  std::string Write(const std::string& relative, const std::string& content) const;
  std::string Read(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace upfold::test
