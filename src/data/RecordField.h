#pragma once
// Typed access to one field of a record buffer by its layout definition, as the tables of the
// table set present fields: texts as stored, packed/integer/auto-increment fields as numbers
// (packed signs: only D is negative), 4-byte record-manager dates as calendar dates.
// Every function requires a record at least as long as the field's end.

#include <optional>
#include <string>
#include <string_view>

#include "data/Layout.h"
#include "platform/Locale.h"

namespace upfold {

// The field's bytes exactly as stored.
std::string_view FieldBytes(std::string_view record, const FieldDef& field);

// Packed, integer and auto-increment fields; nullopt for a text or date field, and for a packed
// field whose digit nibbles are not 0-9.
std::optional<double> ReadFieldNumber(std::string_view record, const FieldDef& field);

// Date fields. All zero bytes are the empty date, CivilDate{}; nullopt when the bytes are
// neither that nor a calendar date, or the field is not a date.
std::optional<CivilDate> ReadFieldDate(std::string_view record, const FieldDef& field);

// Each write leaves the record unchanged and returns false when the value does not fit:
// a text longer than the field (a shorter one is blank-filled on the right); a number beyond a
// packed field's digits after rounding to its decimals, or not a whole number in range for an
// integer or auto-increment field; a date that is not a calendar date of years 1 to 9999
// (CivilDate{} writes the empty date). Writing through a field of another type fails too.
bool WriteFieldText(std::string& record, const FieldDef& field, std::string_view text);
bool WriteFieldNumber(std::string& record, const FieldDef& field, double value);
bool WriteFieldDate(std::string& record, const FieldDef& field, const CivilDate& date);

// A record of the layout with every field empty: texts blank, numbers zero (packed zero with
// sign F), dates and auto-increment values zero.
std::string EmptyRecord(const Layout& layout);

}  // namespace upfold
