#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace upfold {
namespace {

TEST(TextEncoding, EveryWindows1252ByteSurvivesTheTripThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_TRUE(FitsCp1252(utf8));
  EXPECT_EQ(Utf8ToCp1252(utf8), all);

  struct Case {
    const char* cp1252;
    const char* utf8;
  } cases[] = {
      {"\x80", "\xE2\x82\xAC"},      // euro sign
      {"\x8A\x9F", "\xC5\xA0\xC5\xB8"},
      {"\xE9", "\xC3\xA9"},
      {"\x81", "\xC2\x81"},          // unassigned: kept as its control character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8);
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
  }
  EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b"), "a?b");  // not in Windows-1252
  EXPECT_FALSE(FitsCp1252("\xE4\xB8\xAD"));
  EXPECT_EQ(Utf8ToCp1252("a\xE9" "b"), "a\xE9" "b");     // a stray byte is taken as it is
}

TEST(TextEncoding, Utf8Validation) {
  std::size_t bad = 0;
  struct Case {
    std::string text;
    bool valid;
    std::size_t offset;
  } cases[] = {
      {"plain", true, 0},
      {"\xF0\x9F\x98\x80", true, 0},
      {"ab\xC3", false, 2},          // cut short
      {"a\xC0\xAF", false, 1},       // overlong
      {"\xED\xA0\x80", false, 0},    // a surrogate
      {"ok\xFF", false, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.text, &bad), c.valid) << c.text;
    if (!c.valid) {
      EXPECT_EQ(bad, c.offset) << c.text;
    }
  }
}

TEST(TextEncoding, Utf16LittleEndian) {
  std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // A é € and one beyond the BMP
  std::string utf16 = Utf8ToUtf16Le(text);
  EXPECT_EQ(utf16, std::string("A\0\xE9\0\xAC\x20\x3D\xD8\x00\xDE", 10));
  EXPECT_EQ(Utf16LeToUtf8(utf16), text);

  std::size_t bad = 99;
  EXPECT_EQ(Utf16LeToUtf8(std::string("A\0\x00\xDC", 4), &bad), std::nullopt);  // lone low half
  EXPECT_EQ(bad, 1u);
  EXPECT_EQ(Utf16LeToUtf8(std::string("A\0\x3D\xD8", 4), &bad), std::nullopt);  // high half at end
  EXPECT_EQ(Utf16LeToUtf8(std::string("A\0B", 3)), std::nullopt);               // odd length
}

TEST(TextEncoding, CaseFolding) {
  EXPECT_EQ(Cp1252Upper('a'), 'A');
  EXPECT_EQ(Cp1252Upper('\xE9'), '\xC9');  // é
  EXPECT_EQ(Cp1252Upper('\xFF'), '\x9F');  // ÿ
  EXPECT_EQ(Cp1252Upper('\x9A'), '\x8A');  // š
  EXPECT_EQ(Cp1252Upper('\xF7'), '\xF7');  // ÷ has no case
  EXPECT_EQ(Cp1252Upper('\xDF'), '\xDF');  // ß neither
  EXPECT_TRUE(EqualsIgnoreAsciiCase("Software\\Verrin", "SOFTWARE\\verrin"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("Software", "Softwar"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("\xC3\xA9", "\xC3\x89"));  // ASCII only
}

}  // namespace
}  // namespace upfold
