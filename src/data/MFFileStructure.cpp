#include "data/MFFileStructure.h"

#include <utility>

#include "data/AbortError.h"

namespace upfold {

TMFFileStructure::TMFFileStructure(Clock& clock, DateFormats formats)
    : clock_(clock), formats_(std::move(formats)) {}

void TMFFileStructure::CheckPlace(int index, int position, int size) {
  if (index < 0 || index >= kMaxFields)
    throw AbortError("Field index " + std::to_string(index) + " is outside 0 to 255.");
  if (position < 1 || size < 0)
    throw AbortError("Field " + std::to_string(index) + " has no valid place in the record.");
}

TFieldInfo& TMFFileStructure::AddTextField(std::string name, int index, int position, int size) {
  CheckPlace(index, position, size);
  return Register(index,
                  std::make_unique<TStringFieldInfo>(std::move(name), position, size, clock_));
}

TFieldInfo& TMFFileStructure::AddPackedField(std::string name, int index, int decimals,
                                             int position, int size) {
  CheckPlace(index, position, size);
  return Register(
      index, std::make_unique<TPacDecFieldInfo>(std::move(name), position, size, decimals, clock_));
}

TFieldInfo& TMFFileStructure::AddDateField(std::string name, int index, int position, int size) {
  CheckPlace(index, position, size);
  return Register(
      index, std::make_unique<TDateFieldInfo>(std::move(name), position, size, formats_, clock_));
}

TFieldInfo& TMFFileStructure::Register(int index, std::unique_ptr<TFieldInfo> field) {
  std::unique_ptr<TFieldInfo>& slot = fields_[static_cast<std::size_t>(index)];
  if (slot) recordLength_ -= slot->Size();
  recordLength_ += field->Size();
  slot = std::move(field);
  lastIndex_ = index;
  if (fieldCount_ < index + 1) fieldCount_ = index + 1;
  return *slot;
}

void TMFFileStructure::SizeBufferToRecord() {
  SetBufferLength(recordLength_);
}

void TMFFileStructure::SetBufferLength(int m) {
  buffer_.resize(m < 0 ? 0 : static_cast<std::size_t>(m), '\0');
}

void TMFFileStructure::SplitRecord() {
  for (int i = 0; i < fieldCount_; ++i) {
    TFieldInfo* field = fields_[static_cast<std::size_t>(i)].get();
    if (field == nullptr) continue;
    const std::size_t from = static_cast<std::size_t>(field->Position() - 1);
    const std::size_t size = static_cast<std::size_t>(field->Size());
    if (from + size > buffer_.size())
      throw AbortError("The field " + field->Name() + " lies beyond the record of " +
                       std::to_string(buffer_.size()) + " bytes.");
    field->SetValue(std::string_view(buffer_).substr(from, size));
  }
}

TFieldInfo* TMFFileStructure::Field(int index) const {
  if (index < 0 || index >= fieldCount_) return nullptr;
  return fields_[static_cast<std::size_t>(index)].get();
}

TFieldInfo* TMFFileStructure::Field(std::string_view name) const {
  for (int i = 0; i < fieldCount_; ++i) {
    TFieldInfo* field = fields_[static_cast<std::size_t>(i)].get();
    if (field != nullptr && field->Name() == name) return field;
  }
  return nullptr;
}

}  // namespace upfold
