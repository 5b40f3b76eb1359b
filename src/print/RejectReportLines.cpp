#include "print/RejectReportLines.h"

#include <charconv>
#include <cstdio>

#include "data/FixedText.h"

namespace upfold {

namespace {

std::string Money(double value) {
  char text[48];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

long long WholeNumber(const std::string& text) {
  const std::string trimmed = Trim(text);
  long long value = 0;
  const char* end = trimmed.data() + trimmed.size();
  const auto result = std::from_chars(trimmed.data(), end, value);
  return result.ec == std::errc() && result.ptr == end ? value : 0;
}

std::string SubHeader(const char* label, const std::string& value, const char* countLabel,
                      const std::string& count) {
  return RightJust(label, 25) + LeftJust(value, 60) + RightJust(countLabel, 28) +
         LeftJust(count, 10);
}

}  // namespace

std::string GetRejectReason(const std::string& unassigned2) {
  const long long mask = unassigned2.size() > 3 ? WholeNumber(unassigned2.substr(3, 4)) : 0;
  std::string reasons;
  if (mask <= 0) return reasons;
  for (const RejectReasonText& reason : kReasonTexts) {
    if ((mask & reason.bit) == 0) continue;
    if (!reasons.empty()) reasons += ", ";
    reasons += TrimRight(reason.text);
  }
  return reasons;
}

std::string RejectTitleLine(const std::string& dataPath, const std::string& date,
                            const std::string& time, int page) {
  const std::string database = "Database: " + Trim(dataPath);
  const std::string title =
      "   Marrowfield Import Remote Processing   Reject Report   " + date + " at " + time;
  const int width = 120 - static_cast<int>(database.size() + 5);
  const int titleLength = static_cast<int>(title.size());
  const int centred = titleLength + (width - titleLength) / 2;
  return RightJust(database, database.size() + 5) +
         LeftJust(RightJust(title, centred > 0 ? centred : 0), width > 0 ? width : 0) + "   Page " +
         std::to_string(page);
}

std::string RejectSubHeader(int line, const RejectReportRow& row) {
  switch (line) {
    case 1:
      return SubHeader("Original file name: ", row[0], "Number of original records = ", row[1]);
    case 2:
      return SubHeader("Renamed file name: ", row[4], "Number of processed records = ",
                       std::to_string(WholeNumber(row[1]) - WholeNumber(row[2])));
    default:
      return SubHeader("Reject file name: ", row[3], "Number of rejected records = ", row[2]);
  }
}

std::string RejectColumnHeading(int line) {
  if (line == 1) {
    return LeftJust(" ", 42) +
           RightJust("---------- Actual ---------- ---------- Billable ----------", 59);
  }
  return RightJust(
      "       Client-Case     Type  Date     Gp  Emp   Hrs/Units     $ Amount Emp     Hr/Units"
      "    $ Amount",
      99);
}

std::string RejectDetailLine(const RejectDetail& d) {
  return LeftJust("", 7) + LeftJust(d.clientCase, 17) + LeftJust(d.type, 3) + LeftJust(d.date, 11) +
         LeftJust(d.group, 4) + LeftJust(d.employee, 4) + RightJust(Money(d.actualHours), 10) +
         "  " + RightJust(Money(d.actualAmount), 11) + "  " + LeftJust(d.billableEmployee, 5) +
         RightJust(Money(d.billableHours), 10) + "  " + RightJust(Money(d.billableAmount), 11);
}

std::string RejectReasonLine(const std::string& reasons) {
  return LeftJust("", 9) + LeftJust("*Reject reason:", 16) + LeftJust(reasons, 70);
}

std::string RejectDescriptionLine(const std::string& description) {
  return LeftJust("", 9) + LeftJust(description, 78);
}

}  // namespace upfold
