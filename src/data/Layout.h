#pragma once
// Record layouts of the data files: every field's name, offset, length and type. The layouts
// are constant tables built into the program; a layout is found by its name without regard to
// case ("batch", "BATCH" and "Batch" are one layout). Besides the layouts the tables are
// pointed at, there are two for files read only directly: "Fees" (Fee.lf, HFee.lf) and
// "BPhases" (BPhases.lf).

#include <span>
#include <string_view>

namespace upfold {

enum class FieldType {
  Text,     // fixed-width 8-bit characters, blank-filled to the width
  Packed,   // packed decimal with `decimals` decimals (PackedDecimal.h)
  AutoInc,  // 4-byte unsigned little-endian, assigned by the record manager on insert
  Integer,  // 2-byte signed little-endian
  Date,     // the record manager's date: day, month, year as little-endian 16 bits
};

struct FieldDef {
  std::string_view name;
  int offset = 0;  // 0-based byte position in the record
  int length = 0;
  FieldType type = FieldType::Text;
  int decimals = 0;  // packed fields only
};

struct Layout {
  std::string_view name;  // as written in table names: "Batch", "YCase", "EMP", ...
  int recordLength = 0;
  std::span<const FieldDef> fields;  // in record order, contiguous from offset 0

  // The field of exactly that name; nullptr when there is none.
  const FieldDef* Field(std::string_view fieldName) const;
  // The first field whose name matches without regard to ASCII case; nullptr when none does.
  const FieldDef* FieldNoCase(std::string_view fieldName) const;
};

// The layout of that name, any case; nullptr for an unknown name.
const Layout* FindLayout(std::string_view name);
// Every layout: those of the tables in the order of the file list, then Fees and BPhases.
std::span<const Layout> AllLayouts();

}  // namespace upfold
