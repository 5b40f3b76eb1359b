#include "platform/RegValueData.h"

#include <cctype>
#include <vector>

#include "platform/TextEncoding.h"

namespace upfold::regdata {

namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && EqualsIgnoreAsciiCase(s.substr(0, prefix.size()), prefix);
}

// Length of the type prefix of hex data ("hex:" or "hex(7):"), 0 when there is none.
std::size_t HexPrefixLength(const std::string& data) {
  if (StartsWithNoCase(data, "hex:")) return 4;
  if (!StartsWithNoCase(data, "hex(")) return 0;
  std::size_t i = 4;
  while (i < data.size() && IsHex(data[i]) && i < 12) ++i;
  if (i == 4 || data.compare(i, 2, "):") != 0) return 0;
  return i + 2;
}

// The bytes of a hex list ("1f,00,\<LF>  2a"); nullopt when it is malformed.
std::optional<std::vector<unsigned char>> HexBytes(const std::string& list) {
  std::string joined;  // continuation breaks removed
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == '\\' && i + 1 < list.size() && list[i + 1] == '\n') ++i;
    else joined += list[i];
  }
  std::vector<unsigned char> bytes;
  if (joined.find_first_not_of(" \t") == std::string::npos) return bytes;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = joined.find(',', start);
    std::string item = joined.substr(start, comma == std::string::npos ? comma : comma - start);
    std::size_t first = item.find_first_not_of(" \t");
    std::size_t last = item.find_last_not_of(" \t");
    if (first == std::string::npos || last - first > 1) return std::nullopt;
    for (std::size_t k = first; k <= last; ++k)
      if (!IsHex(item[k])) return std::nullopt;
    bytes.push_back(static_cast<unsigned char>(std::stoi(item.substr(first, last - first + 1), nullptr, 16)));
    if (comma == std::string::npos) return bytes;
    start = comma + 1;
  }
}

}  // namespace

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

std::optional<std::string> ReadQuoted(const std::string& line, std::size_t& pos) {
  std::string out;
  for (std::size_t i = pos + 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      pos = i + 1;
      return out;
    }
    if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"')) c = line[++i];
    out += c;
  }
  return std::nullopt;
}

std::string CheckData(const std::string& data) {
  if (data.empty()) return "the value has no data";
  if (data[0] == '"') {
    std::size_t pos = 0;
    if (!ReadQuoted(data, pos)) return "unterminated string";
    return pos == data.size() ? "" : "unexpected text after the string";
  }
  if (data[0] == '-') return "value deletion entries are not supported";
  if (StartsWithNoCase(data, "dword:")) {
    std::string digits = data.substr(6);
    if (digits.empty() || digits.size() > 8) return "a dword needs 1 to 8 hex digits";
    for (char c : digits)
      if (!IsHex(c)) return "a dword needs 1 to 8 hex digits";
    return "";
  }
  if (std::size_t prefix = HexPrefixLength(data)) {
    if (data.back() == '\\') return "the hex data continues past the end of the file";
    return HexBytes(data.substr(prefix)) ? "" : "malformed hex data";
  }
  return "unrecognised value data";
}

bool ContinuesOnNextLine(const std::string& line) {
  return HexPrefixLength(line) != 0 && !line.empty() && line.back() == '\\';
}

std::optional<std::string> TextOf(const std::string& data) {
  if (!data.empty() && data[0] == '"') {
    std::size_t pos = 0;
    return ReadQuoted(data, pos);
  }
  if (!StartsWithNoCase(data, "hex(1):") && !StartsWithNoCase(data, "hex(2):")) return std::nullopt;
  auto bytes = HexBytes(data.substr(7));
  if (!bytes) return std::nullopt;
  std::string utf16;
  for (std::size_t i = 0; i + 1 < bytes->size(); i += 2) {
    if ((*bytes)[i] == 0 && (*bytes)[i + 1] == 0) break;  // the terminating null
    utf16 += static_cast<char>((*bytes)[i]);
    utf16 += static_cast<char>((*bytes)[i + 1]);
  }
  return Utf16LeToUtf8(utf16);
}

std::string TextData(const std::string& text) {
  if (text.find_first_of("\r\n") == std::string::npos) return Quote(text);
  static const char kDigits[] = "0123456789abcdef";
  std::string bytes = Utf8ToUtf16Le(text) + std::string(2, '\0');
  std::string out = "hex(1):";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
    if (i + 1 < bytes.size()) out += (i % 24 == 23) ? ",\\\n  " : ",";
  }
  return out;
}

}  // namespace upfold::regdata
