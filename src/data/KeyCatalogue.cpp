#include "data/KeyCatalogue.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "data/Layout.h"

namespace upfold {

namespace {

// One segment: a field, or a run of adjacent fields from `first` to `last` taken as one value.
struct SegmentDef {
  std::string_view first;
  std::string_view last = {};
};

struct KeyDef {
  std::vector<SegmentDef> segments;
  bool duplicates;
};

struct LayoutKeys {
  std::string_view layout;
  std::vector<KeyDef> keys;  // from key 0
};

constexpr bool kDup = true;
constexpr bool kUnique = false;

const std::vector<LayoutKeys>& Catalogue() {
  static const std::vector<LayoutKeys> catalogue = {
      {"Batch", {{{{"Auto"}}, kUnique}, {{{"Client"}, {"Case"}}, kDup}}},
      {"TrDesc", {{{{"AutoIncr"}}, kUnique}, {{{"SequenceNumber"}, {"SequenceSuffix"}}, kDup}}},
      {"RemBatchD", {{{{"AutoIncr"}}, kUnique}, {{{"SequenceNumber"}, {"SequenceSuffix"}}, kDup}}},
      {"RemBatch",
       {{{{"AutoInc"}}, kUnique},
        {{{"ClientCode"}, {"CaseSuffix"}}, kDup},
        {{{"EmployeeCode"}}, kDup},
        {{{"TransactionDate"}}, kDup},
        {{{"Type"}}, kDup}}},
      {"YCase", {{{{"AutoIncrement"}}, kUnique}, {{{"Client Code"}, {"Case Suffix"}}, kUnique}}},
      {"EMP", {{{{"AutoIncrement"}}, kUnique}, {{{"Employee Code"}}, kUnique}}},
      {"EMPRATES", {{{{"AutoInc"}}, kUnique}, {{{"EmpCode"}, {"RateCode"}}, kUnique}}},
      {"SIMPLECD",
       {{{{"auto"}}, kUnique}, {{{"type code"}, {"transaction type"}, {"code"}}, kUnique}}},
      {"Grates",
       {{{{"AutoIncr"}}, kUnique},
        {{{"TypeOfRate"}, {"Code"}, {"RG Rate/Group code"}, {"Rate/Group code"}}, kUnique}}},
      {"FeeSplit",
       {{{{"autoincr"}}, kUnique},
        {{{"DummyClient", "DummyCase"}, {"ReceptorClient"}, {"ReceptorCase"}}, kDup}}},
      {"STCHAR2", {{{{"Auto"}}, kUnique}, {{{"TableName"}, {"TableNameSuffix"}}, kUnique}}},
      {"Sysop1", {{{{"Btrindex"}}, kUnique}}},
      {"Print", {{{{"BtrIndex"}}, kUnique}, {{{"ReportNum"}}, kUnique}}},
      {"Fees", {{{{"Auto"}}, kUnique}, {{{"ClientCode"}, {"CaseSuffix"}, {"TrType"}}, kDup}}},
      {"BPhases",
       {{{{"ClientCode"}, {"CaseSuffix"}, {"PhaseCode"}}, kUnique},
        {{{"ClientCode"}, {"CaseSuffix"}, {"PhaseCode"}}, kUnique}}},
  };
  return catalogue;
}

KeyType KeyTypeOf(FieldType type) {
  switch (type) {
    case FieldType::Packed:
      return KeyType::Decimal;
    case FieldType::AutoInc:
      return KeyType::AutoInc;
    case FieldType::Integer:
      return KeyType::Integer;
    case FieldType::Date:
      return KeyType::Date;
    case FieldType::Text:
      break;
  }
  return KeyType::String;
}

const FieldDef& FieldOf(const Layout& layout, std::string_view name) {
  const FieldDef* field = layout.Field(name);
  if (!field)
    throw std::logic_error("key catalogue: no field " + std::string(name) + " in " +
                           std::string(layout.name));
  return *field;
}

KeySegment SegmentOf(const Layout& layout, const SegmentDef& def) {
  const FieldDef& first = FieldOf(layout, def.first);
  const FieldDef& last = def.last.empty() ? first : FieldOf(layout, def.last);
  KeySegment segment;
  segment.offset = static_cast<std::uint16_t>(first.offset);
  segment.length = static_cast<std::uint16_t>(last.offset + last.length - first.offset);
  segment.type = &first == &last ? KeyTypeOf(first.type) : KeyType::String;
  return segment;
}

}  // namespace

FileSpec FileSpecFor(const Layout& layout) {
  FileSpec fileSpec;
  fileSpec.recordLength = static_cast<std::uint16_t>(layout.recordLength);
  for (const LayoutKeys& entry : Catalogue()) {
    if (entry.layout != layout.name) continue;
    for (const KeyDef& def : entry.keys) {
      KeySpec key;
      key.duplicates = def.duplicates;
      for (const SegmentDef& segment : def.segments)
        key.segments.push_back(SegmentOf(layout, segment));
      fileSpec.keys.push_back(std::move(key));
    }
  }
  return fileSpec;
}

std::optional<FileSpec> FileSpecFor(std::string_view layoutName) {
  const Layout* layout = FindLayout(layoutName);
  if (!layout) return std::nullopt;
  return FileSpecFor(*layout);
}

}  // namespace upfold
