#include "recman/KeyCodec.h"

#include <gtest/gtest.h>

#include <vector>

#include "RecmanSupport.h"

namespace upfold::test {
namespace {

std::string Encoded(const KeySegment& segment, const std::string& field) {
  KeySpec key{{KeySegment{0, segment.length, segment.type, segment.caseInsensitive}}, true};
  return keycodec::Encode(key, field);
}

std::string Signed(long long v, int bytes) {
  return LittleEndian(static_cast<std::uint64_t>(v), bytes);
}

// Fields listed in ascending order of value: their encodings must compare the same way.
TEST(KeyCodec, EncodedKeysSortByValue) {
  struct Case {
    const char* what;
    KeySegment segment;
    std::vector<std::string> ascending;
  };
  const std::string badDigit("\x1A\x0C", 2);  // a nibble above 9
  const std::string badSign("\x12\x35", 2);   // sign nibble 5
  const Case cases[] = {
      {"text", {0, 3, KeyType::String, false}, {"ABC", "ABD", "abc", "\xE9t\xE9"}},
      {"int8",
       {0, 1, KeyType::Integer, false},
       {Signed(-128, 1), Signed(-1, 1), Signed(0, 1), Signed(127, 1)}},
      {"int16",
       {0, 2, KeyType::Integer, false},
       {Signed(-32768, 2), Signed(-300, 2), Signed(-1, 2), Signed(0, 2), Signed(1, 2),
        Signed(256, 2), Signed(32767, 2)}},
      {"int32",
       {0, 4, KeyType::Integer, false},
       {Signed(-2147483648LL, 4), Signed(-65536, 4), Signed(-1, 4), Signed(0, 4), Signed(65535, 4),
        Signed(2147483647, 4)}},
      {"int64",
       {0, 8, KeyType::Integer, false},
       {Signed(INT64_MIN, 8), Signed(-1, 8), Signed(0, 8), Signed(INT64_MAX, 8)}},
      {"unsigned16",
       {0, 2, KeyType::Unsigned, false},
       {LittleEndian(0, 2), LittleEndian(255, 2), LittleEndian(256, 2), LittleEndian(65535, 2)}},
      {"autoinc32",
       {0, 4, KeyType::AutoInc, false},
       {LittleEndian(1, 4), LittleEndian(255, 4), LittleEndian(65536, 4),
        LittleEndian(0xFFFFFFFF, 4)}},
      {"packed 3 bytes",
       {0, 3, KeyType::Decimal, false},
       {Packed(-99999, 3), Packed(-10000, 3), Packed(-9, 3), Packed(-1, 3), Packed(0, 3),
        Packed(1, 3), Packed(10, 3), Packed(99999, 3)}},
      {"packed 1 byte",
       {0, 1, KeyType::Decimal, false},
       {Packed(-9, 1), Packed(-1, 1), Packed(0, 1), Packed(5, 1), Packed(9, 1)}},
      {"packed, undecodable last",
       {0, 2, KeyType::Decimal, false},
       {Packed(-999, 2), Packed(999, 2), badSign, badDigit}},
      {"date",
       {0, 4, KeyType::Date, false},
       {Date(1980, 1, 1), Date(1999, 12, 31), Date(2000, 1, 1), Date(2000, 1, 2), Date(2000, 2, 1),
        Date(2255, 1, 1), Date(2256, 1, 1)}},
  };
  for (const Case& c : cases) {
    for (std::size_t i = 0; i + 1 < c.ascending.size(); ++i)
      EXPECT_LT(Encoded(c.segment, c.ascending[i]), Encoded(c.segment, c.ascending[i + 1]))
          << c.what << " #" << i;
  }
}

TEST(KeyCodec, EqualValuesEncodeEqually) {
  const KeySegment folded{0, 4, KeyType::String, true};
  EXPECT_EQ(Encoded(folded, "SmiT"), Encoded(folded, "smit"));
  EXPECT_NE(Encoded(folded, "\xE9t\xE9 "), Encoded(folded, "\xC9T\xC9 ")) << "only a-z fold";

  const KeySegment packed{0, 2, KeyType::Decimal, false};
  std::string minusZero = Packed(0, 2);
  minusZero[1] = static_cast<char>((minusZero[1] & 0xF0) | 0xD);
  std::string plusF = Packed(12, 2);
  plusF[1] = static_cast<char>((plusF[1] & 0xF0) | 0xF);
  std::string minusB = Packed(-12, 2);
  minusB[1] = static_cast<char>((minusB[1] & 0xF0) | 0xB);
  EXPECT_EQ(Encoded(packed, minusZero), Encoded(packed, Packed(0, 2)));
  EXPECT_EQ(Encoded(packed, plusF), Encoded(packed, Packed(12, 2)));
  EXPECT_EQ(Encoded(packed, minusB), Encoded(packed, Packed(-12, 2)));
}

TEST(KeyCodec, SegmentsCombineInKeyOrder) {
  // Number first, then text: the text only decides between equal numbers.
  KeySpec key{{{2, 2, KeyType::Integer, false}, {0, 2, KeyType::String, true}}, true};
  auto encode = [&](const std::string& record) {
    return keycodec::Encode(key, keycodec::Extract(key, record));
  };
  EXPECT_LT(encode("zz" + Signed(-1, 2)), encode("aa" + Signed(0, 2)));
  EXPECT_LT(encode("aa" + Signed(5, 2)), encode("AB" + Signed(5, 2)));
  EXPECT_EQ(keycodec::Extract(key, "ab" + Signed(5, 2)), Signed(5, 2) + "ab");
}

TEST(KeyCodec, KeyBufferIsCutOrZeroFilledToTheKeyLength) {
  KeySpec key{{{0, 4, KeyType::String, false}}, false};
  EXPECT_EQ(keycodec::FromBuffer(key, "ABCDEFGH"), "ABCD");
  EXPECT_EQ(keycodec::FromBuffer(key, "AB"), std::string("AB\0\0", 4));
}

}  // namespace
}  // namespace upfold::test
