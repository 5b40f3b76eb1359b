#pragma once
// A table: one data file of the record manager seen through a record layout, with a cursor on
// one key's order. It is named "DOSPATH;RES:Layout" (the layout any case, the path resolved
// through DosFs without regard to case) and reads lazily: opening costs the same for ten
// records as for a million, and RecordCount comes from the record manager.
//
// Cursor. After Open, and after First, the table is on its first record with Bof() set; Next
// past the last record and Prior before the first leave the record where it is and set
// Eof()/Bof(). An empty table has Bof() and Eof() set and no record: its fields read empty.
// Any move, a lookup, a change of index or a bookmark jump first finishes an edit: the changes
// are posted when a field was set, otherwise dropped. Close drops them.
//
// Editing. Append (or Insert, the same in a keyed file) starts a new blank record, Edit reads
// the current record afresh and locks it against other workstations; field setters need one
// of them; Post writes (the table then stays on the written record), Cancel drops the changes.
//
// Fields. By their layout names, exactly as written ("Client Code"; a name differing only in
// case is accepted too). Texts read exactly as stored; packed, integer and auto-increment
// fields as numbers; record-manager dates as dates. Calculated fields are texts held beside
// the record, filled by a handler that runs for every record the table presents.
//
// Every failure raises TableError and leaves the table as it was.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "data/TableError.h"
#include "platform/Locale.h"
#include "recman/DataFile.h"

namespace upfold {

class DosFs;
struct Layout;
struct FieldDef;

// One value of a key lookup. Values are given in key order, one per key segment; each is
// formatted into its segment by the type of the layout's field there: a text blank-filled
// to the width, a number as a packed or binary number, a date as a record-manager date. A
// segment covering several text fields takes one text of the whole width.
class KeyValue {
 public:
  KeyValue(std::string text) : value_(std::move(text)) {}
  KeyValue(const char* text) : value_(std::string(text)) {}
  KeyValue(std::string_view text) : value_(std::string(text)) {}
  KeyValue(double number) : value_(number) {}
  KeyValue(int number) : value_(static_cast<double>(number)) {}
  KeyValue(const CivilDate& date) : value_(date) {}

  const std::variant<std::string, double, CivilDate>& Value() const { return value_; }

 private:
  std::variant<std::string, double, CivilDate> value_;
};

enum class TableState { Inactive, Browse, Edit, Insert };

class Table {
 public:
  // Fills the calculated fields (SetAsString) for the record the table is on.
  using CalcFieldsHandler = std::function<void(Table&)>;

  // name: the table's own name, for messages ("RemoteTB"). fs must outlive the table.
  Table(const DosFs& fs, std::string name);
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  const std::string& Name() const { return name_; }

  // Set-up. Declared fields must all be in the layout, or Open fails naming the first missing
  // one. Calculated fields (name, size in characters) keep at most `size` characters.
  void DeclareFields(std::vector<std::string> names);
  const std::vector<std::string>& DeclaredFields() const { return declared_; }
  void AddCalcField(std::string name, int size);
  void SetOnCalcFields(CalcFieldsHandler handler);
  // How AsString writes a date field; the system defaults until set.
  void SetDateFormats(const DateFormats& formats) { formats_ = formats; }

  // "DOSPATH;RES:Layout". Naming another file while open raises TableError; giving the same
  // name again does nothing.
  void SetTableName(const std::string& tableName);
  const std::string& TableName() const { return tableName_; }
  // The key by number as text ("0" to "4"); empty means key 0. Checked against the file's keys
  // at Open, or at once when open: then a text that is not a key number below the file's key
  // count raises TableError (index unchanged), and otherwise the table goes to the first
  // record in the new key's order.
  void SetIndexName(const std::string& indexName);
  const std::string& IndexName() const { return indexName_; }

  // Opens the file (nothing when already open) and goes to the first record. Fails for a name
  // without a known layout, a file the record manager cannot open, a record length other than
  // the layout's, a missing declared field, or an index name the file has no key for; the
  // table stays closed then.
  void Open();
  void Close();  // nothing when closed
  bool Active() const { return state_ != TableState::Inactive; }
  TableState State() const { return state_; }
  // The layout of the open table; nullptr when closed.
  const Layout* GetLayout() const { return layout_; }
  int KeyNumber() const { return keyNumber_; }

  void First();
  void Last();
  void Next();
  void Prior();
  // Moves up to |count| records forward (count > 0) or back; the number actually moved.
  int MoveBy(int count);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool IsEmpty() const;  // no record in the file

  // Exact lookup on the current key: true and on the first matching record, or false and the
  // cursor unchanged. Fewer values than segments match on the leading segments only. A value
  // that cannot be stored in its segment (too long, out of range) matches nothing.
  bool FindKey(const std::vector<KeyValue>& values);
  // The first record whose key is not less than the values (missing trailing segments count
  // as their lowest value). True when there is one; otherwise false, the table on its last
  // record with Eof() set. A value that cannot be stored in its segment raises TableError.
  bool FindNearest(const std::vector<KeyValue>& values);

  void Append();
  void Insert();
  void Edit();  // on an empty table: Append
  void Post();
  void Cancel();
  // Deletes the current record (an Insert is cancelled instead) and goes to the next record,
  // or to the previous one when it was the last.
  void Delete();

  // Transactions of the record manager on this table's file: the changes posted between
  // BeginTransaction and Commit become durable together at Commit; Rollback (which first
  // cancels an edit) or Close before Commit drops them. Failures raise TableError; a Commit
  // that fails keeps nothing. Rollback without a transaction does nothing.
  void BeginTransaction();
  void Commit();
  void Rollback();
  bool InTransaction() const { return file_.InTransaction(); }
  // Held reads of the record manager (DataFile.h): the table's reads share stretches under one
  // shared lock, which the holder ends every few moments (DataFile::EndEveryReadStretch).
  void HoldReads(bool on) { file_.HoldReads(on); }
  std::uint64_t RecordCount() const;
  // The current record's identity (0 when there is none) and the way back to it.
  RecordId Bookmark() const;
  void GotoBookmark(RecordId bookmark);

  bool HasField(std::string_view field) const;  // a layout field or a calculated field
  // Text fields exactly as stored; numbers in plain decimals ("12.5", "-3", "0"); dates in
  // the short date format (empty for the empty date); calculated fields as set.
  std::string AsString(std::string_view field) const;
  // Numeric fields, and text fields holding a number. TableError for anything else, including
  // a packed field whose bytes are no packed number.
  double AsFloat(std::string_view field) const;
  // Date fields; CivilDate{} for the empty date.
  CivilDate AsDate(std::string_view field) const;
  // Need Edit or Insert, except for calculated fields. A text longer than its field, a number
  // that does not fit, or a value of the wrong kind raises TableError and changes nothing.
  void SetAsString(std::string_view field, std::string_view text);
  void SetAsFloat(std::string_view field, double value);
  void SetAsDate(std::string_view field, const CivilDate& date);

  // The current record's bytes (the record being edited in Edit and Insert); empty when none.
  const std::string& Record() const { return record_; }
  // Replaces the whole record being edited; it must have the layout's length.
  void SetRecord(std::string_view bytes);

 private:
  struct CalcField {
    std::string name;
    std::size_t size = 0;
    std::string value;
  };

  [[noreturn]] void Fail(const std::string& what) const;
  void CheckActive() const;
  void CheckEditing() const;
  void CheckBrowseMode();
  int ParseIndex(const std::string& indexName) const;
  const FieldDef& DataField(std::string_view field) const;
  const FieldDef* FindDataField(std::string_view field) const;
  CalcField* FindCalcField(std::string_view field);
  const CalcField* FindCalcField(std::string_view field) const;
  // Makes `record` the presented record and fills the calculated fields.
  void Present(std::string record);
  void PresentNone();
  void CalculateFields();
  // A Get that moves: true when a record was found, false at an end; TableError otherwise.
  bool Move(GetOp op, std::string& key);
  void MoveToEnd(GetOp op);  // First or Last
  void Step(bool forward);   // Next or Prior
  void ReleaseEdit();
  bool Lookup(const std::vector<KeyValue>& values, bool nearest);

  const DosFs& fs_;
  std::string name_;
  std::vector<std::string> declared_;
  std::vector<CalcField> calcFields_;
  CalcFieldsHandler onCalcFields_;
  DateFormats formats_;

  std::string tableName_;
  std::string indexName_;
  DataFile file_;
  const Layout* layout_ = nullptr;
  int keyNumber_ = 0;
  TableState state_ = TableState::Inactive;
  bool bof_ = true;
  bool eof_ = true;
  bool hasRecord_ = false;
  bool modified_ = false;
  std::string record_;  // presented or edited record
  std::string saved_;   // Edit: the record as read; Insert: the record presented before
  bool savedHasRecord_ = false;
};

}  // namespace upfold
