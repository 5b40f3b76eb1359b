#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "data/AbortError.h"
#include "data/FieldInfo.h"
#include "data/HexBytes.h"

namespace upfold {
namespace {

using namespace std::chrono;
using test::FromHex;
using test::Hex;

class FieldInfoTest : public testing::Test {
 protected:
  FieldInfoTest() { clock.SetNow(sys_days{2026y / 12 / 11} + hours{9}); }

  static std::string AbortMessage(const std::function<void()>& operation) {
    try {
      operation();
    } catch (const AbortError& e) {
      return e.what();
    }
    return "(no error)";
  }

  FakeClock clock;
  DateFormats formats;  // M/d/yyyy, "/"
};

TEST_F(FieldInfoTest, BaseClassHasNoRepresentation) {
  TFieldInfo field("Raw", 5, 3, clock);
  EXPECT_EQ(field.Value(), "   ");
  EXPECT_EQ(field.ReadInteger(), 0);
  EXPECT_EQ(field.ReadFloat(), 0);
  EXPECT_EQ(field.ReadText(), "");
  EXPECT_EQ(field.ReadVariant(), FieldVariant(std::string()));
  EXPECT_EQ(field.ReadDate(), clock.Now());
  EXPECT_EQ(AbortMessage([&] { field.WriteVariant(1.0); }), "variant");
  EXPECT_EQ(AbortMessage([&] { field.WriteFloat(1.0); }), "float");
  EXPECT_EQ(AbortMessage([&] { field.WriteText("x"); }), "string");
  EXPECT_EQ(AbortMessage([&] { field.WriteDate(clock.Now()); }), "date");
  EXPECT_EQ(field.Value(), "   ");
}

TEST_F(FieldInfoTest, ResizeAndSetValueKeepTheValueAtTheSize) {
  TStringFieldInfo field("Code", 1, 4, clock);
  field.SetValue("AB");
  EXPECT_EQ(field.Value(), "AB  ");
  field.SetValue("ABCDEF");
  EXPECT_EQ(field.Value(), "ABCD");
  field.Resize(6);
  EXPECT_EQ(field.Size(), 6);
  EXPECT_EQ(field.Value(), "ABCD  ");
  field.Resize(2);
  EXPECT_EQ(field.Value(), "AB");
}

TEST_F(FieldInfoTest, PackedField) {
  TPacDecFieldInfo field("BilAmt", 59, 6, 2, clock);
  field.WriteFloat(1234.5);
  EXPECT_EQ(Hex(field.Value()), "00 00 01 23 45 0F");
  EXPECT_EQ(field.ReadFloat(), 1234.5);
  EXPECT_EQ(field.ReadInteger(), 123450);
  EXPECT_EQ(field.ReadVariant(), FieldVariant(1234.5));
  EXPECT_EQ(field.ReadText(), "");

  // Too large: the message, and the old value stays.
  EXPECT_EQ(AbortMessage([&] { field.WriteFloat(1'000'000'000.0); }),
            "Value exceeds allowable range.");
  EXPECT_EQ(field.ReadFloat(), 1234.5);

  field.WriteVariant(std::string(" -0.125 "));
  EXPECT_EQ(field.ReadFloat(), -0.13);
  EXPECT_EQ(field.ReadInteger(), -13);
  EXPECT_EQ(AbortMessage([&] { field.WriteVariant(std::string("12x")); }),
            "The value for the field BilAmt is not a number.");
  EXPECT_EQ(AbortMessage([&] { field.WriteVariant(FieldVariant()); }),
            "The value for the field BilAmt is not a number.");

  // The codec reads every sign but F as negative.
  field.SetValue(FromHex("00 00 01 23 45 0C"));
  EXPECT_EQ(field.ReadFloat(), -1234.5);

  // Garbage is reported, never read as a number.
  field.SetValue("ABCDEF");
  const std::string garbage = "The field BilAmt does not hold a packed decimal number.";
  EXPECT_EQ(AbortMessage([&] { field.ReadFloat(); }), garbage);
  EXPECT_EQ(AbortMessage([&] { field.ReadInteger(); }), garbage);
  EXPECT_EQ(AbortMessage([&] { field.ReadVariant(); }), garbage);
}

TEST_F(FieldInfoTest, TextField) {
  TStringFieldInfo field("ClientCode", 5, 7, clock);
  field.WriteText("ACME");
  EXPECT_EQ(field.ReadText(), "ACME   ");
  EXPECT_EQ(field.ReadVariant(), FieldVariant(std::string("ACME   ")));
  EXPECT_EQ(AbortMessage([&] { field.WriteText("TOO LONG"); }),
            "The text is longer than the field ClientCode (7 characters).");
  EXPECT_EQ(field.ReadText(), "ACME   ");
  field.WriteVariant(12.5);
  EXPECT_EQ(field.ReadText(), "12.5   ");
  EXPECT_EQ(field.ReadFloat(), 0);
  EXPECT_EQ(AbortMessage([&] { field.WriteFloat(1); }), "float");
  EXPECT_EQ(AbortMessage([&] { field.WriteDate(clock.Now()); }), "date");
}

TEST_F(FieldInfoTest, DateField) {
  TDateFieldInfo field("TrDate", 20, 6, formats, clock);
  EXPECT_EQ(field.Style().order, 'M');
  EXPECT_TRUE(field.Style().fourDigitYear);

  field.WriteText("250315");
  EXPECT_EQ(field.ReadDate(), sys_days{2005y / 3 / 15});
  EXPECT_EQ(field.ReadVariant(), FieldVariant(FieldDateTime(sys_days{2005y / 3 / 15})));
  EXPECT_EQ(field.DisplayText(), "03/15/2005");
  EXPECT_EQ(field.ReadText(), "");

  field.WriteDate(sys_days{1980y / 1 / 1} + hours{17});
  EXPECT_EQ(field.Value(), "000101");
  field.WriteVariant(FieldDateTime(sys_days{2079y / 12 / 31}));
  EXPECT_EQ(field.Value(), "991231");

  // Outside 1980-2079 nothing is stored.
  for (sys_days day : {sys_days{1979y / 12 / 31}, sys_days{2080y / 1 / 1}}) {
    EXPECT_EQ(AbortMessage([&] { field.WriteDate(day); }),
              "Only dates from 1980 to 2079 can be stored in the field TrDate.");
    EXPECT_EQ(field.Value(), "991231");
  }
  EXPECT_EQ(AbortMessage([&] { field.WriteVariant(std::string("250315")); }),
            "The value for the field TrDate is not a date.");

  // What cannot be read as a date reads as now.
  for (const char* stored : {"      ", "25031X", "251301"}) {
    field.SetValue(stored);
    EXPECT_EQ(field.ReadDate(), clock.Now()) << stored;
  }

  DateFormats dayFirst;
  dayFirst.shortDate = "dd/MM/yy";
  TDateFieldInfo other("EntryDate", 31, 6, dayFirst, clock);
  other.WriteText("250315");
  EXPECT_EQ(other.DisplayText(), "15/03/05");
}

}  // namespace
}  // namespace upfold
