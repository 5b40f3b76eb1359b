#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "data/FileDate.h"

namespace upfold {
namespace {

TEST(FileDate, Decodes) {
  struct Case {
    const char* text;
    std::optional<CivilDate> date;
  };
  const Case cases[] = {
      {"250315", CivilDate{2005, 3, 15}},
      {"000101", CivilDate{1980, 1, 1}},
      {"990101", CivilDate{2079, 1, 1}},
      {"991231", CivilDate{2079, 12, 31}},
      {"200229", CivilDate{2000, 2, 29}},
      {"      ", std::nullopt},
      {"", std::nullopt},
      {"25031", std::nullopt},
      {"2503150", std::nullopt},
      {"25031A", std::nullopt},
      {" 50315", std::nullopt},
      {"-10315", std::nullopt},
      {"251301", std::nullopt},  // month 13
      {"250230", std::nullopt},  // 30 February
      {"250300", std::nullopt},
      {"210229", std::nullopt},  // 2001 is no leap year
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DecodeFileDate(c.text), c.date);
  }
}

TEST(FileDate, Encodes) {
  struct Case {
    CivilDate date;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {{2005, 3, 15}, "250315"},     {{1980, 1, 1}, "000101"},       {{2000, 1, 1}, "200101"},
      {{2079, 12, 31}, "991231"},    {{1979, 12, 31}, std::nullopt}, {{2080, 1, 1}, std::nullopt},
      {{2005, 2, 29}, std::nullopt}, {{2005, 13, 1}, std::nullopt},  {{2005, 1, 0}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.date.year << "-" << c.date.month << "-" << c.date.day);
    EXPECT_EQ(EncodeFileDate(c.date), c.text);
  }
}

TEST(FileDate, StyleFromTheShortDateFormat) {
  struct Case {
    const char* format;
    char order;
    bool fourDigits;
  };
  const Case cases[] = {
      {"M/d/yyyy", 'M', true}, {"dd/MM/yy", 'D', false}, {"yyyy-MM-dd", 'Y', true},
      {"d.M.yy", 'D', false},  {"", 'D', false},         {"ggyy/MM/dd", 'D', false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    const DisplayDateStyle style = DisplayDateStyle::FromShortDateFormat(c.format);
    EXPECT_EQ(style.order, c.order);
    EXPECT_EQ(style.fourDigitYear, c.fourDigits);
  }
}

TEST(FileDate, DisplayText) {
  struct Case {
    const char* fileDate;
    const char* format;
    const char* separator;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {"250315", "M/d/yyyy", "/", "03/15/2005"},   {"250315", "dd/MM/yy", "/", "15/03/05"},
      {"250315", "yyyy-MM-dd", "-", "2005-03-15"}, {"250315", "d.M.yy", ".", "15.03.05"},
      {"000101", "dd/MM/yyyy", "/", "01/01/1980"}, {"990101", "dd/MM/yy", "/", "01/01/79"},
      {"201399", "M/d/yy", "/", "13/99/00"},  // month and day as they stand
      {"      ", "dd/MM/yy", "/", "        "},     {"      ", "dd/MM/yyyy", "/", std::nullopt},
      {"X50315", "dd/MM/yy", "/", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.fileDate << " " << c.format);
    EXPECT_EQ(FileDateDisplayText(c.fileDate, DisplayDateStyle::FromShortDateFormat(c.format),
                                  c.separator),
              c.text);
  }
}

}  // namespace
}  // namespace upfold
