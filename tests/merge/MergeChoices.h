#pragma once
// Printing choices the merge tests hand to the posting program.

#include <string>

#include "print/PrintChoices.h"

namespace upfold::test {

// The printer, landscape ("C"), 66 lines.
inline PrintChoices ToPrinter(const std::string& printer = "Office Printer") {
  PrintChoices choices;
  choices.PrintDest = kPrintToPrinter;
  choices.PrinterName = printer;
  choices.PrintSize = "C";
  choices.PageLen = "66";
  return choices;
}

// The file C:\PRINT\MERGE.TXT, portrait, 60 lines; the settings' printer stays Office Printer.
inline PrintChoices ToFile() {
  PrintChoices choices;
  choices.PrintDest = kPrintToFile;
  choices.PrinterName = "Office Printer";
  choices.PrintFileName = "MERGE.TXT";
  choices.PrintFilePath = "C:\\PRINT";
  choices.PrintPathFileName = "C:\\PRINT\\MERGE.TXT";
  choices.PrintSize = "R";
  choices.PageLen = "60";
  return choices;
}

// The posting program's first argument for ToPrinter(): 256, the name padded to 42, 42 blanks,
// C, 66 and a blank.
inline std::string OfficePrinterArgument() {
  return "IMPORT256Office Printer" + std::string(28 + 42, ' ') + "C66 ";
}

// The posting program's whole line for ToPrinter() from C:\MFW on 11 December 2026.
inline std::string OfficePrinterLine() {
  return "C:\\MFW\\Brask.exe \"" + OfficePrinterArgument() + "\" 461211";
}

}  // namespace upfold::test
