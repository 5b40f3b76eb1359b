#include "data/PackedDecimal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "data/FixedText.h"

namespace upfold {

namespace {

constexpr int kMaxDigits = 17;

constexpr std::int64_t Pow10(int n) {
  std::int64_t power = 1;
  while (n-- > 0) power *= 10;
  return power;
}

bool SizeOk(std::size_t bytes) {
  return bytes >= 1 && bytes <= kMaxPackedBytes;
}

int High(char byte) {
  return static_cast<unsigned char>(byte) >> 4;
}
int Low(char byte) {
  return static_cast<unsigned char>(byte) & 0x0F;
}

bool Negative(int signNibble, PackedSign sign) {
  return sign == PackedSign::NegativeUnlessF ? signNibble != 0xF : signNibble == 0xD;
}

}  // namespace

std::optional<std::int64_t> RoundToUnscaled(double value, int decimals) {
  if (!std::isfinite(value) || decimals < 0 || decimals > kMaxDigits) return std::nullopt;
  if (value == 0) return 0;  // most fields of a new record, without formatting
  // A value well away from a half at the rounding position rounds the same whatever its
  // fifteenth digit: below 1e9 (scaled) the fifteen digits resolve to 1e-5, the product errs
  // by far less, so a margin of 1e-4 around the half leaves only the doubtful cases to the
  // digits below.
  if (decimals <= 15) {
    const double scaled = std::fabs(value) * static_cast<double>(Pow10(decimals));
    if (scaled < 1e9) {
      const double whole = std::floor(scaled);
      const double fraction = scaled - whole;
      if (std::fabs(fraction - 0.5) > 1e-4) {
        const auto unscaled = static_cast<std::int64_t>(whole) + (fraction > 0.5 ? 1 : 0);
        return value < 0 ? -unscaled : unscaled;
      }
    }
  }
  // Fifteen significant digits, as the value was typed: "d.dddddddddddddde+XX".
  char text[40];
  std::snprintf(text, sizeof text, "%.14e", std::fabs(value));
  std::string digits;
  digits += text[0];
  digits.append(text + 2, 14);
  const int exponent = std::atoi(text + 17);
  // Digits before the rounding position: those of value * 10^decimals' integer part.
  const int whole = exponent + 1 + decimals;
  if (whole > kMaxDigits) return std::nullopt;
  std::int64_t unscaled = 0;
  for (int i = 0; i < whole; ++i) unscaled = unscaled * 10 + (i < 15 ? digits[i] - '0' : 0);
  const int next = whole >= 0 && whole < 15 ? digits[whole] - '0' : 0;
  if (next >= 5) ++unscaled;
  if (unscaled >= Pow10(kMaxDigits)) return std::nullopt;
  return value < 0 ? -unscaled : unscaled;
}

std::optional<std::string> EncodePacked(std::int64_t unscaled, int bytes) {
  if (!SizeOk(bytes)) return std::nullopt;
  const int digitCount = 2 * bytes - 1;
  const bool negative = unscaled < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(unscaled) : unscaled;
  if (magnitude >= static_cast<std::uint64_t>(Pow10(digitCount))) return std::nullopt;
  // Nibbles from the last (the sign) to the first digit.
  std::string out(bytes, '\0');
  int nibble = 2 * bytes - 1;
  auto put = [&](int value) {
    char& byte = out[nibble / 2];
    byte = static_cast<char>(nibble % 2 ? (byte & 0xF0) | value : (byte & 0x0F) | (value << 4));
    --nibble;
  };
  put(negative ? 0xD : 0xF);
  for (int i = 0; i < digitCount; ++i) {
    put(static_cast<int>(magnitude % 10));
    magnitude /= 10;
  }
  return out;
}

std::optional<std::string> EncodePacked(double value, int bytes, int decimals) {
  const std::optional<std::int64_t> unscaled = RoundToUnscaled(value, decimals);
  if (!unscaled) return std::nullopt;
  return EncodePacked(*unscaled, bytes);
}

std::optional<std::int64_t> DecodePackedUnscaled(std::string_view bytes, PackedSign sign) {
  if (!SizeOk(bytes.size())) return std::nullopt;
  // All zero bytes: a field that was never written, read as zero. Otherwise a sign nibble
  // that is a digit means the bytes are not a packed number (blanks, text).
  const int signNibble = Low(bytes.back());
  if (signNibble <= 9 && bytes.find_first_not_of('\0') != std::string_view::npos)
    return std::nullopt;
  std::int64_t unscaled = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = High(bytes[i]);
    const int low = Low(bytes[i]);
    const bool last = i + 1 == bytes.size();
    if (high > 9 || (!last && low > 9)) return std::nullopt;
    unscaled = unscaled * 10 + high;
    if (!last) unscaled = unscaled * 10 + low;
  }
  return Negative(signNibble, sign) ? -unscaled : unscaled;
}

std::optional<double> DecodePacked(std::string_view bytes, int decimals, PackedSign sign) {
  if (decimals < 0 || decimals > kMaxDigits) return std::nullopt;
  const std::optional<std::int64_t> unscaled = DecodePackedUnscaled(bytes, sign);
  if (!unscaled) return std::nullopt;
  // Division by an exact power of ten gives the double nearest to the decimal value; zero
  // stays +0 whatever its sign nibble.
  if (*unscaled == 0) return 0.0;
  return static_cast<double>(*unscaled) / static_cast<double>(Pow10(decimals));
}

std::optional<std::string> PackedAmountText(std::string_view bytes, char separator) {
  if (bytes.size() < 2 || !DecodePackedUnscaled(bytes, PackedSign::NegativeUnlessF))
    return std::nullopt;
  std::string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    text += static_cast<char>('0' + High(bytes[i]));
    if (i + 2 == bytes.size()) text += separator;
    text += static_cast<char>('0' + Low(bytes[i]));
  }
  text += static_cast<char>('0' + High(bytes.back()));
  text.erase(0, text.find_first_not_of('0'));
  if (text.size() == 3 && text[0] == separator && text.substr(1) == "00") text.insert(0, "0");
  if (Negative(Low(bytes.back()), PackedSign::NegativeUnlessF)) text.insert(0, "-");
  return RightJust(text, 12);
}

}  // namespace upfold
