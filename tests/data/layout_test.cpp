#include "data/Layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace upfold {
namespace {

TEST(Layout, FieldsAreContiguousAndFillTheRecord) {
  for (const Layout& layout : AllLayouts()) {
    SCOPED_TRACE(std::string(layout.name));
    ASSERT_FALSE(layout.fields.empty());
    int next = 0;
    std::set<std::string_view> names;
    for (const FieldDef& field : layout.fields) {
      SCOPED_TRACE(std::string(field.name));
      EXPECT_EQ(field.offset, next);
      EXPECT_GT(field.length, 0);
      EXPECT_TRUE(names.insert(field.name).second) << "duplicate field name";
      next = field.offset + field.length;
      switch (field.type) {
        case FieldType::Packed:
          EXPECT_GE(field.length, 2);
          EXPECT_LE(field.length, 6);
          EXPECT_TRUE(field.decimals == 0 || field.decimals == 2 || field.decimals == 4);
          break;
        case FieldType::AutoInc:
        case FieldType::Date:
          EXPECT_EQ(field.length, 4);
          break;
        case FieldType::Integer:
          EXPECT_EQ(field.length, 2);
          break;
        case FieldType::Text:
          EXPECT_EQ(field.decimals, 0);
          break;
      }
    }
    EXPECT_EQ(next, layout.recordLength);
  }
}

TEST(Layout, RecordLengthsAndFieldCounts) {
  struct Case {
    const char* name;
    int length;
    std::size_t fields;
  };
  const Case cases[] = {
      {"Batch", 127, 25}, {"TrDesc", 91, 4},   {"RemBatch", 127, 27},  {"RemBatchD", 91, 4},
      {"YCase", 439, 73}, {"EMP", 74, 12},     {"EMPRATES", 24, 5},    {"SIMPLECD", 144, 7},
      {"Grates", 24, 8},  {"FeeSplit", 40, 7}, {"STCHAR2", 2404, 295}, {"Sysop1", 504, 70},
      {"Print", 97, 13},  {"Fees", 80, 18},    {"BPhases", 33, 6},
  };
  EXPECT_EQ(AllLayouts().size(), std::size(cases));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Layout* layout = FindLayout(c.name);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->name, c.name);
    EXPECT_EQ(layout->recordLength, c.length);
    EXPECT_EQ(layout->fields.size(), c.fields);
  }
}

TEST(Layout, NamesMatchWithoutRegardToCase) {
  const Layout* batch = FindLayout("Batch");
  ASSERT_NE(batch, nullptr);
  EXPECT_EQ(FindLayout("batch"), batch);
  EXPECT_EQ(FindLayout("BATCH"), batch);
  EXPECT_NE(FindLayout("REMBATCH"), batch);
  for (const char* name : {"REMBATCHD", "YCASE", "GRATES", "FEESPLIT", "SYSOP1", "PRINT", "trdesc",
                           "emprates", "simplecd", "stchar2", "fees", "bphases"})
    EXPECT_NE(FindLayout(name), nullptr) << name;
  for (const char* name : {"", "Batch ", "Batc", "RES:Batch", "YEmpl"})
    EXPECT_EQ(FindLayout(name), nullptr) << name;
}

// Fields that other parts of the program read by name and place.
TEST(Layout, FieldsTheProgramReliesOn) {
  struct Case {
    const char* layout;
    const char* field;
    int offset;
    int length;
    FieldType type;
    int decimals;
  };
  const auto T = FieldType::Text, P = FieldType::Packed, D = FieldType::Date,
             I = FieldType::Integer, A = FieldType::AutoInc;
  const Case cases[] = {
      {"Batch", "TrDate", 19, 6, T, 0},
      {"Batch", "BDollars", 58, 6, P, 2},
      {"Batch", "Unassigned", 116, 11, T, 0},
      {"RemBatch", "StringTransDate", 19, 6, T, 0},
      {"RemBatch", "ActualHours", 43, 4, P, 2},
      {"RemBatch", "TransactionDate", 116, 4, D, 0},
      {"RemBatch", "Unassigned2", 120, 7, T, 0},
      {"RemBatchD", "Description", 13, 78, T, 0},
      {"YCase", "Fee Budget $", 146, 6, P, 2},
      {"YCase", "Threshhold", 143, 3, P, 0},
      {"YCase", "CTD fee hours", 396, 5, P, 2},
      {"YCase", "RJCaseClient", 425, 14, T, 0},
      {"EMP", "Btrieve Hire Date", 64, 4, D, 0},
      {"EMPRATES", "Rate", 10, 5, P, 2},
      {"Grates", "RG Rate/Group code", 9, 1, T, 0},
      {"FeeSplit", "FeePerCent", 32, 4, P, 4},
      {"FeeSplit", "CostPerCent", 36, 4, P, 4},
      {"STCHAR2", "RoundRecepToTenth", 91, 1, T, 0},
      {"STCHAR2", "CltTabRe", 773, 2, P, 0},
      {"STCHAR2", "OIColHeadPrev", 2393, 11, T, 0},
      {"Sysop1", "ValFGrp", 60, 1, T, 0},
      {"Sysop1", "ValPGrp", 63, 1, T, 0},
      {"Sysop1", "Free", 369, 135, T, 0},
      {"Print", "DisplayNum", 6, 2, I, 0},
      {"Print", "DirPath", 35, 40, T, 0},
      {"Fees", "Auto", 0, 4, A, 0},
      {"Fees", "GroupCode", 37, 2, T, 0},
      {"Fees", "BilHrs", 54, 4, P, 2},
      {"Fees", "BilAmt", 58, 6, P, 2},
      {"BPhases", "PhaseCode", 14, 2, T, 0},
      {"BPhases", "HoursBudget", 20, 5, T, 0},
      {"BPhases", "AmountBudget", 25, 8, T, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.layout) + "." + c.field);
    const FieldDef* field = FindLayout(c.layout)->Field(c.field);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->offset, c.offset);
    EXPECT_EQ(field->length, c.length);
    EXPECT_EQ(field->type, c.type);
    EXPECT_EQ(field->decimals, c.decimals);
  }
}

TEST(Layout, FieldLookupExactOrWithoutCase) {
  const Layout& ycase = *FindLayout("YCase");
  EXPECT_EQ(ycase.Field("client code"), nullptr);
  ASSERT_NE(ycase.FieldNoCase("client code"), nullptr);
  EXPECT_EQ(ycase.FieldNoCase("client code")->name, "Client Code");
  EXPECT_EQ(ycase.Field("Client Code"), ycase.FieldNoCase("CLIENT CODE"));
  EXPECT_EQ(ycase.FieldNoCase("Client"), nullptr);
  // YCase has both "CTD fee wu" and "CTD Indirect cost wu": no-case lookup must not confuse them.
  EXPECT_EQ(ycase.FieldNoCase("ctd indirect cost wu")->offset, 234);
}

}  // namespace
}  // namespace upfold
