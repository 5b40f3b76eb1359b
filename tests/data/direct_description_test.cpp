// Record descriptions: registering fields, splitting a record, and the descriptions that the
// description codes stand for with the field catalogue on and off.

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>

#include "DirectAccessFiles.h"
#include "data/AbortError.h"
#include "data/DirectAccessDescriptions.h"
#include "data/MFFileStructure.h"
#include "platform/Clock.h"

namespace upfold::test {
namespace {

using namespace std::chrono;

enum class Codec { Text, Packed, Date };

Codec CodecOf(const TFieldInfo& field) {
  if (dynamic_cast<const TPacDecFieldInfo*>(&field) != nullptr) return Codec::Packed;
  if (dynamic_cast<const TDateFieldInfo*>(&field) != nullptr) return Codec::Date;
  EXPECT_NE(dynamic_cast<const TStringFieldInfo*>(&field), nullptr) << field.Name();
  return Codec::Text;
}

class DescriptionTest : public testing::Test {
 protected:
  std::unique_ptr<TMFFileStructure> Make(std::string_view code, bool catalogue) {
    return MakeDescription(code, catalogue, clock, formats);
  }

  FakeClock clock;
  DateFormats formats;  // M/d/yyyy
};

TEST_F(DescriptionTest, FieldsCountTheirSizesOnceAndGrowTheFieldCount) {
  TMFFileStructure d(clock, formats);
  d.AddTextField("Code", 0, 1, 4);
  d.AddPackedField("Amount", 3, 2, 5, 6);
  EXPECT_EQ(d.FieldCount(), 4);
  EXPECT_EQ(d.LastIndex(), 3);
  EXPECT_EQ(d.RecordLength(), 10);
  EXPECT_EQ(d.Field(1), nullptr);
  EXPECT_EQ(d.Field("Amount"), d.Field(3));

  // A field registered again at an index replaces the old one in the length too.
  d.AddDateField("Date", 0, 1, 6);
  EXPECT_EQ(d.RecordLength(), 12);
  EXPECT_EQ(d.LastIndex(), 0);
  EXPECT_EQ(d.FieldCount(), 4);
  EXPECT_EQ(CodecOf(*d.Field(0)), Codec::Date);
  EXPECT_EQ(d.Field("Code"), nullptr);

  EXPECT_THROW(d.AddTextField("Far", 256, 1, 1), AbortError);
  EXPECT_THROW(d.AddTextField("Before", 1, 0, 1), AbortError);
  EXPECT_EQ(d.FieldCount(), 4);
}

TEST_F(DescriptionTest, SplitCopiesEachFieldAndRefusesOneBeyondTheBuffer) {
  TMFFileStructure d(clock, formats);
  d.AddTextField("A", 0, 1, 3);
  d.AddTextField("B", 2, 6, 2);
  d.SizeBufferToRecord();
  EXPECT_EQ(d.TakeRecord().size(), 5u);
  d.SetBufferLength(8);
  d.TakeRecord() = "abcdefgh";
  d.SplitRecord();
  EXPECT_EQ(d.Field(0)->Value(), "abc");
  EXPECT_EQ(d.Field(2)->Value(), "fg");

  d.SetBufferLength(6);
  EXPECT_EQ(AbortMessage([&] { d.SplitRecord(); }),
            "The field B lies beyond the record of 6 bytes.");
}

TEST_F(DescriptionTest, FeeCatalogueSplitsARecordIntoItsEighteenFields) {
  struct Expected {
    const char* name;
    int position;
    int size;
    Codec codec;
    int decimals;
  };
  const Expected expected[] = {
      {"Auto", 1, 4, Codec::Text, 0},        {"ClientCode", 5, 7, Codec::Text, 0},
      {"CaseSuffix", 12, 7, Codec::Text, 0}, {"TrType", 19, 1, Codec::Text, 0},
      {"TrDate", 20, 6, Codec::Date, 0},     {"SubType", 26, 1, Codec::Text, 0},
      {"ActEmp", 27, 4, Codec::Text, 0},     {"EntryDate", 31, 6, Codec::Date, 0},
      {"HNDR", 37, 1, Codec::Text, 0},       {"GroupCode", 38, 2, Codec::Text, 0},
      {"FixedFee", 40, 1, Codec::Text, 0},   {"ActHrs", 41, 4, Codec::Packed, 2},
      {"ActAmt", 45, 6, Codec::Packed, 2},   {"BilEmp", 51, 4, Codec::Text, 0},
      {"BilHrs", 55, 4, Codec::Packed, 2},   {"BilAmt", 59, 6, Codec::Packed, 2},
      {"Invoice", 65, 8, Codec::Text, 0},    {"Sequence", 73, 8, Codec::Text, 0},
  };
  for (const char* code : {"FE", "HF"}) {
    SCOPED_TRACE(code);
    auto d = Make(code, true);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->FieldCount(), 18);
    EXPECT_EQ(d->RecordLength(), 80);
    EXPECT_EQ(d->TakeRecord().size(), 80u);
    for (int i = 0; i < 18; ++i) {
      const TFieldInfo& field = *d->Field(i);
      const Expected& e = expected[i];
      EXPECT_EQ(field.Name(), e.name);
      EXPECT_EQ(field.Position(), e.position) << e.name;
      EXPECT_EQ(field.Size(), e.size) << e.name;
      EXPECT_EQ(CodecOf(field), e.codec) << e.name;
      if (e.codec == Codec::Packed) {
        EXPECT_EQ(static_cast<const TPacDecFieldInfo&>(field).Decimals(), e.decimals);
      }
    }
  }

  auto d = Make("FE", true);
  d->TakeRecord() = Record("Fees",
                           {{"ClientCode", "SMITH"},
                            {"CaseSuffix", RightJust("12", 7)},
                            {"TrType", "F"},
                            {"TrDate", "250315"},
                            {"GroupCode", "LT"},
                            {"Sequence", "00000042"}},
                           {{"BilHrs", 1.5}, {"BilAmt", -1234.5}});
  d->SplitRecord();
  EXPECT_EQ(d->Field("ClientCode")->ReadText(), "SMITH  ");
  EXPECT_EQ(d->Field("CaseSuffix")->ReadText(), "     12");
  EXPECT_EQ(d->Field("GroupCode")->ReadText(), "LT");
  EXPECT_DOUBLE_EQ(d->Field("BilHrs")->ReadFloat(), 1.5);
  EXPECT_DOUBLE_EQ(d->Field("BilAmt")->ReadFloat(), -1234.5);
  EXPECT_DOUBLE_EQ(d->Field("ActAmt")->ReadFloat(), 0);
  EXPECT_EQ(d->Field("TrDate")->ReadDate(), sys_days{2005y / 3 / 15});
  EXPECT_EQ(d->Field("Sequence")->ReadText(), "00000042");
}

TEST_F(DescriptionTest, CatalogueEntriesFollowTheirFilesLayouts) {
  struct Entry {
    const char* code;
    int fields;
    int length;
    const char* someField;
    int position;
  };
  for (const Entry& e :
       {Entry{"CA", 73, 439, "Fee Budget $", 147}, Entry{"TD", 4, 91, "Description", 14},
        Entry{"TI", 25, 127, "BDollars", 59}}) {
    SCOPED_TRACE(e.code);
    auto d = Make(e.code, true);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->FieldCount(), e.fields);
    EXPECT_EQ(d->RecordLength(), e.length);
    EXPECT_EQ(d->TakeRecord().size(), static_cast<std::size_t>(e.length));
    ASSERT_NE(d->Field(e.someField), nullptr);
    EXPECT_EQ(d->Field(e.someField)->Position(), e.position);
  }
  EXPECT_EQ(CodecOf(*Make("CA", true)->Field("Date Opened")), Codec::Date);
  EXPECT_EQ(CodecOf(*Make("TI", true)->Field("BUnits")), Codec::Packed);
}

TEST_F(DescriptionTest, BareDescriptionsHaveABufferAndNoFields) {
  auto fe = Make("FE", false);
  ASSERT_NE(fe, nullptr);
  EXPECT_EQ(fe->TakeRecord().size(), 80u);
  EXPECT_EQ(fe->FieldCount(), 0);
  EXPECT_EQ(fe->RecordLength(), 0);
  EXPECT_EQ(Make("SC", false)->TakeRecord().size(), 2404u);
  EXPECT_EQ(Make("MO", false)->TakeRecord().size(), 0u);
}

TEST_F(DescriptionTest, CodesWithoutADescriptionInAModeGiveNone) {
  ASSERT_EQ(DescriptionCodes().size(), 29u);
  const std::set<std::string_view> withoutBare = {"MC", "MT", "MR", "AD", "M2",
                                                  "DI", "TA", "TD", "HF", "RD"};
  const std::set<std::string_view> inCatalogue = {"FE", "HF", "CA", "TD", "TI"};
  for (std::string_view code : DescriptionCodes()) {
    EXPECT_EQ(Make(code, false) == nullptr, withoutBare.contains(code)) << code;
    EXPECT_EQ(Make(code, true) != nullptr, inCatalogue.contains(code)) << code;
  }
  for (std::string_view code : {"fe", "XX", ""}) {
    EXPECT_FALSE(IsDescriptionCode(code)) << code;
    EXPECT_EQ(Make(code, false), nullptr) << code;
    EXPECT_EQ(Make(code, true), nullptr) << code;
  }
}

}  // namespace
}  // namespace upfold::test
