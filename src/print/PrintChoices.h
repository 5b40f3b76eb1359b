#pragma once
// What the printing choices leave for the caller of the dialog: where the report goes and how.
// One instance lives for the run; each opening of the dialog resets most of it.

#include <string>

namespace upfold {

// Values of PrintDest.
inline constexpr int kPrintNothing = 0;
inline constexpr int kPrintToFile = 100;
inline constexpr int kPrintToPrinter = 255;

// Report numbers this program prints or hands on.
inline constexpr int kMergeReport = 38;
inline constexpr int kRejectReportRetry = 41;
inline constexpr int kImportReport = 44;

// PrintPathFileName after a screen-file reservation.
inline constexpr const char* kPrintingToScreen = "NONE (PRINTING TO SCREEN)";

struct PrintChoices {
  int PrintDest = kPrintNothing;
  std::string PrintPathFileName;  // directory and name joined
  std::string PrintFileName;
  std::string PrintFilePath;
  std::string PrinterName;        // an entry of the printer list
  std::string PrntNum = "10";
  std::string PrintSize;          // "R" portrait, "C" landscape
  std::string PageLen;            // lines per page for a file, decimal text
  std::string TimeName;           // four characters of the last screen-file reservation
  bool PrintToScreen = false;
  int PrintReportNum = 0;
};

}  // namespace upfold
