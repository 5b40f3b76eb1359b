#include "Mfrec.h"

#include <istream>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "JsonRecord.h"
#include "data/KeyCatalogue.h"
#include "data/Layout.h"
#include "recman/DataFile.h"

namespace upfold::mfrec {

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "Usage:\n"
    "  mfrec create FILE LAYOUT         create an empty data file with the layout's record\n"
    "                                   length and keys; an existing file is refused\n"
    "  mfrec load FILE LAYOUT           append the records read from standard input, one JSON\n"
    "                                   object a line\n"
    "  mfrec dump FILE LAYOUT [--key N] write every record as one JSON line, in the order of\n"
    "                                   key N (default 0)\n"
    "  mfrec stat FILE                  show the record length, the record count and the keys\n"
    "  mfrec --help                     show this text\n"
    "\n"
    "FILE is a path of this computer. LAYOUT is a record layout name, in any case.\n"
    "JSON members are named exactly as the layout's fields. Texts are strings (blank-filled\n"
    "on load, shown as stored on dump), packed, integer and auto-increment fields are numbers,\n"
    "4-byte dates are \"YYYY-MM-DD\" (null for no date). Fields left out are blank or zero;\n"
    "auto-increment values left out or 0 are assigned.\n"
    "Load checks every line first: if any line is bad, nothing is written. A record the\n"
    "record manager refuses (a duplicate key) is reported and the others are written.\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 wrong usage.\n";

std::string StatusMessage(RmStatus status) {
  return "Btrieve status " + std::to_string(StatusNumber(status)) + " (" + StatusText(status) + ")";
}

class Tool {
 public:
  Tool(std::istream& in, std::ostream& out, std::ostream& err) : in_(in), out_(out), err_(err) {}

  int Run(std::vector<std::string> args);

 private:
  int Create(const std::string& path, const Layout& layout);
  int Load(const std::string& path, const Layout& layout);
  int Dump(const std::string& path, const Layout& layout, int key);
  int Stat(const std::string& path);

  int Usage(const std::string& problem) {
    err_ << "mfrec: " << problem << "\n"
         << "Try 'mfrec --help'.\n";
    return kUsage;
  }
  int Fail(const std::string& message) {
    err_ << "mfrec: " << message << "\n";
    return kFailed;
  }
  // Opens a file whose record length must be the layout's.
  std::optional<int> OpenFor(DataFile& file, const std::string& path, const Layout& layout,
                             OpenMode mode);

  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
};

int Tool::Run(std::vector<std::string> args) {
  if (args.empty()) return Usage("no command given");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    out_ << kUsageText;
    return kOk;
  }
  const std::string command = args[0];
  args.erase(args.begin());

  int key = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--key") continue;
    if (command != "dump") return Usage("--key belongs to dump only");
    if (i + 1 >= args.size()) return Usage("--key needs a key number");
    const std::string& number = args[i + 1];
    if (number.empty() || number.size() > 3 ||
        number.find_first_not_of("0123456789") != std::string::npos)
      return Usage("key number \"" + number + "\" is not a number");
    key = std::stoi(number);
    args.erase(args.begin() + i, args.begin() + i + 2);
    break;
  }

  if (command == "stat") {
    if (args.size() != 1) return Usage("stat takes one FILE");
    return Stat(args[0]);
  }
  if (command != "create" && command != "load" && command != "dump")
    return Usage("unknown command \"" + command + "\"");
  if (args.size() != 2) return Usage(command + " takes FILE and LAYOUT");
  const Layout* layout = FindLayout(args[1]);
  if (!layout) return Usage("unknown layout \"" + args[1] + "\"");
  if (command == "create") return Create(args[0], *layout);
  if (command == "load") return Load(args[0], *layout);
  return Dump(args[0], *layout, key);
}

int Tool::Create(const std::string& path, const Layout& layout) {
  const RmStatus status = DataFile::Create(path, FileSpecFor(layout));
  if (status != RmStatus::Success)
    return Fail("cannot create " + path + ": " + StatusMessage(status));
  return kOk;
}

std::optional<int> Tool::OpenFor(DataFile& file, const std::string& path, const Layout& layout,
                                 OpenMode mode) {
  const RmStatus status = file.Open(path, mode);
  if (status != RmStatus::Success)
    return Fail("cannot open " + path + ": " + StatusMessage(status));
  if (file.Definition().recordLength != layout.recordLength)
    return Fail(path + " has records of " + std::to_string(file.Definition().recordLength) +
                " bytes; layout " + std::string(layout.name) + " has " +
                std::to_string(layout.recordLength));
  return std::nullopt;
}

int Tool::Load(const std::string& path, const Layout& layout) {
  DataFile file;
  if (std::optional<int> failed = OpenFor(file, path, layout, OpenMode::Normal)) return *failed;

  // Every line is checked before anything is written.
  struct Pending {
    int line;
    std::string record;
  };
  std::vector<Pending> records;
  bool bad = false;
  std::string text;
  for (int line = 1; std::getline(in_, text); ++line) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.find_first_not_of(" \t") == std::string::npos) continue;
    const std::string where = "line " + std::to_string(line);
    nlohmann::json object;
    try {
      object = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
      Fail(where + ": not valid JSON at character " + std::to_string(e.byte));
      bad = true;
      continue;
    }
    std::string record;
    JsonRecordError error;
    if (!RecordFromJson(layout, object, record, error)) {
      Fail(where + (error.field.empty() ? "" : ", field \"" + error.field + "\"") + ": " +
           error.reason);
      bad = true;
      continue;
    }
    records.push_back({line, std::move(record)});
  }
  if (bad) return Fail("nothing was written to " + path);

  int refused = 0;
  for (Pending& pending : records) {
    const RmStatus status = file.Insert(pending.record);
    if (status != RmStatus::Success) {
      Fail("line " + std::to_string(pending.line) +
           ": record not written: " + StatusMessage(status));
      ++refused;
    }
  }
  if (refused)
    return Fail(std::to_string(refused) + " of " + std::to_string(records.size()) +
                " records were not written to " + path);
  return kOk;
}

int Tool::Dump(const std::string& path, const Layout& layout, int key) {
  DataFile file;
  if (std::optional<int> failed = OpenFor(file, path, layout, OpenMode::ReadOnly)) return *failed;
  std::string keyBuffer, record;
  bool damaged = false;
  RmStatus status = file.GetFirst(key, keyBuffer, record);
  for (long number = 1; status == RmStatus::Success; ++number) {
    std::vector<std::string> problems;
    out_ << RecordToJson(layout, record, problems)
                .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
         << "\n";
    for (const std::string& problem : problems) {
      Fail("record " + std::to_string(number) + ", " + problem);
      damaged = true;
    }
    status = file.GetNext(key, keyBuffer, record);
  }
  if (status != RmStatus::EndOfFile)
    return Fail("cannot read " + path + " by key " + std::to_string(key) + ": " +
                StatusMessage(status));
  return damaged ? kFailed : kOk;
}

const char* KeyTypeName(KeyType type) {
  switch (type) {
    case KeyType::String:
      return "string";
    case KeyType::Integer:
      return "integer";
    case KeyType::Date:
      return "date";
    case KeyType::Decimal:
      return "decimal";
    case KeyType::Unsigned:
      return "unsigned";
    case KeyType::AutoInc:
      return "autoinc";
  }
  return "unknown";
}

int Tool::Stat(const std::string& path) {
  DataFile file;
  FileStat stat;
  RmStatus status = file.Open(path, OpenMode::ReadOnly);
  if (status == RmStatus::Success) status = file.Stat(stat);
  if (status != RmStatus::Success)
    return Fail("cannot open " + path + ": " + StatusMessage(status));
  out_ << "record length " << stat.fileSpec.recordLength << "\n"
       << "records " << stat.recordCount << "\n"
       << "keys " << stat.fileSpec.keys.size() << "\n";
  for (std::size_t k = 0; k < stat.fileSpec.keys.size(); ++k) {
    const KeySpec& key = stat.fileSpec.keys[k];
    out_ << "key " << k << (key.duplicates ? " duplicates:" : " unique:");
    for (std::size_t s = 0; s < key.segments.size(); ++s) {
      const KeySegment& segment = key.segments[s];
      out_ << (s ? ", " : " ") << "offset " << segment.offset << " length " << segment.length << " "
           << KeyTypeName(segment.type) << (segment.caseInsensitive ? " nocase" : "");
    }
    out_ << "\n";
  }
  return kOk;
}

}  // namespace

int RunMfrec(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
             std::ostream& err) {
  return Tool(in, out, err).Run(args);
}

}  // namespace upfold::mfrec
