#include <gtest/gtest.h>

#include "app/DateConversions.h"
#include "support/ScriptedUi.h"

namespace upfold {
namespace {

using test::ScriptedUi;

const std::string kContact = kContactLine;

DateFormats WithShortDate(const std::string& shortDate) {
  DateFormats formats;
  formats.shortDate = shortDate;
  return formats;
}

TEST(DateToFileDate, ConvertsDatesOf1980To2079) {
  struct Case {
    CivilDate date;
    const char* fileDate;
  };
  const Case cases[] = {
      {{2005, 3, 5}, "250305"}, {{2000, 1, 1}, "200101"},   {{2079, 12, 31}, "991231"},
      {{1980, 1, 1}, "000101"}, {{1999, 11, 30}, "191130"},
  };
  for (const Case& c : cases) {
    ScriptedUi ui;
    EXPECT_EQ(DateToFileDate(c.date, false, WithShortDate("dd/MM/yyyy"), ui), c.fileDate);
  }
}

// A year without a two-digit form, or no calendar date at all, would write a field of the
// wrong length or a meaningless date; it takes the fallback with the message.
TEST(DateToFileDate, RefusesDatesWithoutAFileDate) {
  struct Case {
    CivilDate date;
    const char* shown;
  };
  const Case cases[] = {
      {{1979, 12, 31}, "31/12/1979"},
      {{2080, 1, 1}, "01/01/2080"},
      {{2005, 2, 30}, "30/02/2005"},
  };
  const DateFormats formats = WithShortDate("dd/MM/yyyy");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    {
      ScriptedUi ui;
      ui.ExpectShow(MessageKind::Error,
                    std::string("Invalid date (") + c.shown +
                        ") cannot convert to MF file format. Date 01/01/1981 will be used. " +
                        kContact);
      EXPECT_EQ(DateToFileDate(c.date, false, formats, ui), "010101");
    }
    ScriptedUi quietUi;
    EXPECT_EQ(DateToFileDate(c.date, true, formats, quietUi), "010101");
  }
}

TEST(FileDateToDisplayDate, FollowsTheShortDateFormat) {
  struct Case {
    const char* format;
    const char* fileDate;
    const char* longForm;
    const char* shortForm;
  };
  const Case cases[] = {
      {"dd/MM/yyyy", "250305", "05/03/2005", "05/03/05"},
      {"M/d/yyyy", "250305", "03/05/2005", "03/05/05"},
      {"MM-dd-yy", "250305", "03/05/2005", "03/05/05"},
      {"d.M.yyyy", "250305", "05/03/2005", "05/03/05"},
      // Year first: day and month in the order the format gives them.
      {"yyyy-MM-dd", "250305", "03/05/2005", "03/05/05"},
      {"yyyy/dd/MM", "250305", "05/03/2005", "05/03/05"},
      {"dd/MM/yyyy", "000101", "01/01/1980", "01/01/80"},
      {"dd/MM/yyyy", "190101", "01/01/1999", "01/01/99"},
      {"dd/MM/yyyy", "200101", "01/01/2000", "01/01/00"},
      {"dd/MM/yyyy", "990101", "01/01/2079", "01/01/79"},
      {"dd/MM/yyyy", "010101", "01/01/1981", "01/01/81"},
      // Month and day are copied, not checked.
      {"dd/MM/yyyy", "253005", "05/30/2005", "05/30/05"},
      {"M/d/yyyy", " 250305 ", "03/05/2005", "03/05/05"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.fileDate);
    ScriptedUi ui;
    const DateFormats formats = WithShortDate(c.format);
    EXPECT_EQ(FileDateToDisplayDate(c.fileDate, false, formats, ui), c.longForm);
    EXPECT_EQ(FileDateToShortDisplayDate(c.fileDate, false, formats, ui), c.shortForm);
  }
}

std::string LengthMessage(const std::string& text) {
  return "Invalid MF file date length - Must be 6 integers. (" + text +
         ")  Can't convert to MF display date. Date 01/01/81 will be used. " + kContact;
}

std::string IntegerMessage(const std::string& text) {
  return "Invalid MF file date - must be 6 integers. (" + text +
         ")  Can't convert to MF display date. Date 01/01/81 will be used. " + kContact;
}

TEST(FileDateToDisplayDate, RefusesWhatIsNotSixDigits) {
  struct Case {
    const char* fileDate;
    std::string longMessage;
    std::string shortMessage;
  };
  const Case cases[] = {
      {"      ", LengthMessage("      "), LengthMessage("      ")},
      {"", LengthMessage(""), LengthMessage("")},
      {"25035", LengthMessage("25035"), LengthMessage("25035")},
      {"2503051", LengthMessage("2503051"), LengthMessage("2503051")},
      {"25030A", IntegerMessage("25030A"), LengthMessage("25030A")},
      {"25 305", IntegerMessage("25 305"), LengthMessage("25 305")},
      // Signs read as numbers elsewhere, but are not a date.
      {"-25030", IntegerMessage("-25030"), LengthMessage("-25030")},
      {"+25030", IntegerMessage("+25030"), LengthMessage("+25030")},
  };
  const DateFormats formats = WithShortDate("dd/MM/yyyy");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("[") + c.fileDate + "]");
    {
      ScriptedUi ui;
      ui.ExpectShow(MessageKind::Error, c.longMessage);
      EXPECT_EQ(FileDateToDisplayDate(c.fileDate, false, formats, ui), "01/01/81");
      ui.ExpectShow(MessageKind::Error, c.shortMessage);
      EXPECT_EQ(FileDateToShortDisplayDate(c.fileDate, false, formats, ui), "01/01/81");
    }
    ScriptedUi quietUi;
    EXPECT_EQ(FileDateToDisplayDate(c.fileDate, true, formats, quietUi), "01/01/81");
    EXPECT_EQ(FileDateToShortDisplayDate(c.fileDate, true, formats, quietUi), "01/01/81");
  }
}

TEST(FileDateToDisplayDate, WithoutAShortDateFormatTakesTheFallback) {
  const DateFormats formats = WithShortDate("");
  {
    ScriptedUi ui;
    ui.ExpectShow(MessageKind::Error,
                  "Can't convert MF file date to MF display date. DateFormat = . MF file date "
                  "= 250305. Date 01/01/1981 will be used. " +
                      kContact);
    EXPECT_EQ(FileDateToDisplayDate("250305", false, formats, ui), "01/01/81");
    ui.ExpectShow(MessageKind::Error,
                  "Can't convert MF file date to MF display date. DateFormat = .  MF file date "
                  "= 250305. Date 01/01/81 will be used. " +
                      kContact);
    EXPECT_EQ(FileDateToShortDisplayDate("250305", false, formats, ui), "01/01/81");
  }
  ScriptedUi quietUi;
  EXPECT_EQ(FileDateToDisplayDate("250305", true, formats, quietUi), "01/01/81");
  EXPECT_EQ(FileDateToShortDisplayDate("250305", true, formats, quietUi), "01/01/81");
}

}  // namespace
}  // namespace upfold
