#pragma once
// Internal to the layout tables: the field lists of every layout, defined in LayoutFields*.cpp
// and gathered into layouts by Layout.cpp.

#include <span>

#include "data/Layout.h"

namespace upfold::layout_fields {

inline constexpr FieldType kText = FieldType::Text;
inline constexpr FieldType kPacked = FieldType::Packed;
inline constexpr FieldType kAutoInc = FieldType::AutoInc;
inline constexpr FieldType kInteger = FieldType::Integer;
inline constexpr FieldType kDate = FieldType::Date;

// LayoutFieldsBatch.cpp: transaction and description files, and the files read directly.
std::span<const FieldDef> Batch();
std::span<const FieldDef> Description();  // TrDesc and RemBatchD alike
std::span<const FieldDef> RemBatch();
std::span<const FieldDef> Fees();
std::span<const FieldDef> BPhases();

// LayoutFieldsMaster.cpp: master files and print settings.
std::span<const FieldDef> YCase();
std::span<const FieldDef> Emp();
std::span<const FieldDef> EmpRates();
std::span<const FieldDef> SimpleCd();
std::span<const FieldDef> Grates();
std::span<const FieldDef> FeeSplit();
std::span<const FieldDef> Print();

// LayoutFieldsOptions.cpp: statement characteristics and system options.
std::span<const FieldDef> StChar2();
std::span<const FieldDef> Sysop1();

}  // namespace upfold::layout_fields
