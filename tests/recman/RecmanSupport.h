#pragma once
// Shared by the record manager's tests: a small file layout with every key type, record
// builders, and a forked helper process driven over pipes (no sleeps).

#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>

#include "recman/DataFile.h"

namespace upfold::test {

// Record of 21 bytes:
//   0  AutoInc 4      key 0
//   4  name 6         key 1, case-insensitive, duplicates
//  10  number int16   key 2, duplicates
//  12  amount packed 3 bytes (5 digits)  key 3, duplicates
//  15  date 4         key 4, duplicates
//  19  code 2         key 5 = code + number, unique
inline FileSpec SampleSpec() {
  FileSpec fileSpec;
  fileSpec.recordLength = 21;
  fileSpec.keys = {
      {{{0, 4, KeyType::AutoInc, false}}, false},
      {{{4, 6, KeyType::String, true}}, true},
      {{{10, 2, KeyType::Integer, false}}, true},
      {{{12, 3, KeyType::Decimal, false}}, true},
      {{{15, 4, KeyType::Date, false}}, true},
      {{{19, 2, KeyType::String, false}, {10, 2, KeyType::Integer, false}}, false},
  };
  return fileSpec;
}

inline std::string LittleEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i, value >>= 8) out.push_back(static_cast<char>(value & 0xFF));
  return out;
}

// Packed decimal of `bytes` bytes with sign nibble C (positive) or D (negative).
inline std::string Packed(long long value, int bytes) {
  std::string out(static_cast<std::size_t>(bytes), '\0');
  unsigned long long v =
      value < 0 ? static_cast<unsigned long long>(-value) : static_cast<unsigned long long>(value);
  int nibble = 2 * bytes - 1;
  auto put = [&](int at, unsigned n) {
    auto& byte = out[static_cast<std::size_t>(at / 2)];
    byte = static_cast<char>(at % 2 == 0 ? (byte & 0x0F) | n << 4 : (byte & 0xF0) | n);
  };
  put(nibble, value < 0 ? 0xD : 0xC);
  while (nibble-- > 0) {
    put(nibble, static_cast<unsigned>(v % 10));
    v /= 10;
  }
  return out;
}

inline std::string Date(int year, int month, int day) {
  return std::string{static_cast<char>(day), static_cast<char>(month)} + LittleEndian(year, 2);
}

struct Sample {
  std::uint32_t autoInc = 0;
  std::string name = "      ";
  int number = 0;
  long long amount = 0;
  std::string date = Date(2000, 1, 1);
  std::string code = "AA";

  std::string Record() const {
    std::string name6 = name;
    name6.resize(6, ' ');
    return LittleEndian(autoInc, 4) + name6 + LittleEndian(static_cast<std::uint16_t>(number), 2) +
           Packed(amount, 3) + date + code;
  }
};

inline std::uint32_t AutoIncOf(const std::string& record) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = v << 8 | static_cast<unsigned char>(record[static_cast<std::size_t>(i)]);
  return v;
}

inline std::string NameOf(const std::string& record) {
  return record.substr(4, 6);
}

// A forked process running `body`; the parent and the child talk over two pipes.
class Child {
 public:
  // body gets the child's ends: it reads the parent's bytes from `in`, writes to `out`.
  explicit Child(const std::function<int(int in, int out)>& body) {
    int down[2];
    int up[2];
    if (::pipe(down) != 0 || ::pipe(up) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(down[1]);
      ::close(up[0]);
      ::_exit(body(down[0], up[1]));
    }
    ::close(down[0]);
    ::close(up[1]);
    toChild_ = down[1];
    fromChild_ = up[0];
  }
  ~Child() {
    if (toChild_ >= 0) ::close(toChild_);
    if (fromChild_ >= 0) ::close(fromChild_);
    if (pid_ > 0 && !waited_) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Started() const { return pid_ > 0; }
  void Send(char c) const { (void)!::write(toChild_, &c, 1); }
  // The child's next byte; -1 when it has closed its end.
  int Receive() const {
    unsigned char c = 0;
    return ::read(fromChild_, &c, 1) == 1 ? c : -1;
  }
  int FromChild() const { return fromChild_; }
  void Kill() const { ::kill(pid_, SIGKILL); }
  // The child's exit status, or -1 when it did not exit normally.
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    waited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Helpers for the child's side.
  static void Put(int fd, char c) { (void)!::write(fd, &c, 1); }
  static int Take(int fd) {
    unsigned char c = 0;
    return ::read(fd, &c, 1) == 1 ? c : -1;
  }

 private:
  pid_t pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  bool waited_ = false;
};

}  // namespace upfold::test
