#include "data/Layout.h"

#include <string>

#include "data/LayoutFields.h"
#include "platform/TextEncoding.h"

namespace upfold {

namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  return EqualsIgnoreAsciiCase(std::string(a), std::string(b));
}

}  // namespace

const FieldDef* Layout::Field(std::string_view fieldName) const {
  for (const FieldDef& f : fields)
    if (f.name == fieldName) return &f;
  return nullptr;
}

const FieldDef* Layout::FieldNoCase(std::string_view fieldName) const {
  for (const FieldDef& f : fields)
    if (SameNoCase(f.name, fieldName)) return &f;
  return nullptr;
}

std::span<const Layout> AllLayouts() {
  using namespace layout_fields;
  static const Layout kLayouts[] = {
      {"Batch", 127, Batch()},       {"TrDesc", 91, Description()},
      {"RemBatch", 127, RemBatch()}, {"RemBatchD", 91, Description()},
      {"YCase", 439, YCase()},       {"EMP", 74, Emp()},
      {"EMPRATES", 24, EmpRates()},  {"SIMPLECD", 144, SimpleCd()},
      {"Grates", 24, Grates()},      {"FeeSplit", 40, FeeSplit()},
      {"STCHAR2", 2404, StChar2()},  {"Sysop1", 504, Sysop1()},
      {"Print", 97, Print()},        {"Fees", 80, Fees()},
      {"BPhases", 33, BPhases()},
  };
  return kLayouts;
}

const Layout* FindLayout(std::string_view name) {
  for (const Layout& layout : AllLayouts())
    if (SameNoCase(layout.name, name)) return &layout;
  return nullptr;
}

}  // namespace upfold
