// Reading a .reg file: UTF-8 (with or without a byte-order mark) or UTF-16LE with a
// byte-order mark, LF or CRLF line ends.

#include <algorithm>
#include <string_view>

#include "platform/RegDocument.h"
#include "platform/RegValueData.h"
#include "platform/TextEncoding.h"

namespace upfold {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

[[noreturn]] void Damaged(const std::string& fileName, std::size_t line, const std::string& what) {
  throw RegistryError("The registry file " + fileName + " is damaged at line " +
                      std::to_string(line) + ": " + what + ".");
}

std::size_t LineOfOffset(const std::string& text, std::size_t offset) {
  return 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
}

// The file's text as UTF-8.
std::string DecodeFile(const std::string& bytes, const std::string& fileName) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    std::size_t badUnit = 0;
    auto text = Utf16LeToUtf8(bytes.substr(2), &badUnit);
    if (!text) {
      // Lines counted in the part that did decode.
      auto before = Utf16LeToUtf8(bytes.substr(2, 2 * badUnit));
      Damaged(fileName, before ? LineOfOffset(*before, before->size()) : 1,
              "the text is not valid UTF-16");
    }
    return *text;
  }
  std::string text = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
  std::size_t bad = 0;
  if (!IsValidUtf8(text, &bad)) Damaged(fileName, LineOfOffset(text, bad), "the text is not valid UTF-8");
  return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::string TrimBlanks(const std::string& s) {
  std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string TrimRight(const std::string& s) {
  std::size_t last = s.find_last_not_of(" \t");
  return last == std::string::npos ? "" : s.substr(0, last + 1);
}

bool ParseHive(const std::string& name, Hive& hive) {
  static const struct {
    const char* name;
    Hive hive;
  } kHives[] = {{"HKEY_LOCAL_MACHINE", Hive::LocalMachine}, {"HKLM", Hive::LocalMachine},
                {"HKEY_CLASSES_ROOT", Hive::ClassesRoot},   {"HKCR", Hive::ClassesRoot},
                {"HKEY_CURRENT_USER", Hive::CurrentUser},   {"HKCU", Hive::CurrentUser}};
  for (const auto& h : kHives) {
    if (EqualsIgnoreAsciiCase(name, h.name)) {
      hive = h.hive;
      return true;
    }
  }
  return false;
}

// "[HIVE\path]" (already trimmed) into a key; the text between the brackets is checked.
RegKey ParseSection(const std::string& line, const std::string& fileName, std::size_t lineNo) {
  if (line.back() != ']') Damaged(fileName, lineNo, "unterminated key name");
  std::string inner = line.substr(1, line.size() - 2);
  if (!inner.empty() && inner[0] == '-') Damaged(fileName, lineNo, "key deletion entries are not supported");
  std::string hiveName = inner.substr(0, inner.find('\\'));
  RegKey key;
  if (!ParseHive(hiveName, key.hive)) Damaged(fileName, lineNo, "unknown root key \"" + hiveName + "\"");
  std::size_t pos = hiveName.size();
  while (pos < inner.size()) {
    std::size_t next = inner.find('\\', pos + 1);
    if (next == std::string::npos) next = inner.size();
    std::string part = inner.substr(pos + 1, next - pos - 1);
    if (!part.empty()) key.path += (key.path.empty() ? "" : "\\") + part;
    pos = next;
  }
  return key;
}

}  // namespace

RegDocument RegDocument::Parse(const std::string& bytes, const std::string& fileName) {
  RegDocument doc;
  if (bytes.empty()) return doc;  // an empty file is an empty registry
  std::vector<std::string> lines = SplitLines(DecodeFile(bytes, fileName));
  if (lines.empty() || TrimBlanks(lines[0]) != kHeader)
    Damaged(fileName, 1, "the first line is not \"" + std::string(kHeader) + "\"");

  RegKey* current = nullptr;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::size_t lineNo = i + 1;
    std::string line = TrimBlanks(lines[i]);
    if (line.empty()) continue;
    if (line[0] == ';') {
      if (current) current->entries.push_back(RegEntry{true, "", line});
      else doc.preamble.push_back(line);
      continue;
    }
    if (line[0] == '[') {
      RegKey key = ParseSection(line, fileName, lineNo);
      current = doc.FindKey(key.hive, key.path);  // a repeated section adds to the first
      if (!current) current = &doc.keys.emplace_back(std::move(key));
      continue;
    }
    if (line[0] != '"' && line[0] != '@') Damaged(fileName, lineNo, "unrecognised line");
    if (!current) Damaged(fileName, lineNo, "a value stands before the first key");

    std::string name;
    std::size_t pos = 1;
    if (line[0] == '"') {
      pos = 0;
      auto quoted = regdata::ReadQuoted(line, pos);
      if (!quoted) Damaged(fileName, lineNo, "unterminated value name");
      name = *quoted;
      if (name.empty()) Damaged(fileName, lineNo, "an empty value name (the default value is written @)");
    }
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size() || line[pos] != '=') Damaged(fileName, lineNo, "'=' expected after the value name");
    std::string data = TrimBlanks(line.substr(pos + 1));
    while (regdata::ContinuesOnNextLine(data) && i + 1 < lines.size())
      data += '\n' + TrimRight(lines[++i]);
    if (std::string problem = regdata::CheckData(data); !problem.empty())
      Damaged(fileName, lineNo, problem);

    bool replaced = false;  // a repeated value: the later one counts, in the first one's place
    for (RegEntry& e : current->entries) {
      if (!e.comment && EqualsIgnoreAsciiCase(e.name, name)) {
        e.text = data;
        replaced = true;
      }
    }
    if (!replaced) current->entries.push_back(RegEntry{false, name, data});
  }
  return doc;
}

}  // namespace upfold
