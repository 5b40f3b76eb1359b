#pragma once
// Field codecs of the direct record access. Each field of a record description is a
// TFieldInfo holding the raw bytes of one field of the record, read and written through ten
// virtual operations; the derived classes give a field its packed, text or file-date meaning.
// An operation a class has no representation for raises AbortError with one word: "variant",
// "float", "string" or "date".

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "data/FileDate.h"
#include "platform/Clock.h"
#include "platform/Locale.h"

namespace upfold {

using FieldDateTime = std::chrono::system_clock::time_point;
// What ReadVariant gives and WriteVariant takes: nothing, a number, a text or a date.
using FieldVariant = std::variant<std::monostate, double, std::string, FieldDateTime>;

class TFieldInfo {
 public:
  // position: 1-based place of the field's first byte in the record. The value starts as
  // `size` blanks. The clock gives "now", which stands in for dates that cannot be read.
  TFieldInfo(std::string name, int position, int size, Clock& clock);
  virtual ~TFieldInfo() = default;
  TFieldInfo(const TFieldInfo&) = delete;
  TFieldInfo& operator=(const TFieldInfo&) = delete;

  const std::string& Name() const { return name_; }
  int Position() const { return position_; }
  int Size() const { return size_; }
  // The field's raw bytes: always exactly Size() of them.
  const std::string& Value() const { return value_; }
  // Takes raw bytes as the value: cut to Size(), or blank-filled when shorter.
  void SetValue(std::string_view raw);

  // Slot order of the operations. Base behaviour: numbers 0, texts empty, the date now, and
  // every write raising its one-word AbortError.
  virtual std::int64_t ReadInteger() const;
  virtual void Resize(int size);  // new bytes are blanks
  virtual FieldVariant ReadVariant() const;
  virtual void WriteVariant(const FieldVariant& value);
  virtual double ReadFloat() const;
  virtual void WriteFloat(double value);
  virtual std::string ReadText() const;
  virtual void WriteText(std::string_view text);
  virtual FieldDateTime ReadDate() const;
  virtual void WriteDate(FieldDateTime date);

 protected:
  // Stores text blank-filled to Size(); AbortError (value unchanged) when it is longer.
  void StoreText(std::string_view text);
  Clock& clock_;

 private:
  std::string name_;
  int position_;
  int size_;
  std::string value_;
};

// A packed decimal field (PackedDecimal.h). Any sign nibble but F reads as negative. A value
// whose digit nibbles are not 0-9 raises AbortError naming the field; one too large for the
// field raises "Value exceeds allowable range." and keeps the old value.
class TPacDecFieldInfo : public TFieldInfo {
 public:
  TPacDecFieldInfo(std::string name, int position, int size, int decimals, Clock& clock);
  int Decimals() const { return decimals_; }

  std::int64_t ReadInteger() const override;              // value * 10^Decimals
  FieldVariant ReadVariant() const override;              // the number
  void WriteVariant(const FieldVariant& value) override;  // a number, or a text holding one
  double ReadFloat() const override;
  void WriteFloat(double value) override;  // rounded to Decimals, halves away from zero

 private:
  int decimals_;
};

// A text field: read exactly as stored; written blank-filled to the width.
class TStringFieldInfo : public TFieldInfo {
 public:
  using TFieldInfo::TFieldInfo;

  FieldVariant ReadVariant() const override;              // the text
  void WriteVariant(const FieldVariant& value) override;  // a text, or a number as text
  std::string ReadText() const override;
  void WriteText(std::string_view text) override;
};

// A six-digit file date. The display style comes from the short date format given at creation.
// A date that cannot be read (blank, not digits, no calendar date) reads as now; a date outside
// 1980-2079 cannot be written (AbortError, value unchanged).
class TDateFieldInfo : public TFieldInfo {
 public:
  TDateFieldInfo(std::string name, int position, int size, const DateFormats& formats,
                 Clock& clock);
  const DisplayDateStyle& Style() const { return style_; }
  // The value as a display date in the style, with the system date separator; nullopt when it
  // cannot be built.
  std::optional<std::string> DisplayText() const;

  FieldVariant ReadVariant() const override;              // the date
  void WriteVariant(const FieldVariant& value) override;  // a date only
  void WriteText(std::string_view text) override;         // stored as given, blank-filled
  FieldDateTime ReadDate() const override;
  void WriteDate(FieldDateTime date) override;

 private:
  DisplayDateStyle style_;
  std::string separator_;
};

}  // namespace upfold
