#include "app/RegReader.h"

#include <array>
#include <functional>
#include <optional>

#include "app/HostRegistry.h"
#include "app/RunValues.h"
#include "app/TesselPath.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "platform/Registry.h"

namespace upfold {

namespace {

constexpr Hive kMachine = Hive::LocalMachine;

struct SuiteDefault {
  const char* name;
  const char* value;
  // The suite's own programs look only at the first character of these.
  bool firstCharacterOnly;
};

// Settings of the suite's other programs; a missing or blank one gets its default.
constexpr std::array<SuiteDefault, 19> kSuiteDefaults{{
    {"DisplayDateTime", "Y", true},     {"DisplayDataDir", "Y", true},
    {"DisplaySpeedButtons", "Y", true}, {"AutoExit", "Y", true},
    {"AutoSelect", "Y", false},         {"BackupDrv", "A", false},
    {"CapAltID", "Y", false},           {"ClientEntryMode", "C", false},
    {"DowWarn", "67", false},           {"EmpByName", "N", false},
    {"EntryMode", "1", false},          {"FutureDays", "0", false},
    {"GroupByDesc", "N", false},        {"GroupsReq", "NNN", false},
    {"NarrByDesc", "N", false},         {"PastDays", "0", false},
    {"RndLimit", "4", false},           {"EnterSaves", "N", false},
    {"SkipRateAmt", "N", false},
}};

bool NeedsDefault(const SuiteDefault& setting, const std::string& stored) {
  if (setting.firstCharacterOnly) return Trim(stored.substr(0, 1)).empty();
  return Trim(stored).empty();
}

// H_0 as the run uses it: every user appends "\name", so surrounding blanks and a trailing
// backslash would only break the paths built from it.
std::string DataPathFrom(const std::string& h0) {
  std::string path = Trim(h0);
  if (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

// What the first reading of the host key found. Values not read (the step failed before
// reaching them) stay unset, so that the writing step never replaces what it has not seen.
struct HostReading {
  std::optional<std::string> hd;
  std::array<std::optional<std::string>, kSuiteDefaults.size()> settings;
};

class Reader {
 public:
  Reader(Registry& registry, Ui& ui, RunValues& values)
      : registry_(registry), ui_(ui), values_(values) {}

  bool Run() {
    Step("Error in reading the registry.", kHostKey, [this] { ReadHostKey(); });
    Step("Error in reading the registry.", "\\software\\Verrin\\MARROWFIELD\\Host\\H_Data",
         [this] { ReadDataPathKey(); });
    Step("Error in reading or writing the registry.", kAliasKey, [this] { CorrectAlias(); });
    Step("Error in writing to the registry.", kHostKey, [this] { CorrectHostKey(); });
    return ok_;
  }

 private:
  // A registry error ends the step with its message; the next step still runs, and the
  // outcome stays a failure.
  void Step(const char* text, const char* keyShown, const std::function<void()>& body) {
    try {
      body();
    } catch (const RegistryError& error) {
      ui_.Error(std::string(text) + "\r\r" + keyShown + "\r\r" + error.what() + kContactLine);
      ok_ = false;
    }
  }

  std::string Read(const char* key, const char* name) const {
    return registry_.ReadString(kMachine, key, name).value_or("");
  }

  void ReadHostKey() {
    if (!registry_.KeyExists(kMachine, kHostKey)) return;
    // Without a stored id the one from the command line stays.
    const std::string wsid = Read(kHostKey, "WSID");
    if (!Trim(wsid).empty()) values_.WSID = wsid.substr(0, 2);
    host_.hd = Read(kHostKey, "HD");
    for (std::size_t i = 0; i < kSuiteDefaults.size(); ++i) {
      host_.settings[i] = Read(kHostKey, kSuiteDefaults[i].name);
    }
  }

  void ReadDataPathKey() {
    if (!registry_.KeyExists(kMachine, kDataPathKey)) return;
    h0_ = Read(kDataPathKey, "H_0");
    values_.DataPath = DataPathFrom(h0_);
    values_.DataSetDescription = Read(kDataPathKey, "D_0");
  }

  // The dataset platform finds the data files through this alias; keep it on H_0. Without a
  // data directory there is nothing to point it at, and the other programs' alias stays.
  void CorrectAlias() {
    if (Trim(h0_).empty()) return;
    if (!registry_.KeyExists(kMachine, kAliasKey)) return;
    const std::string physicalName = Read(kAliasKey, "PhysicalName");
    const std::string description = Read(kAliasKey, "Description");
    if (Trim(physicalName) != Trim(h0_)) {
      registry_.WriteString(kMachine, kAliasKey, "PhysicalName", h0_);
    }
    const std::string& d0 = values_.DataSetDescription;
    if (Trim(description) != Trim(d0)) {
      registry_.WriteString(kMachine, kAliasKey, "Description", d0);
    }
  }

  void CorrectHostKey() {
    if (!registry_.KeyExists(kMachine, kHostKey)) return;
    if (host_.hd && Trim(*host_.hd) != values_.PgmDir) {
      registry_.WriteString(kMachine, kHostKey, "HD", values_.PgmDir);
    }
    for (std::size_t i = 0; i < kSuiteDefaults.size(); ++i) {
      const std::optional<std::string>& stored = host_.settings[i];
      if (stored && NeedsDefault(kSuiteDefaults[i], *stored)) {
        registry_.WriteString(kMachine, kHostKey, kSuiteDefaults[i].name, kSuiteDefaults[i].value);
      }
    }
  }

  Registry& registry_;
  Ui& ui_;
  RunValues& values_;
  HostReading host_;
  std::string h0_;
  bool ok_ = true;
};

}  // namespace

bool RegReader(Registry& registry, Ui& ui, const std::string& programDir, RunValues& values) {
  std::string pgmDir = programDir;
  if (pgmDir.size() > 1 && pgmDir.back() == '\\') pgmDir.pop_back();
  values.PgmDir = pgmDir;

  const std::optional<std::string> tessel = PathToTesselFormat(pgmDir);
  if (!tessel) {
    ui.Error(std::string("Error in converting the pgmdir.\r\r") + kHostKey + kContactLine);
    return false;
  }
  values.PgmDirTessel = *tessel;

  // A file that cannot be read at all (damaged, unreadable) would fail every step; say so
  // once and leave it exactly as it is.
  try {
    registry.KeyExists(kMachine, kHostKey);
  } catch (const RegistryError& error) {
    ui.Error(std::string("Error in reading or writing to the registry.\r\r") + error.what() +
             kContactLine);
    return false;
  }

  return Reader(registry, ui, values).Run();
}

}  // namespace upfold
