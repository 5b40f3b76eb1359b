// mfrec run as a program: create, load, dump and stat on files in a temporary folder.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "data/Layout.h"
#include "data/RecordField.h"
#include "recman/DataFile.h"
#include "support/TempDir.h"

namespace upfold {
namespace {

using nlohmann::json;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The built program: under UPFOLD_BINARY_DIR, or else found from this test's own place in
// the build folder (tests/e2e/e2e_tests).
std::string MfrecPath() {
  if (const char* binary = std::getenv("UPFOLD_BINARY_DIR"))
    return std::string(binary) + "/tools/mfrec/mfrec";
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  return (self.parent_path().parent_path().parent_path() / "tools/mfrec/mfrec").string();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class MfrecTest : public testing::Test {
 protected:
  // Runs mfrec with the arguments, `input` on standard input.
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    std::string command = Quote(MfrecPath());
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " <" + Quote(dir.Write("stdin", input)) + " >" + Quote(dir / "stdout") + " 2>" +
               Quote(dir / "stderr");
    Result result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = dir.Read("stdout");
    result.err = dir.Read("stderr");
    return result;
  }

  // The JSON of a record with every field empty, with `given` laid over it.
  static json EmptyJson(const Layout& layout, const json& given) {
    json object = json::object();
    for (const FieldDef& field : layout.fields) {
      const std::string name(field.name);
      if (field.type == FieldType::Text)
        object[name] = std::string(field.length, ' ');
      else if (field.type == FieldType::Date)
        object[name] = nullptr;
      else
        object[name] = 0;
    }
    object.update(given);
    return object;
  }

  test::TempDir dir;
  const Layout& ycase = *FindLayout("YCase");
};

TEST_F(MfrecTest, CreateLoadAndDumpCasesInKeyOrder) {
  const std::string file = dir / "YCase.lf";
  ASSERT_EQ(Run({"create", file, "YCase"}).status, 0);
  const std::string input =
      R"({"Client Code": "SMITH", "Case Suffix": "      2", "Description Line 1": "Smith estate – Müller", "Fee Budget $": 1500.5, "Threshhold": 90, "Date Opened": "461201"})"
      "\n"
      R"({"Client Code": "ADAMS", "Case Suffix": "     10", "Billing Rate Code": "R1", "CTD fee hours": -12.25})"
      "\n";
  const Result load = Run({"load", file, "ycase"}, input);
  ASSERT_EQ(load.status, 0) << load.err;
  EXPECT_EQ(load.err, "");

  const Result dump = Run({"dump", file, "YCASE", "--key", "1"});
  ASSERT_EQ(dump.status, 0) << dump.err;
  const std::vector<std::string> lines = Lines(dump.out);
  ASSERT_EQ(lines.size(), 2u) << dump.out;
  EXPECT_EQ(json::parse(lines[0]), EmptyJson(ycase, {{"AutoIncrement", 2},
                                                     {"Client Code", "ADAMS  "},
                                                     {"Case Suffix", "     10"},
                                                     {"Billing Rate Code", "R1"},
                                                     {"CTD fee hours", -12.25}}));
  EXPECT_EQ(
      json::parse(lines[1]),
      EmptyJson(ycase, {{"AutoIncrement", 1},
                        {"Client Code", "SMITH  "},
                        {"Case Suffix", "      2"},
                        {"Description Line 1", "Smith estate – Müller" + std::string(29, ' ')},
                        {"Fee Budget $", 1500.5},
                        {"Threshhold", 90},
                        {"Date Opened", "461201"}}));
  // Fields come in record order.
  EXPECT_EQ(lines[0].rfind(R"({"AutoIncrement":2,"Client Code":"ADAMS  ","Case Suffix":)", 0), 0u);

  // Key 0 is the order of loading.
  const std::vector<std::string> byAuto = Lines(Run({"dump", file, "YCase"}).out);
  ASSERT_EQ(byAuto.size(), 2u);
  EXPECT_EQ(json::parse(byAuto[0])["Client Code"], "SMITH  ");

  // Texts are stored as Windows-1252 bytes.
  DataFile data;
  ASSERT_EQ(data.Open(file), RmStatus::Success);
  std::string key, record;
  ASSERT_EQ(data.GetFirst(0, key, record), RmStatus::Success);
  EXPECT_EQ(FieldBytes(record, *ycase.Field("Description Line 1")).substr(0, 21),
            "Smith estate \x96 M\xFCller");
}

TEST_F(MfrecTest, StatShowsLengthCountAndKeys) {
  const std::string file = dir / "YCase.lf";
  ASSERT_EQ(Run({"create", file, "YCase"}).status, 0);
  ASSERT_EQ(Run({"load", file, "YCase"}, "{}\n{\"Client Code\": \"B\"}\n").status, 0);
  const Result stat = Run({"stat", file});
  EXPECT_EQ(stat.status, 0);
  EXPECT_EQ(stat.out,
            "record length 439\n"
            "records 2\n"
            "keys 2\n"
            "key 0 unique: offset 0 length 4 autoinc\n"
            "key 1 unique: offset 4 length 7 string, offset 11 length 7 string\n");

  // create never replaces a file.
  const Result again = Run({"create", file, "YCase"});
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("Btrieve status 59"), std::string::npos) << again.err;
  EXPECT_EQ(Lines(Run({"stat", file}).out)[1], "records 2");
}

TEST_F(MfrecTest, BadInputIsRefusedWithLineAndField) {
  const std::string good = R"({"Client Code": "GOOD"})";
  struct Case {
    const char* what;
    std::string input;
    std::string message;
  };
  const Case cases[] = {
      {"bad JSON", good + "\n{\"Client Code\": \"X\"\n", "mfrec: line 2: not valid JSON"},
      {"not an object", good + "\n[1, 2]\n", "mfrec: line 2: not a JSON object"},
      {"unknown field", good + "\n\n{\"Client code\": \"X\"}\n",
       "mfrec: line 3, field \"Client code\": no such field in layout YCase (did you mean "
       "\"Client Code\"?)"},
      {"text too long", "{\"Case Suffix\": \"12345678\"}\n" + good,
       "mfrec: line 1, field \"Case Suffix\": text of 8 characters is longer than the field (7)"},
      {"number too big", good + "\n{\"Fee Budget $\": 1000000000}\n",
       "mfrec: line 2, field \"Fee Budget $\": 1000000000 does not fit the field (11 digits, 2 "
       "decimals)"},
      {"text for a number", good + "\n{\"Fee Budget $\": \"12\"}\n",
       "mfrec: line 2, field \"Fee Budget $\": takes a number"},
      {"outside Windows-1252", good + "\n{\"Client Code\": \"\xE6\x97\xA5\"}\n",
       "mfrec: line 2, field \"Client Code\": holds a character that Windows-1252 cannot hold"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir fresh;
    const std::string file = fresh / "YCase.lf";
    ASSERT_EQ(Run({"create", file, "YCase"}).status, 0);
    const Result load = Run({"load", file, "YCase"}, c.input);
    EXPECT_EQ(load.status, 1);
    EXPECT_EQ(load.err.rfind(c.message, 0), 0u) << load.err;
    EXPECT_NE(load.err.find("nothing was written"), std::string::npos) << load.err;
    EXPECT_EQ(Run({"dump", file, "YCase"}).out, "");
  }
}

TEST_F(MfrecTest, RecordsTheRecordManagerRefusesAreReportedOthersWritten) {
  const std::string file = dir / "YCase.lf";
  ASSERT_EQ(Run({"create", file, "YCase"}).status, 0);
  const Result load = Run({"load", file, "YCase"},
                          "{\"Client Code\": \"A\"}\n{\"Client Code\": \"A\"}\n"
                          "{\"Client Code\": \"B\"}\n");
  EXPECT_EQ(load.status, 1);
  EXPECT_EQ(Lines(load.err).at(0).rfind("mfrec: line 2: record not written: Btrieve status 5", 0),
            0u)
      << load.err;
  EXPECT_EQ(Lines(Run({"dump", file, "YCase"}).out).size(), 2u);
}

TEST_F(MfrecTest, DumpLoadsBackToTheSameRecords) {
  const std::string first = dir / "a.rme", second = dir / "b.rme";
  ASSERT_EQ(Run({"create", first, "RemBatch"}).status, 0);
  ASSERT_EQ(Run({"create", second, "RemBatch"}).status, 0);
  const std::string input =
      R"({"ClientCode": "ACME", "CaseSuffix": "      1", "Type": "F", "StringTransDate": "461130", "EmployeeCode": "JD", "ActualHours": 1.25, "ActualAmount": -99999.99, "TransactionDate": "2026-11-30", "Unassigned2": "+++"})"
      "\n"
      R"({"ClientCode": "\u00e9\u20ac\u0081", "AutoInc": 77, "Fees": 0.01, "TransactionDate": null})"
      "\n";
  ASSERT_EQ(Run({"load", first, "RemBatch"}, input).status, 0);
  const Result dump = Run({"dump", first, "RemBatch"});
  ASSERT_EQ(dump.status, 0) << dump.err;
  ASSERT_EQ(Run({"load", second, "RemBatch"}, dump.out).status, 0);
  EXPECT_EQ(Run({"dump", second, "RemBatch"}).out, dump.out);

  const std::vector<std::string> lines = Lines(dump.out);
  ASSERT_EQ(lines.size(), 2u);
  const json one = json::parse(lines[0]), two = json::parse(lines[1]);
  EXPECT_EQ(one["TransactionDate"], "2026-11-30");
  EXPECT_EQ(one["ActualAmount"], -99999.99);
  EXPECT_EQ(two["AutoInc"], 77);
  EXPECT_EQ(two["ClientCode"], "\u00e9\u20ac\u0081    ");
  EXPECT_EQ(two["TransactionDate"], nullptr);
}

TEST_F(MfrecTest, DumpNamesDamagedFields) {
  const std::string file = dir / "YCase.lf";
  ASSERT_EQ(Run({"create", file, "YCase"}).status, 0);
  {
    DataFile data;
    ASSERT_EQ(data.Open(file), RmStatus::Success);
    std::string record = EmptyRecord(ycase);
    record.replace(ycase.Field("Fee Budget $")->offset, 6, "      ");  // blanks, not packed
    ASSERT_EQ(data.Insert(record), RmStatus::Success);
  }
  const Result dump = Run({"dump", file, "YCase"});
  EXPECT_EQ(dump.status, 1);
  EXPECT_EQ(dump.err,
            "mfrec: record 1, field \"Fee Budget $\" does not hold a packed decimal number\n");
  ASSERT_EQ(Lines(dump.out).size(), 1u);
  EXPECT_EQ(json::parse(dump.out)["Fee Budget $"], nullptr);
  EXPECT_EQ(json::parse(dump.out)["Cost Budget $"], 0);
}

TEST_F(MfrecTest, UsageErrors) {
  const std::string file = dir / "x.lf";
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{}, "mfrec: no command given"},
      {{"frob", file}, "mfrec: unknown command \"frob\""},
      {{"create", file}, "mfrec: create takes FILE and LAYOUT"},
      {{"create", file, "Nope"}, "mfrec: unknown layout \"Nope\""},
      {{"dump", file, "YCase", "--key"}, "mfrec: --key needs a key number"},
      {{"dump", file, "YCase", "--key", "one"}, "mfrec: key number \"one\" is not a number"},
      {{"load", file, "YCase", "--key", "1"}, "mfrec: --key belongs to dump only"},
      {{"stat"}, "mfrec: stat takes one FILE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const Result result = Run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.rfind(c.message + "\n", 0), 0u) << result.err;
  }
  const Result help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage:\n  mfrec create FILE LAYOUT", 0), 0u);
}

}  // namespace
}  // namespace upfold
