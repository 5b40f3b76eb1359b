#include "print/ScreenFile.h"

#include "app/RunValues.h"
#include "app/Ui.h"
#include "platform/Clock.h"
#include "platform/DosFs.h"
#include "print/NewPrintFile.h"
#include "print/PrintChoices.h"
#include "print/PrintFileName.h"

namespace upfold {

namespace {

constexpr std::uint64_t kLargestValue = 1679615;  // 36^4 - 1
constexpr const char* kSymbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
// Generated names are tried this many times (a millisecond apart) before giving up.
constexpr int kAttempts = 1000;

char RandomSymbol(Clock& clock) { return static_cast<char>('0' + clock.RandomDigit(8)); }

}  // namespace

std::uint64_t TimeNameValue(std::uint64_t ticks) {
  while (ticks > kLargestValue) {
    ticks %= ticks < 10'000'000 ? 1'000'000 : 10'000'000;
  }
  return ticks;
}

std::string GetTimeName(std::uint64_t value, Clock& clock) {
  value = TimeNameValue(value);  // keeps every quotient within the 36 symbols
  std::string name;
  for (std::uint64_t divisor : {46656ULL, 1296ULL, 36ULL}) {
    if (value <= divisor) {
      name += RandomSymbol(clock);
      continue;
    }
    const std::uint64_t q = value / divisor;  // 1..36 for a reduced value
    name += kSymbols[q - 1];
    value -= q * divisor;
  }
  name += value == 0 ? RandomSymbol(clock) : kSymbols[value - 1];
  return name;
}

bool DoViewer(PrintChoices& choices, const RunValues& run, const DosFs& fs, Clock& clock,
              Ui& ui) {
  const auto fail = [&choices] {
    choices.PrintDest = kPrintNothing;
    choices.PrintToScreen = false;
    choices.TimeName.clear();
    return false;
  };
  std::string path;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) clock.Sleep(1);  // the next name comes from a later tick
    const std::string timeName = GetTimeName(TimeNameValue(clock.TickCount()), clock);
    const std::string name = ReportPrefix(choices.PrintReportNum) + timeName + run.WSID;
    if (!IsPrintFileNameOK(name, false, ui)) return fail();
    path = DoPrintPathFileName(run.DataPath, name);
    if (DoesPrintFileExist(path, fs)) continue;
    const FsResult created = CreateEmptyPrintFile(path, true, fs);
    if (!created) {
      if (fs.FileExists(path)) continue;  // another workstation took the name just now
      break;
    }
    choices.TimeName = timeName;
    choices.PrintPathFileName = kPrintingToScreen;
    choices.PrintToScreen = true;
    choices.PrintDest = kPrintToFile;
    return true;
  }
  ui.Error("Unable to create the file " + path);
  return fail();
}

}  // namespace upfold
