#pragma once
// Bytes written as hexadecimal pairs separated by blanks ("00 01 23 4F"), for readable
// expectations on packed fields and records.

#include <cstdio>
#include <string>
#include <string_view>

namespace upfold::test {

inline std::string Hex(std::string_view bytes) {
  std::string out;
  char pair[4];
  for (unsigned char b : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", b);
    if (!out.empty()) out += ' ';
    out += pair;
  }
  return out;
}

inline std::string FromHex(std::string_view hex) {
  std::string out;
  for (std::size_t i = 0; i < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    i += 2;
  }
  return out;
}

}  // namespace upfold::test
