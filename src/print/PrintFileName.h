#pragma once
// Rules for the names of print files: old-style short names (at most eight characters, a dot
// and three more), no characters that Windows refuses in a file name, and the "*" / "+"
// patterns that expand into names made from the date and time (StarPlus.h). Every refusal is
// shown to the user in an error box; the caller keeps the dialog open.

#include <string>

#include "print/StarPlus.h"

namespace upfold {

class Ui;

// The two-letter prefix of generated names for a report number (38 "TI", 41 "UP", 44 "IR");
// two blanks for a number without a report.
std::string ReportPrefix(int reportNum);

// directory + "\" + name, without doubling a backslash that ends the directory.
std::string DoPrintPathFileName(const std::string& directory, const std::string& name);

// The name field turns letters to upper case and holds at most this many characters.
inline constexpr int kPrintFileNameMaxLength = 13;

// The key filter of the name field: true for a character refused as it is typed ("*" and "+"
// may be typed for the patterns). The field then shows kRefusedNameKeyMessage.
bool IsRefusedNameKey(char c);
extern const char* const kRefusedNameKeyMessage;

// Checks made when the user leaves the name field: length, dot position, extension length,
// blanks and where "*" and "+" stand. An accepted pattern is replaced by its expansion.
bool EditFileName(std::string& name, const StarPlusInputs& inputs, Ui& ui);

// The check of a name on loading the settings, on a new name and on OK. pdfFormat: the file
// format chosen is PDF, so a ".PDF" extension is allowed.
bool IsPrintFileNameOK(const std::string& name, bool pdfFormat, Ui& ui);

}  // namespace upfold
