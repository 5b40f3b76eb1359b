#pragma once
// The screen-file reservation: an empty file with a generated, unused name in the host data
// directory, for a report that is to be shown on the screen.

#include <cstdint>
#include <string>

namespace upfold {

class Clock;
class DosFs;
class Ui;
struct PrintChoices;
struct RunValues;

// The tick count reduced to at most 1679615 (36^4 - 1): while it is larger it is cut to its
// last six decimal digits when it has seven, to its last seven when it has more.
std::uint64_t TimeNameValue(std::uint64_t ticks);

// Four characters from 0-9 and A-Z for a value (reduced by TimeNameValue); positions it does not
// reach get a random digit 0-8 from the clock.
std::string GetTimeName(std::uint64_t value, Clock& clock);

// DoViewer: reserves <prefix><TimeName><WSID> in run.DataPath for choices.PrintReportNum. On
// success PrintPathFileName is kPrintingToScreen, PrintToScreen is set, PrintDest is
// kPrintToFile and TimeName holds the four characters. On failure (the name check refuses the
// name, or the file cannot be created: a message is shown) PrintDest is kPrintNothing and
// PrintToScreen and TimeName are cleared. A name already taken is replaced by a new one.
bool DoViewer(PrintChoices& choices, const RunValues& run, const DosFs& fs, Clock& clock, Ui& ui);

}  // namespace upfold
