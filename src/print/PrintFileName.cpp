#include "print/PrintFileName.h"

#include <algorithm>

#include "app/Ui.h"
#include "data/FixedText.h"
#include "platform/TextEncoding.h"

namespace upfold {

const char* const kRefusedNameKeyMessage =
    "Do not use characters  / \\ : ? \" < > | , = [ ] in the print file name";

namespace {

// The characters Windows does not allow in a file name, and a few it gives meaning to.
constexpr std::string_view kForbidden = "/\\:*?\"<>|+=,[]";

constexpr const char* kNotAllowedText =
    "File names must not contain the characters  / \\ : * ? \" < > |";

// Control characters cannot stand in a Windows file name either; they are never typed, but
// stored settings may hold them.
bool IsForbidden(char c) {
  return kForbidden.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20;
}

bool HasForbidden(const std::string& text) {
  return std::any_of(text.begin(), text.end(), IsForbidden);
}

std::string Upper(std::string text) {
  for (char& c : text) c = Cp1252Upper(c);
  return text;
}

bool Refuse(Ui& ui, const std::string& message) {
  ui.Error(message);
  return false;
}

}  // namespace

std::string ReportPrefix(int reportNum) {
  switch (reportNum) {
    case 38: return "TI";
    case 41: return "UP";
    case 44: return "IR";
    default: return "  ";
  }
}

std::string DoPrintPathFileName(const std::string& directory, const std::string& name) {
  if (!directory.empty() && directory.back() == '\\') return directory + name;
  return directory + "\\" + name;
}

// Only the printable ones: editing keys such as backspace arrive as control characters.
bool IsRefusedNameKey(char c) {
  return c != '*' && c != '+' && kForbidden.find(c) != std::string_view::npos;
}

bool EditFileName(std::string& name, const StarPlusInputs& inputs, Ui& ui) {
  constexpr const char* kTooLong = "File name is too long!";
  if (name.size() >= 13) return Refuse(ui, kTooLong);
  const auto firstDot = name.find('.');
  if (firstDot != std::string::npos) {
    if (firstDot >= 9) return Refuse(ui, kTooLong);  // the first dot after position 9
    if (name.size() - name.rfind('.') > 4) return Refuse(ui, "File extension is too long!");
  } else if (name.size() > 8) {
    return Refuse(ui, kTooLong);
  }
  if (name.find(' ') != std::string::npos) {
    return Refuse(ui, "There must be no blanks in the print-file name.");
  }
  if (name.size() >= 2 && ((name[1] == '*' && name[0] != '+') ||
                           (name[1] == '+' && name[0] != '*'))) {
    return Refuse(ui,
                  "To use the *+ feature, the first character of the file name must be a * "
                  "or a +.");
  }
  const auto firstStar = name.find('*');
  const auto firstPlus = name.find('+');
  if ((firstStar != std::string::npos && firstStar > 1) ||
      (firstPlus != std::string::npos && firstPlus > 1)) {
    return Refuse(ui, "Use * and/or + only in first two positions of file name.");
  }
  if (!name.empty() && (name[0] == '*' || name[0] == '+')) name = StarPlus(name, inputs);
  return true;
}

bool IsPrintFileNameOK(const std::string& name, bool pdfFormat, Ui& ui) {
  if (Trim(name).empty()) return Refuse(ui, "The print-to-file name must not be blank.\r");
  if (name.find(' ') != std::string::npos) {
    return Refuse(ui, "There must be no blanks in the print-file name.\r");
  }
  if (!pdfFormat && Upper(name).find(".PDF") != std::string::npos) {
    return Refuse(ui,
                  "You may not use the file extension PDF when writing a report to a data or "
                  "text file.");
  }
  if (name[0] != '*' && name[0] != '+') {
    if (HasForbidden(name)) {
      return Refuse(ui, "The print-to-file name,  " + name + ",  is not valid.\r" +
                            kNotAllowedText);
    }
    // "." and ".." name folders, not files.
    if (name.find_first_not_of('.') == std::string::npos) {
      return Refuse(ui, "The print-to-file name,  " + name + ",  is not valid.\r" +
                            "File names must not consist of dots only.");
    }
    return true;
  }
  if (name.size() == 1 || name.rfind("*+", 0) == 0 || name.rfind("+*", 0) == 0) return true;
  const std::string suffix = name.substr(1);
  if (HasForbidden(suffix)) {
    return Refuse(ui, "The print-to-file name suffix,  " + suffix + ",  is not valid.\r" +
                          kNotAllowedText);
  }
  return true;
}

}  // namespace upfold
