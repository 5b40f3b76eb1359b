#pragma once
// Record length and key definitions of a data file. They are stored in the file itself, so a
// template copied to a new name keeps them. A key number is the key's position in
// FileSpec::keys.

#include <cstdint>
#include <vector>

namespace upfold {

enum class KeyType : std::uint8_t {
  String = 0,     // bytes as stored (folded to upper case for a case-insensitive segment)
  Integer = 1,    // signed, little-endian; 1, 2, 4 or 8 bytes
  Date = 3,       // 4 bytes: day, month, year as little-endian 16-bit
  Decimal = 5,    // packed decimal: n bytes, 2n-1 digits and a sign nibble (F/C/A/E +, D/B -)
  Unsigned = 14,  // unsigned binary, little-endian; 1, 2, 4 or 8 bytes
  AutoInc = 15,   // unsigned little-endian, 2 or 4 bytes; a zero is replaced on Insert by
                  // the highest value in the file + 1. Only as the single segment of a key.
};

struct KeySegment {
  std::uint16_t offset = 0;  // 0-based byte position in the record
  std::uint16_t length = 0;
  KeyType type = KeyType::String;
  bool caseInsensitive = false;  // String only: a-z compare as A-Z

  bool operator==(const KeySegment&) const = default;
};

struct KeySpec {
  std::vector<KeySegment> segments;  // in order of significance
  bool duplicates = false;           // duplicates come back in insertion order

  // Sum of the segment lengths: the size of the key buffer's key.
  std::uint32_t Length() const {
    std::uint32_t n = 0;
    for (const KeySegment& s : segments) n += s.length;
    return n;
  }
  bool operator==(const KeySpec&) const = default;
};

struct FileSpec {
  std::uint16_t recordLength = 0;
  std::vector<KeySpec> keys;  // at least one

  bool operator==(const FileSpec&) const = default;
};

}  // namespace upfold
