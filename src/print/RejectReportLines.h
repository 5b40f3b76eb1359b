#pragma once
// The lines of the reject report, as fixed-width text. Widths are minimums: a longer value is
// never cut, so a long path or a four-character group code pushes the rest of its line right.

#include <array>
#include <string>

namespace upfold {

// One batch row of the import's results grid: remote batch path, record count, reject count,
// reject file path (or kNoRejectFile), renamed file path (or "Not renamed").
using RejectReportRow = std::array<std::string, 5>;

inline constexpr const char* kNoRejectFile = "No Reject File";

// The reject reasons by bit of the reject mask, highest bit first.
struct RejectReasonText {
  int bit;
  const char* text;
};
inline constexpr std::array<RejectReasonText, 13> kReasonTexts = {{
    {4096, "Case frozen"},
    {2048, "Bad units/hrs/rate or $ amt"},
    {1024, "Bad $ amt"},
    {512, "Bad rate"},
    {256, "Bad hrs/units"},
    {128, "Bad group"},
    {64, "Group is required"},
    {32, "Bad date"},
    {16, "Bad emp"},
    {8, "Bad type code"},
    {4, "No pymt to Dummy case"},
    {2, "Case closed"},
    {1, "Bad case"},
}};

// GetRejectReason: the texts of the mask held in characters 4 to 7 of Unassigned2 ("+++" and
// the number), highest bit first, joined by ", ". A field without a number gives no text;
// bits without a text (8192 and above) are left out.
std::string GetRejectReason(const std::string& unassigned2);

// GetHeader: "Database: <dataPath>" and the report title centred in the rest of 120
// characters, then the page number. date and time are already formatted.
std::string RejectTitleLine(const std::string& dataPath, const std::string& date,
                            const std::string& time, int page);
// GetSubHeader1 to 3 for a batch row (line 1 to 3).
std::string RejectSubHeader(int line, const RejectReportRow& row);
// GetColHeader1 and 2 (line 1 or 2).
std::string RejectColumnHeading(int line);

// The printed values of one reject, in their order on the detail line.
struct RejectDetail {
  std::string clientCase;  // client and case suffix, trimmed, joined by "-"
  std::string type;
  std::string date;  // display date with a four-digit year
  std::string group;
  std::string employee;
  double actualHours = 0;
  double actualAmount = 0;
  std::string billableEmployee;
  double billableHours = 0;
  double billableAmount = 0;
};
// GetRecordDetail.
std::string RejectDetailLine(const RejectDetail& detail);
// The "*Reject reason:" line.
std::string RejectReasonLine(const std::string& reasons);
// A description line.
std::string RejectDescriptionLine(const std::string& description);

}  // namespace upfold
