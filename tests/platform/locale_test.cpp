#include "platform/Locale.h"

#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "support/TempDir.h"

namespace upfold {
namespace {

DateFormats Formats(const std::string& shortDate, const std::string& separator) {
  DateFormats f;
  f.shortDate = shortDate;
  f.dateSeparator = separator;
  return f;
}

TEST(Locale, CivilDates) {
  struct Case {
    CivilDate date;
    bool valid;
  } cases[] = {
      {{2004, 2, 29}, true}, {{2005, 2, 29}, false}, {{1900, 2, 29}, false}, {{2000, 2, 29}, true},
      {{2005, 4, 30}, true}, {{2005, 4, 31}, false}, {{2005, 12, 31}, true}, {{2005, 13, 1}, false},
      {{2005, 0, 1}, false}, {{2005, 1, 0}, false},  {{0, 1, 1}, false},     {{9999, 12, 31}, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsValidCivilDate(c.date), c.valid)
        << c.date.year << "-" << c.date.month << "-" << c.date.day;
}

TEST(Locale, ShortDatesAreWrittenAndReadBackInEveryFormat) {
  struct Case {
    const char* format;
    const char* separator;
    CivilDate date;
    const char* text;
  } cases[] = {
      {"dd/MM/yyyy", "/", {2005, 3, 5}, "05/03/2005"},
      {"M/d/yyyy", "/", {2005, 3, 5}, "3/5/2005"},
      {"M/d/yyyy", "/", {2079, 12, 31}, "12/31/2079"},
      {"yyyy-MM-dd", "-", {2005, 3, 5}, "2005-03-05"},
      {"d.M.yy", ".", {2005, 3, 15}, "15.3.05"},
      {"d.M.yy", ".", {1981, 1, 1}, "1.1.81"},
      {"dd/MM/yyyy", ".", {2005, 3, 5}, "05.03.2005"},  // '/' stands for the separator
      {"yyyy/MM/dd", "-", {1999, 11, 2}, "1999-11-02"},
      {"dd-MMM-yy", "-", {2005, 3, 5}, "05-Mar-05"},
      {"dddd d MMMM yyyy", "/", {2005, 3, 5}, "Saturday 5 March 2005"},
      {"d' de 'MMMM", "/", {2005, 3, 5}, "5 de March"},  // quoted text is copied
  };
  for (const Case& c : cases) {
    DateFormats f = Formats(c.format, c.separator);
    EXPECT_EQ(FormatShortDate(c.date, f), c.text) << c.format;
    if (std::string(c.format).find("MMM") == std::string::npos) {
      EXPECT_EQ(ParseShortDate(c.text, f), c.date) << c.format << " " << c.text;
    }
  }
}

TEST(Locale, ParsingTakesTheFormatsOrderAndRefusesWhatIsNotADate) {
  struct Case {
    const char* format;
    const char* separator;
    const char* text;
    std::optional<CivilDate> date;
  } cases[] = {
      {"dd/MM/yyyy", "/", "5/3/2005", CivilDate{2005, 3, 5}},  // fewer digits than the format
      {"M/d/yyyy", "/", "05/03/2005", CivilDate{2005, 5, 3}},
      {"yyyy-MM-dd", "-", "2005-3-5", CivilDate{2005, 3, 5}},
      {"d.M.yy", ".", "1.1.50", CivilDate{1950, 1, 1}},        // the two-digit year window
      {"d.M.yy", ".", "31.12.49", CivilDate{2049, 12, 31}},
      {"d.M.yy", ".", "1.1.2049", CivilDate{2049, 1, 1}},
      {"dd/MM/yyyy", "/", " 5 / 3 / 2005 ", CivilDate{2005, 3, 5}},
      {"dd/MM/yyyy", "/", "29/02/2004", CivilDate{2004, 2, 29}},
      {"dd/MM/yyyy", "/", "31/04/2005", std::nullopt},  // no 31 April
      {"dd/MM/yyyy", "/", "29/02/2005", std::nullopt},
      {"dd/MM/yyyy", "/", "15/13/2005", std::nullopt},
      {"M/d/yyyy", "/", "15/03/2005", std::nullopt},    // month 15
      {"dd/MM/yyyy", "/", "00/03/2005", std::nullopt},
      {"dd/MM/yyyy", "/", "15-03-2005", std::nullopt},  // wrong separator
      {"d.M.yy", ".", "15/3/05", std::nullopt},
      {"dd/MM/yyyy", "/", "15/03", std::nullopt},       // a part missing
      {"dd/MM/yyyy", "/", "15/03/2005/1", std::nullopt},
      {"dd/MM/yyyy", "/", "15/03/2005x", std::nullopt}, // garbage
      {"dd/MM/yyyy", "/", "a/b/c", std::nullopt},
      {"dd/MM/yyyy", "/", "", std::nullopt},
      {"dd/MM/yyyy", "/", "-1/03/2005", std::nullopt},
      {"dd/MM/yyyy", "/", "015/03/2005", std::nullopt},
      {"dd/MM/yyyy", "/", "15/03/12005", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseShortDate(c.text, Formats(c.format, c.separator)), c.date)
        << c.format << " \"" << c.text << "\"";
}

TEST(Locale, TimesFollowTheLongTimeFormat) {
  struct Case {
    const char* format;
    const char* separator;
    const char* am;
    const char* pm;
    int h, m, s;
    const char* text;
  } cases[] = {
      {"h:mm:ss tt", ":", "AM", "PM", 0, 5, 9, "12:05:09 AM"},
      {"h:mm:ss tt", ":", "AM", "PM", 13, 0, 0, "1:00:00 PM"},
      {"h:mm:ss tt", ":", "AM", "PM", 12, 30, 0, "12:30:00 PM"},
      {"hh:mm t", ":", "AM", "PM", 13, 7, 0, "01:07 P"},
      {"HH:mm:ss", ":", "", "", 9, 5, 9, "09:05:09"},
      {"H:m:s", ".", "", "", 9, 5, 9, "9.5.9"},  // ':' stands for the separator
      {"H 'h' mm", ":", "", "", 23, 59, 0, "23 h 59"},
      {"tt h:mm", ":", "vorm.", "nachm.", 8, 0, 0, "vorm. 8:00"},
  };
  for (const Case& c : cases) {
    DateFormats f;
    f.timeFormat = c.format;
    f.timeSeparator = c.separator;
    f.am = c.am;
    f.pm = c.pm;
    EXPECT_EQ(FormatTime(c.h, c.m, c.s, f), c.text) << c.format;
  }
}

TEST(Locale, FormatsComeFromTheRegistryAndMissingOnesKeepTheDefaults) {
  test::TempDir dir;
  Registry reg(dir / "registry.reg");
  const DateFormats defaults;
  EXPECT_EQ(DateFormats::FromRegistry(nullptr).shortDate, "M/d/yyyy");
  EXPECT_EQ(DateFormats::FromRegistry(&reg).timeFormat, defaults.timeFormat);

  const std::string intl = "Control Panel\\International";
  reg.WriteString(Hive::CurrentUser, intl, "sShortDate", "dd.MM.yyyy");
  reg.WriteString(Hive::CurrentUser, intl, "sDate", ".");
  reg.WriteString(Hive::CurrentUser, intl, "sTimeFormat", "");  // empty: keeps the default
  reg.WriteString(Hive::CurrentUser, intl, "s1159", "");        // a 24-hour clock has none
  DateFormats f = DateFormats::FromRegistry(&reg);
  EXPECT_EQ(f.shortDate, "dd.MM.yyyy");
  EXPECT_EQ(f.dateSeparator, ".");
  EXPECT_EQ(f.timeFormat, defaults.timeFormat);
  EXPECT_EQ(f.timeSeparator, defaults.timeSeparator);
  EXPECT_EQ(f.am, "");
  EXPECT_EQ(f.pm, defaults.pm);

  dir.Write("registry.reg", "Windows Registry Editor Version 5.00\n\n[HKCU\\Control Panel\n");
  EXPECT_THROW(DateFormats::FromRegistry(&reg), RegistryError);
}

}  // namespace
}  // namespace upfold
