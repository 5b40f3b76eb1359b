#include "data/DirectAccessDescriptions.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "data/Layout.h"

namespace upfold {

namespace {

constexpr std::array<std::string_view, 29> kCodes = {
    "CL", "FE", "MC", "MT", "MR", "CA", "EM", "FS", "CD", "TB", "AD", "SC", "SO", "BI", "MO",
    "M2", "DC", "DI", "TA", "TD", "HF", "RD", "LI", "TF", "TI", "YE", "NT", "YG", "CF"};

constexpr std::array<std::pair<std::string_view, int>, 19> kBareLengths = {{
    {"CL", 393},  {"FE", 80},  {"CA", 439}, {"EM", 74}, {"FS", 40},  {"CD", 70}, {"TB", 144},
    {"SC", 2404}, {"SO", 504}, {"BI", 86},  {"MO", 0},  {"DC", 779}, {"LI", 48}, {"TF", 75},
    {"TI", 127},  {"YE", 24},  {"NT", 97},  {"YG", 24}, {"CF", 178},
}};

// Catalogue entries: each code's fields are those of a record layout.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kCatalogue = {{
    {"FE", "Fees"},
    {"HF", "Fees"},
    {"CA", "YCase"},
    {"TD", "TrDesc"},
    {"TI", "Batch"},
}};

// The data files keep their dates as six-character texts "YYMMDD"; the layouts name them
// "...Date...".
bool IsFileDate(const FieldDef& field) {
  return field.type == FieldType::Text && field.length == 6 &&
         field.name.find("Date") != std::string_view::npos;
}

void AddLayoutFields(TMFFileStructure& d, const Layout& layout) {
  int index = 0;
  for (const FieldDef& field : layout.fields) {
    std::string name(field.name);
    const int position = field.offset + 1;
    if (field.type == FieldType::Packed)
      d.AddPackedField(std::move(name), index, field.decimals, position, field.length);
    else if (IsFileDate(field))
      d.AddDateField(std::move(name), index, position, field.length);
    else
      d.AddTextField(std::move(name), index, position, field.length);
    ++index;
  }
}

}  // namespace

std::span<const std::string_view> DescriptionCodes() {
  return kCodes;
}

bool IsDescriptionCode(std::string_view code) {
  return std::find(kCodes.begin(), kCodes.end(), code) != kCodes.end();
}

std::optional<int> BareDescriptionLength(std::string_view code) {
  for (const auto& [c, length] : kBareLengths)
    if (c == code) return length;
  return std::nullopt;
}

std::unique_ptr<TMFFileStructure> MakeDescription(std::string_view code, bool useFieldCatalogue,
                                                  Clock& clock, const DateFormats& formats) {
  if (!useFieldCatalogue) {
    const std::optional<int> length = BareDescriptionLength(code);
    if (!length) return nullptr;
    auto d = std::make_unique<TMFFileStructure>(clock, formats);
    d->SetBufferLength(*length);
    return d;
  }
  for (const auto& [c, layoutName] : kCatalogue) {
    if (c != code) continue;
    const Layout* layout = FindLayout(layoutName);
    if (layout == nullptr) return nullptr;
    auto d = std::make_unique<TMFFileStructure>(clock, formats);
    AddLayoutFields(*d, *layout);
    d->SizeBufferToRecord();
    return d;
  }
  return nullptr;
}

}  // namespace upfold
