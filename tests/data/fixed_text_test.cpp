#include <gtest/gtest.h>

#include <string>

#include "data/FixedText.h"

namespace upfold {
namespace {

TEST(FixedText, FormatsLikePrintf) {
  struct Case {
    std::string (*format)(std::string_view, std::size_t);
    const char* printf;
    const char* text;
    std::size_t width;
    const char* expected;
  };
  const Case cases[] = {
      {LeftJust, "%-7s", "ACME", 7, "ACME   "},    {LeftJust, "%-7s", "ACMELONG", 7, "ACMELONG"},
      {RightJust, "%7s", "12", 7, "     12"},      {RightJust, "%7s", "12345678", 7, "12345678"},
      {RightJust, "%8s", "", 8, "        "},       {LeftFit, "%-40.40s", "short", 8, "short   "},
      {LeftFit, "%-6.6s", "2501015", 6, "250101"}, {RightFit, "%2.2s", "ABC", 2, "AB"},
      {RightFit, "%4.4s", "A", 4, "   A"},         {LeftFit, "%-0.0s", "A", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.printf << " of \"" << c.text << "\"");
    EXPECT_EQ(c.format(c.text, c.width), c.expected);
  }
}

TEST(FixedText, TrimsBlanksAndControlCharacters) {
  const std::string text = std::string("\0 \t ACME  CO \r\n", 15);
  EXPECT_EQ(Trim(text), "ACME  CO");
  EXPECT_EQ(TrimLeft(text), "ACME  CO \r\n");
  EXPECT_EQ(TrimRight(text), std::string("\0 \t ACME  CO", 12));
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(Trim("\xE9t\xE9"), "\xE9t\xE9");  // 8-bit letters are not blanks
}

}  // namespace
}  // namespace upfold
