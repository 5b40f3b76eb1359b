#pragma once
// Internal to Table: lookup values turned into key bytes, and the number texts of fields.

#include <optional>
#include <string>
#include <string_view>

#include "recman/KeySpec.h"

namespace upfold {

struct Layout;
class KeyValue;

namespace tablekey {

enum class Fit { Stored, TooLarge };

// Writes value into the bytes of `record` that `segment` covers, formatted by the layout's
// field there. TooLarge (record unchanged) for a text longer than the segment or a number
// beyond the field. A value of the wrong kind (a date for a text, a text that is no number for
// a number) raises TableError; `table` names the table in its message.
Fit Put(std::string& record, const Layout& layout, const KeySegment& segment, const KeyValue& value,
        const std::string& table);

// Writes the lowest value of the segment's type, which sorts before every other.
void PutLowest(std::string& record, const KeySegment& segment);

}  // namespace tablekey

// A number in plain decimals, the shortest that reads back the same: "12.5", "-3", "0".
std::string PlainNumberText(double value);
// The number in a text (blanks around it allowed, a leading + or -); nullopt for anything else.
std::optional<double> ParseNumberText(std::string_view text);

}  // namespace upfold
