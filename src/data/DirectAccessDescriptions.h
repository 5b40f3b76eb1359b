#pragma once
// The record descriptions that a description code (the "FE" of "Fee.lf;FE") stands for. With
// the field catalogue off a code gives a bare description: no fields, a buffer of a fixed
// length. With it on, a code gives the fields of its data file, made from the record layout:
// FE and HF from Fees, CA from YCase, TD from TrDesc, TI from Batch.

#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "data/MFFileStructure.h"

namespace upfold {

// The 29 codes, in their fixed order.
std::span<const std::string_view> DescriptionCodes();
// One of the 29, compared exactly (upper case).
bool IsDescriptionCode(std::string_view code);
// Buffer length of the code's bare description; nullopt when the code has none.
std::optional<int> BareDescriptionLength(std::string_view code);

// A new description for the code in the given mode, its buffer sized to the record; nullptr
// when the code has no description in that mode.
std::unique_ptr<TMFFileStructure> MakeDescription(std::string_view code, bool useFieldCatalogue,
                                                  Clock& clock, const DateFormats& formats);

}  // namespace upfold
