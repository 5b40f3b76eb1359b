#pragma once
// A record description of the direct record access: a raw record buffer and up to 256 named
// field codecs (FieldInfo.h) that split it into fields. Descriptions are made by the file table
// (DirectAccess.h) when a file is opened with a description code, or by hand.

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "data/FieldInfo.h"
#include "platform/Locale.h"

namespace upfold {

class Clock;

class TMFFileStructure {
 public:
  static constexpr int kMaxFields = 256;

  // Date fields take their display style from `formats` (the system's short date format);
  // every field reads "now" from `clock`. The clock must outlive the description.
  TMFFileStructure(Clock& clock, DateFormats formats);
  TMFFileStructure(const TMFFileStructure&) = delete;
  TMFFileStructure& operator=(const TMFFileStructure&) = delete;

  // Register a field at `index` (0-255) taking bytes position .. position+size-1 (1-based) of
  // the record. The index becomes the last index and the field count grows to index + 1 when
  // needed; a field already at the index is replaced and its size no longer counts in the
  // record length. AbortError for an index out of range, a position below 1 or a negative size.
  TFieldInfo& AddTextField(std::string name, int index, int position, int size);
  TFieldInfo& AddPackedField(std::string name, int index, int decimals, int position, int size);
  TFieldInfo& AddDateField(std::string name, int index, int position, int size);

  // Buffer length := RecordLength(), or m bytes. New bytes are zero.
  void SizeBufferToRecord();
  void SetBufferLength(int m);
  std::string& TakeRecord() { return buffer_; }
  const std::string& TakeRecord() const { return buffer_; }

  // Copies each field's bytes from the buffer into its value. AbortError naming the field when
  // a field reaches beyond the buffer (fields before it are split).
  void SplitRecord();

  int FieldCount() const { return fieldCount_; }
  // Sum of the sizes of the fields held.
  int RecordLength() const { return recordLength_; }
  int LastIndex() const { return lastIndex_; }
  // The field at index, or with that exact name; nullptr when there is none.
  TFieldInfo* Field(int index) const;
  TFieldInfo* Field(std::string_view name) const;

  // File slot the description belongs to (-1 before it is attached to one).
  int FileNumber() const { return fileNumber_; }
  void SetFileNumber(int n) { fileNumber_ = n; }

  bool AtEnd() const { return atEnd_; }
  bool& EndFlag() { return atEnd_; }
  bool AutoSplit() const { return autoSplit_; }
  void SetAutoSplit(bool on) { autoSplit_ = on; }

 private:
  TFieldInfo& Register(int index, std::unique_ptr<TFieldInfo> field);
  static void CheckPlace(int index, int position, int size);

  Clock& clock_;
  DateFormats formats_;
  std::string buffer_;
  int fieldCount_ = 0;
  int recordLength_ = 0;
  int lastIndex_ = -1;
  std::array<std::unique_ptr<TFieldInfo>, kMaxFields> fields_;
  int fileNumber_ = -1;
  bool atEnd_ = false;
  bool autoSplit_ = false;
};

}  // namespace upfold
