#include "recman/KeyCodec.h"

namespace upfold::keycodec {

namespace {

constexpr std::size_t kMaxKeyLength = 255;  // the record manager's key buffer
constexpr std::size_t kMaxKeys = 119;

bool IsIntegerLength(std::uint16_t n) {
  return n == 1 || n == 2 || n == 4 || n == 8;
}

RmStatus ValidateSegment(const KeySegment& s, std::uint16_t recordLength) {
  if (s.length == 0) return RmStatus::InvalidKeyLength;
  if (std::uint32_t{s.offset} + s.length > recordLength) return RmStatus::InvalidKeyPosition;
  if (s.caseInsensitive && s.type != KeyType::String) return RmStatus::InvalidKeyFlags;
  switch (s.type) {
    case KeyType::String:
    case KeyType::Decimal:
      return RmStatus::Success;
    case KeyType::Integer:
    case KeyType::Unsigned:
      return IsIntegerLength(s.length) ? RmStatus::Success : RmStatus::InvalidKeyLength;
    case KeyType::AutoInc:
      return s.length == 2 || s.length == 4 ? RmStatus::Success : RmStatus::InvalidKeyLength;
    case KeyType::Date:
      return s.length == 4 ? RmStatus::Success : RmStatus::InvalidKeyLength;
  }
  return RmStatus::InvalidKeyFlags;  // a type number this layer does not know
}

// Big-endian copy of a little-endian field; flipping the top bit makes signed values sort.
void AppendBigEndian(std::string& out, std::string_view field, bool isSigned) {
  std::size_t start = out.size();
  for (std::size_t i = field.size(); i-- > 0;) out.push_back(field[i]);
  if (isSigned && !field.empty()) out[start] = static_cast<char>(out[start] ^ 0x80);
}

// Packed decimal: 2n-1 digit nibbles and a sign nibble. Encoded as a class byte (1 negative,
// 2 zero or positive) and the digits, complemented when negative, so that memcmp orders by
// value. A field with a nibble that is neither gets class 3 and its raw bytes: it still has a
// fixed place in the order and never makes an insert fail.
void AppendDecimal(std::string& out, std::string_view field) {
  const std::size_t n = field.size();
  auto nibble = [&](std::size_t i) {
    auto byte = static_cast<unsigned char>(field[i / 2]);
    return i % 2 == 0 ? byte >> 4 : byte & 0x0F;
  };
  const unsigned sign = nibble(2 * n - 1);
  bool valid = sign >= 0xA;
  bool zero = true;
  for (std::size_t i = 0; i + 1 < 2 * n; ++i) {
    if (nibble(i) > 9) valid = false;
    if (nibble(i) != 0) zero = false;
  }
  if (!valid) {
    out.push_back('\x03');
    out.append(field);
    return;
  }
  const bool negative = (sign == 0xB || sign == 0xD) && !zero;
  out.push_back(negative ? '\x01' : '\x02');
  for (std::size_t i = 0; i < 2 * n; i += 2) {
    unsigned hi = nibble(i);
    unsigned lo = i + 1 < 2 * n - 1 ? nibble(i + 1) : 0;  // the sign's place becomes padding
    if (negative) {
      hi = 9 - hi;
      lo = i + 1 < 2 * n - 1 ? 9 - lo : 0;
    }
    out.push_back(static_cast<char>(hi << 4 | lo));
  }
}

void AppendSegment(std::string& out, const KeySegment& s, std::string_view field) {
  switch (s.type) {
    case KeyType::String:
      if (!s.caseInsensitive) {
        out.append(field);
      } else {
        for (char c : field) out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
      }
      return;
    case KeyType::Integer:
      AppendBigEndian(out, field, true);
      return;
    case KeyType::Unsigned:
    case KeyType::AutoInc:
      AppendBigEndian(out, field, false);
      return;
    case KeyType::Date:  // day, month, year LE16 -> year BE16, month, day
      out.push_back(field[3]);
      out.push_back(field[2]);
      out.push_back(field[1]);
      out.push_back(field[0]);
      return;
    case KeyType::Decimal:
      AppendDecimal(out, field);
      return;
  }
}

}  // namespace

RmStatus Validate(const FileSpec& fileSpec) {
  if (fileSpec.recordLength == 0) return RmStatus::InvalidRecordLength;
  if (fileSpec.keys.empty() || fileSpec.keys.size() > kMaxKeys) return RmStatus::InvalidKeyCount;
  for (const KeySpec& key : fileSpec.keys) {
    if (key.segments.empty() || key.Length() > kMaxKeyLength) return RmStatus::InvalidKeyLength;
    for (const KeySegment& s : key.segments) {
      if (RmStatus st = ValidateSegment(s, fileSpec.recordLength); st != RmStatus::Success) return st;
      // An assigned number has to be the whole key and unique, or "highest + 1" means nothing.
      if (s.type == KeyType::AutoInc && (key.segments.size() != 1 || key.duplicates))
        return RmStatus::InvalidKeyFlags;
    }
  }
  return RmStatus::Success;
}

std::string Extract(const KeySpec& key, std::string_view record) {
  std::string raw;
  raw.reserve(key.Length());
  for (const KeySegment& s : key.segments) raw.append(record.substr(s.offset, s.length));
  return raw;
}

std::string FromBuffer(const KeySpec& key, std::string_view buffer) {
  std::string raw(buffer.substr(0, key.Length()));
  raw.resize(key.Length(), '\0');
  return raw;
}

std::string Encode(const KeySpec& key, std::string_view rawKey) {
  std::string out;
  out.reserve(rawKey.size() + key.segments.size());
  std::size_t at = 0;
  for (const KeySegment& s : key.segments) {
    AppendSegment(out, s, rawKey.substr(at, s.length));
    at += s.length;
  }
  return out;
}

const KeySegment* AutoIncSegment(const KeySpec& key) {
  if (key.segments.size() == 1 && key.segments[0].type == KeyType::AutoInc) return &key.segments[0];
  return nullptr;
}

std::uint64_t ReadUnsigned(std::string_view record, const KeySegment& segment) {
  std::uint64_t value = 0;
  for (std::size_t i = segment.length; i-- > 0;)
    value = value << 8 | static_cast<unsigned char>(record[segment.offset + i]);
  return value;
}

void WriteUnsigned(std::string& record, const KeySegment& segment, std::uint64_t value) {
  for (std::size_t i = 0; i < segment.length; ++i) {
    record[segment.offset + i] = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
}

std::uint64_t DecodeUnsigned(std::string_view encoded) {
  std::uint64_t value = 0;
  for (char c : encoded) value = value << 8 | static_cast<unsigned char>(c);
  return value;
}

}  // namespace upfold::keycodec
