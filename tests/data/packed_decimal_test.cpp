#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "data/HexBytes.h"
#include "data/PackedDecimal.h"

namespace upfold {
namespace {

using test::FromHex;
using test::Hex;

TEST(PackedDecimal, Encodes) {
  struct Case {
    double value;
    int bytes;
    int decimals;
    const char* hex;  // nullptr: refused
  };
  const Case cases[] = {
      {1234.5, 6, 2, "00 00 01 23 45 0F"},
      {-1234.5, 6, 2, "00 00 01 23 45 0D"},
      {0, 6, 2, "00 00 00 00 00 0F"},
      {12.34, 4, 2, "00 01 23 4F"},
      {999999999.99, 6, 2, "99 99 99 99 99 9F"},
      {-999999999.99, 6, 2, "99 99 99 99 99 9D"},
      {1000000000.00, 6, 2, nullptr},
      {0.125, 6, 2, "00 00 00 00 01 3F"},
      {-0.125, 6, 2, "00 00 00 00 01 3D"},
      {1.005, 6, 2, "00 00 00 00 10 1F"},   // as typed, not as the nearest double 1.00499...
      {2.675, 3, 2, "00 26 8F"},            // 2.67499999... in binary
      {-0.285, 3, 2, "00 02 9D"},
      {2.67499, 3, 2, "00 26 7F"},
      {2.6750001, 3, 2, "00 26 8F"},
      {1.15 * 100, 2, 0, "11 5F"},  // 114.99999999999999: a cost rate times its units
      {0.1 + 0.2, 2, 2, "03 0F"},
      {123456788.5, 6, 0, "00 12 34 56 78 9F"},  // a half far up
      {-0.001, 6, 2, "00 00 00 00 00 0F"},  // rounds to zero: stored as plain zero
      {-0.004999, 4, 2, "00 00 00 0F"},
      {100, 4, 4, "10 00 00 0F"},  // a fee split of 100 percent
      {12.34567, 4, 4, "01 23 45 7F"},
      {999.9999, 4, 4, "99 99 99 9F"},
      {999.99995, 4, 4, nullptr},  // rounds to 1000.0000
      {999.4, 2, 0, "99 9F"},      // rounds into range
      {999.5, 2, 0, nullptr},
      {9.994, 2, 2, "99 9F"},
      {9.995, 2, 2, nullptr},
      {-99999, 3, 0, "99 99 9D"},
      {5, 1, 0, "5F"},
      {1e300, 6, 2, nullptr},
      {std::numeric_limits<double>::quiet_NaN(), 6, 2, nullptr},
      {std::numeric_limits<double>::infinity(), 6, 2, nullptr},
      {1, 0, 0, nullptr},
      {1, 10, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.value << " in " << c.bytes << " bytes, " << c.decimals << " decimals");
    const std::optional<std::string> bytes = EncodePacked(c.value, c.bytes, c.decimals);
    if (!c.hex) {
      EXPECT_FALSE(bytes) << Hex(*bytes);
    } else {
      ASSERT_TRUE(bytes);
      EXPECT_EQ(Hex(*bytes), c.hex);
    }
  }
}

TEST(PackedDecimal, Decodes) {
  struct Case {
    const char* hex;
    int decimals;
    std::optional<double> codec;  // any sign nibble but F negative
    std::optional<double> table;  // only D negative
  };
  const Case cases[] = {
      {"00 00 01 23 45 0F", 2, 1234.5, 1234.5},
      {"00 00 01 23 45 0D", 2, -1234.5, -1234.5},
      {"00 00 01 23 45 0C", 2, -1234.5, 1234.5},
      {"00 00 01 23 45 0B", 2, -1234.5, 1234.5},
      {"99 99 99 99 99 9F", 2, 999999999.99, 999999999.99},
      {"10 00 00 0F", 4, 100.0, 100.0},
      {"00 01 23 4F", 0, 1234.0, 1234.0},
      {"00 00 00", 2, 0.0, 0.0},                    // never written: zero either way
      {"00 0A 0F", 2, std::nullopt, std::nullopt},  // digit nibble A
      {"F0 00 0F", 2, std::nullopt, std::nullopt},
      {"00 00 AF", 2, std::nullopt, std::nullopt},  // the last digit
      {"20 20 20", 0, std::nullopt, std::nullopt},  // blanks: sign nibble 0
      {"00 00 01", 0, std::nullopt, std::nullopt},
      {"00 00 0A", 0, 0.0, 0.0},  // a zero with an unusual but valid sign
      {"", 2, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hex);
    const std::string bytes = FromHex(c.hex);
    EXPECT_EQ(DecodePacked(bytes, c.decimals, PackedSign::NegativeUnlessF), c.codec);
    EXPECT_EQ(DecodePacked(bytes, c.decimals, PackedSign::NegativeOnlyD), c.table);
  }
  // A zero with sign D is zero, not minus zero.
  EXPECT_FALSE(std::signbit(*DecodePacked(FromHex("00 0D"), 2, PackedSign::NegativeOnlyD)));
}

TEST(PackedDecimal, RoundTripsEveryRoundedValue) {
  for (int decimals : {0, 2, 4}) {
    for (double value : {0.0, 0.01, -0.01, 0.5, 1.23, -7.77, 42.0, 1234.5678, -98765.4321,
                         12345.675, 0.3, 0.7, 99999.99}) {
      SCOPED_TRACE(testing::Message() << value << " with " << decimals << " decimals");
      const std::optional<std::int64_t> unscaled = RoundToUnscaled(value, decimals);
      ASSERT_TRUE(unscaled);
      const std::optional<std::string> bytes = EncodePacked(value, 6, decimals);
      ASSERT_TRUE(bytes);
      EXPECT_EQ(DecodePackedUnscaled(*bytes, PackedSign::NegativeUnlessF), *unscaled);
      const double expected = static_cast<double>(*unscaled) / std::pow(10.0, decimals);
      EXPECT_DOUBLE_EQ(*DecodePacked(*bytes, decimals, PackedSign::NegativeOnlyD), expected);
    }
  }
}

TEST(PackedDecimal, AmountText) {
  struct Case {
    const char* hex;
    char separator;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {"00 00 01 23 45 0F", '.', "     1234.50"},
      {"00 00 00 00 00 0F", '.', "        0.00"},
      {"00 00 00 00 00 5F", '.', "         .05"},
      {"00 00 01 23 45 0D", '.', "    -1234.50"},
      {"00 00 00 00 05 0F", '.', "         .50"},
      {"00 00 00 00 00 0F", ',', "        0,00"},
      {"00 00 01 23 45 0F", ',', "     1234,50"},
      {"99 99 99 99 99 9F", '.', "999999999.99"},
      // Any sign but F is negative, and the last digit is the high nibble whatever the sign.
      {"00 00 00 00 12 5C", '.', "       -1.25"},
      {"00 00 00 00 12 5A", '.', "       -1.25"},
      // Always two decimals, whatever the field's.
      {"00 12 3F", '.', "        1.23"},
      {"00 0A 0F", '.', std::nullopt},
      {"5F", '.', std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hex);
    EXPECT_EQ(PackedAmountText(FromHex(c.hex), c.separator), c.text);
  }
}

}  // namespace
}  // namespace upfold
