#include <gtest/gtest.h>

#include <string>

#include "data/HexBytes.h"
#include "data/RecordField.h"

namespace upfold {
namespace {

using test::FromHex;
using test::Hex;

class RecordFieldTest : public testing::Test {
 protected:
  const FieldDef& Field(const char* name) { return *layout.Field(name); }

  const Layout& layout = *FindLayout("RemBatch");
  std::string record = EmptyRecord(layout);
};

TEST_F(RecordFieldTest, EmptyRecordIsBlankAndZero) {
  ASSERT_EQ(record.size(), 127u);
  EXPECT_EQ(FieldBytes(record, Field("ClientCode")), "       ");
  EXPECT_EQ(Hex(FieldBytes(record, Field("ActualAmount"))), "00 00 00 00 00 0F");
  EXPECT_EQ(Hex(FieldBytes(record, Field("TransactionDate"))), "00 00 00 00");
  EXPECT_EQ(Hex(FieldBytes(record, Field("AutoInc"))), "00 00 00 00");
  EXPECT_EQ(ReadFieldNumber(record, Field("ActualAmount")), 0.0);
  EXPECT_EQ(ReadFieldDate(record, Field("TransactionDate")), CivilDate{});
}

TEST_F(RecordFieldTest, WritesAndReadsEachType) {
  ASSERT_TRUE(WriteFieldText(record, Field("ClientCode"), "ACME"));
  EXPECT_EQ(FieldBytes(record, Field("ClientCode")), "ACME   ");
  EXPECT_EQ(FieldBytes(record, Field("CaseSuffix")), "       ");  // neighbour untouched

  ASSERT_TRUE(WriteFieldNumber(record, Field("BillableAmount"), -1234.5));
  EXPECT_EQ(Hex(FieldBytes(record, Field("BillableAmount"))), "00 00 01 23 45 0D");
  EXPECT_EQ(ReadFieldNumber(record, Field("BillableAmount")), -1234.5);

  ASSERT_TRUE(WriteFieldNumber(record, Field("AutoInc"), 4'000'000'000.0));
  EXPECT_EQ(Hex(FieldBytes(record, Field("AutoInc"))), "00 28 6B EE");
  EXPECT_EQ(ReadFieldNumber(record, Field("AutoInc")), 4'000'000'000.0);

  ASSERT_TRUE(WriteFieldDate(record, Field("TransactionDate"), {2026, 12, 11}));
  EXPECT_EQ(Hex(FieldBytes(record, Field("TransactionDate"))), "0B 0C EA 07");
  EXPECT_EQ(ReadFieldDate(record, Field("TransactionDate")), (CivilDate{2026, 12, 11}));
  ASSERT_TRUE(WriteFieldDate(record, Field("TransactionDate"), CivilDate{}));
  EXPECT_EQ(ReadFieldDate(record, Field("TransactionDate")), CivilDate{});

  const Layout& print = *FindLayout("Print");
  std::string settings = EmptyRecord(print);
  ASSERT_TRUE(WriteFieldNumber(settings, *print.Field("DisplayNum"), -2));
  EXPECT_EQ(Hex(FieldBytes(settings, *print.Field("DisplayNum"))), "FE FF");
  EXPECT_EQ(ReadFieldNumber(settings, *print.Field("DisplayNum")), -2.0);
}

TEST_F(RecordFieldTest, TablesReadOnlySignDAsNegative) {
  record.replace(Field("Fees").offset, 6, FromHex("00 00 01 23 45 0C"));
  EXPECT_EQ(ReadFieldNumber(record, Field("Fees")), 1234.5);
}

TEST_F(RecordFieldTest, RefusedValuesLeaveTheRecordAlone) {
  const std::string before = record;
  EXPECT_FALSE(WriteFieldText(record, Field("ClientCode"), "TOOLONG!"));
  EXPECT_FALSE(WriteFieldText(record, Field("ActualHours"), "1"));
  EXPECT_FALSE(WriteFieldNumber(record, Field("ActualHours"), 100000));  // 4 bytes: 99,999.99
  EXPECT_FALSE(WriteFieldNumber(record, Field("AutoInc"), -1));
  EXPECT_FALSE(WriteFieldNumber(record, Field("AutoInc"), 1.5));
  EXPECT_FALSE(WriteFieldNumber(record, Field("ClientCode"), 1));
  EXPECT_FALSE(WriteFieldDate(record, Field("TransactionDate"), {2025, 2, 29}));
  EXPECT_FALSE(WriteFieldDate(record, Field("TransactionDate"), {10000, 1, 1}));
  EXPECT_FALSE(WriteFieldDate(record, Field("StringTransDate"), {2025, 2, 28}));
  const FieldDef& displayNum = *FindLayout("Print")->Field("DisplayNum");
  std::string settings = EmptyRecord(*FindLayout("Print"));
  const std::string settingsBefore = settings;
  EXPECT_FALSE(WriteFieldNumber(settings, displayNum, 32768));
  EXPECT_FALSE(WriteFieldNumber(settings, displayNum, 0.5));
  EXPECT_EQ(record, before);
  EXPECT_EQ(settings, settingsBefore);
}

TEST_F(RecordFieldTest, DamagedBytesAreNotValues) {
  record.replace(Field("ActualAmount").offset, 6, FromHex("00 00 0A 00 00 0F"));
  EXPECT_EQ(ReadFieldNumber(record, Field("ActualAmount")), std::nullopt);
  record.replace(Field("TransactionDate").offset, 4, FromHex("1F 0D E9 07"));  // 31/13/2025
  EXPECT_EQ(ReadFieldDate(record, Field("TransactionDate")), std::nullopt);
  EXPECT_EQ(ReadFieldNumber(record, Field("ClientCode")), std::nullopt);
  EXPECT_EQ(ReadFieldDate(record, Field("ClientCode")), std::nullopt);
}

}  // namespace
}  // namespace upfold
