#pragma once
// Packed decimal fields. A field of n bytes holds 2n-1 decimal digits, most significant first,
// two to a byte with the high nibble first, and a sign in the low nibble of the last byte:
// hexadecimal F for a positive value or zero, D for a negative one. These are the only sign
// nibbles written. The value is the digits read as an integer ("unscaled") divided by
// 10^decimals.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace upfold {

// Field sizes handled: 1 to 9 bytes (up to 17 digits).
inline constexpr int kMaxPackedBytes = 9;

// The message of a value that does not fit its field.
inline constexpr const char* kValueExceedsRange = "Value exceeds allowable range.";

// Which sign nibbles read as negative. The direct-access field codecs take every nibble but F
// as negative; the tables of the table set take only D as negative.
enum class PackedSign { NegativeUnlessF, NegativeOnlyD };

// value rounded to `decimals` decimals, halves away from zero, as an integer count of
// 10^-decimals. The value is first taken to 15 significant digits, so 1.005 counts as typed.
// nullopt for NaN, infinities and magnitudes of 10^17 or more.
std::optional<std::int64_t> RoundToUnscaled(double value, int decimals);

// The n bytes of an unscaled value; nullopt when it has more than 2n-1 digits or n is out of
// 1..kMaxPackedBytes. Zero is always written positive (sign F).
std::optional<std::string> EncodePacked(std::int64_t unscaled, int bytes);
// RoundToUnscaled, then EncodePacked. A negative value that rounds to zero is stored as zero.
std::optional<std::string> EncodePacked(double value, int bytes, int decimals);

// The unscaled value of packed bytes; `sign` says which sign nibbles read as negative. nullopt
// for what is not a packed number: a digit nibble above 9, a sign nibble of 0-9 (blanks or
// text in the field), a size out of 1..kMaxPackedBytes. All zero bytes (a field never
// written) read as zero.
std::optional<std::int64_t> DecodePackedUnscaled(std::string_view bytes, PackedSign sign);
std::optional<double> DecodePacked(std::string_view bytes, int decimals, PackedSign sign);

// A packed amount as the budget checks show it: the digits with `separator` before the last
// two, leading zeros removed (".00" becomes "0.00", so 0.05 reads ".05"), "-" in front of a
// negative value (any sign nibble but F), right-justified in 12. Always two decimals, whatever
// the field's. nullopt for fewer than 2 bytes or bytes that DecodePackedUnscaled refuses.
std::optional<std::string> PackedAmountText(std::string_view bytes, char separator);

}  // namespace upfold
