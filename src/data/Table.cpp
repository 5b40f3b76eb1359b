#include "data/Table.h"

#include <charconv>

#include "data/FixedText.h"
#include "data/Layout.h"
#include "data/RecordField.h"
#include "data/TableKey.h"
#include "platform/DosFs.h"
#include "recman/KeyCodec.h"

namespace upfold {

namespace {

// "DOSPATH;RES:Layout", the marker in any case.
bool SplitTableName(const std::string& tableName, std::string& path, std::string& layout) {
  std::string upper = tableName;
  for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  const std::size_t at = upper.find(";RES:");
  if (at == std::string::npos) return false;
  path = tableName.substr(0, at);
  layout = tableName.substr(at + 5);
  return true;
}

std::string Quoted(std::string_view name) {
  return "'" + std::string(name) + "'";
}

}  // namespace

Table::Table(const DosFs& fs, std::string name) : fs_(fs), name_(std::move(name)) {}

Table::~Table() {
  Close();
}

void Table::Fail(const std::string& what) const {
  throw TableError(name_ + ": " + what);
}

void Table::DeclareFields(std::vector<std::string> names) {
  declared_ = std::move(names);
}

void Table::AddCalcField(std::string name, int size) {
  calcFields_.push_back({std::move(name), static_cast<std::size_t>(size < 0 ? 0 : size), {}});
}

void Table::SetOnCalcFields(CalcFieldsHandler handler) {
  onCalcFields_ = std::move(handler);
}

void Table::SetTableName(const std::string& tableName) {
  if (tableName == tableName_) return;
  if (Active()) Fail("Cannot change the table name of an open table");
  tableName_ = tableName;
}

int Table::ParseIndex(const std::string& indexName) const {
  if (indexName.empty()) return 0;
  int number = -1;
  const char* end = indexName.data() + indexName.size();
  const auto result = std::from_chars(indexName.data(), end, number);
  if (indexName.front() < '0' || indexName.front() > '9' || result.ec != std::errc() ||
      result.ptr != end || number < 0 ||
      static_cast<std::size_t>(number) >= file_.Definition().keys.size())
    throw TableError::FromStatus(RmStatus::InvalidKeyNumber);
  return number;
}

void Table::SetIndexName(const std::string& indexName) {
  if (!Active()) {
    indexName_ = indexName;
    return;
  }
  const int key = ParseIndex(indexName);
  CheckBrowseMode();
  indexName_ = indexName;
  keyNumber_ = key;
  First();
}

void Table::Open() {
  if (Active()) return;
  std::string dosPath;
  std::string layoutName;
  if (!SplitTableName(tableName_, dosPath, layoutName))
    Fail("The table name " + Quoted(tableName_) + " names no record layout");
  const Layout* layout = FindLayout(layoutName);
  if (!layout) Fail("Record layout " + Quoted(layoutName) + " not found");
  for (const std::string& field : declared_)
    if (!layout->Field(field)) Fail("Field " + Quoted(field) + " not found");

  const std::optional<std::string> hostPath = fs_.ToHost(dosPath);
  if (!hostPath) throw TableError::FromStatus(RmStatus::InvalidFileName);
  if (const RmStatus status = file_.Open(*hostPath); status != RmStatus::Success)
    throw TableError::FromStatus(status);
  try {
    if (file_.Definition().recordLength != layout->recordLength)
      Fail("The file " + dosPath + " has records of " + std::to_string(file_.Definition().recordLength) +
           " bytes, not the " + std::to_string(layout->recordLength) + " of the layout " +
           std::string(layout->name));
    keyNumber_ = ParseIndex(indexName_);
    layout_ = layout;
    state_ = TableState::Browse;
    First();
  } catch (...) {
    Close();
    file_.Close();
    throw;
  }
}

void Table::Close() {
  if (state_ == TableState::Inactive) return;
  file_.Close();  // releases a record lock of Edit with it
  state_ = TableState::Inactive;
  layout_ = nullptr;
  modified_ = false;
  saved_.clear();
  PresentNone();
  bof_ = eof_ = true;
}

void Table::CheckActive() const {
  if (!Active()) Fail("Cannot perform this operation on a closed table");
}

void Table::CheckEditing() const {
  CheckActive();
  if (state_ != TableState::Edit && state_ != TableState::Insert)
    Fail("The table is not in edit or insert mode");
}

void Table::CheckBrowseMode() {
  if (state_ != TableState::Edit && state_ != TableState::Insert) return;
  if (modified_)
    Post();
  else
    Cancel();
}

void Table::Present(std::string record) {
  record_ = std::move(record);
  hasRecord_ = true;
  CalculateFields();
}

void Table::PresentNone() {
  record_.clear();
  hasRecord_ = false;
  for (CalcField& calc : calcFields_) calc.value.clear();
}

void Table::CalculateFields() {
  for (CalcField& calc : calcFields_) calc.value.clear();
  if (onCalcFields_ && !calcFields_.empty()) onCalcFields_(*this);
}

bool Table::Move(GetOp op, std::string& key) {
  std::string record;
  const RmStatus status = file_.Get(op, keyNumber_, key, record);
  if (status == RmStatus::EndOfFile || status == RmStatus::KeyNotFound) return false;
  if (status != RmStatus::Success) throw TableError::FromStatus(status);
  Present(std::move(record));
  return true;
}

void Table::First() {
  MoveToEnd(GetOp::First);
}

void Table::Last() {
  MoveToEnd(GetOp::Last);
}

void Table::MoveToEnd(GetOp op) {
  CheckActive();
  CheckBrowseMode();
  std::string key;
  if (Move(op, key)) {
    bof_ = op == GetOp::First;
    eof_ = !bof_;
  } else {
    PresentNone();
    bof_ = eof_ = true;
  }
}

void Table::Next() {
  Step(true);
}

void Table::Prior() {
  Step(false);
}

void Table::Step(bool forward) {
  CheckActive();
  CheckBrowseMode();
  bool& atEnd = forward ? eof_ : bof_;
  if (atEnd) return;
  (forward ? bof_ : eof_) = false;
  std::string key;
  if (!hasRecord_ || !Move(forward ? GetOp::Next : GetOp::Previous, key)) atEnd = true;
}

int Table::MoveBy(int count) {
  int moved = 0;
  for (; count > 0 && !eof_; --count) {
    Next();
    if (!eof_) ++moved;
  }
  for (; count < 0 && !bof_; ++count) {
    Prior();
    if (!bof_) --moved;
  }
  return moved;
}

bool Table::IsEmpty() const {
  CheckActive();
  return !hasRecord_ && state_ != TableState::Insert;
}

bool Table::FindKey(const std::vector<KeyValue>& values) {
  return Lookup(values, false);
}

bool Table::FindNearest(const std::vector<KeyValue>& values) {
  return Lookup(values, true);
}

bool Table::Lookup(const std::vector<KeyValue>& values, bool nearest) {
  CheckActive();
  CheckBrowseMode();
  const KeySpec& key = file_.Definition().keys[static_cast<std::size_t>(keyNumber_)];
  if (values.size() > key.segments.size())
    Fail(std::to_string(values.size()) + " key values for index " + std::to_string(keyNumber_) +
         ", which has " + std::to_string(key.segments.size()));

  std::string wanted = EmptyRecord(*layout_);
  for (std::size_t i = 0; i < key.segments.size(); ++i) {
    if (i >= values.size()) {
      tablekey::PutLowest(wanted, key.segments[i]);
    } else if (tablekey::Put(wanted, *layout_, key.segments[i], values[i], name_) ==
               tablekey::Fit::TooLarge) {
      if (!nearest) return false;  // no stored key can hold it
      Fail("The value for key segment " + std::to_string(i + 1) + " of index " +
           std::to_string(keyNumber_) + " does not fit its field");
    }
  }

  const bool whole = values.size() == key.segments.size();
  const RecordId before = hasRecord_ ? file_.CurrentRecord() : 0;
  std::string keyBuffer = keycodec::Extract(key, wanted);
  std::string found;
  const RmStatus status = file_.Get(whole && !nearest ? GetOp::Equal : GetOp::GreaterOrEqual,
                                    keyNumber_, keyBuffer, found);
  if (status == RmStatus::KeyNotFound || status == RmStatus::EndOfFile) {
    if (nearest) Last();
    return false;
  }
  if (status != RmStatus::Success) throw TableError::FromStatus(status);

  if (!nearest && !whole) {
    // A partial key matches when its leading segments compare equal, as the file orders them.
    KeySpec leading{{key.segments.begin(), key.segments.begin() + values.size()}, key.duplicates};
    if (keycodec::Encode(leading, keycodec::Extract(leading, found)) !=
        keycodec::Encode(leading, keycodec::Extract(leading, wanted))) {
      std::string ignoredKey;
      std::string ignoredRecord;
      if (before != 0) file_.GetDirect(before, keyNumber_, ignoredKey, ignoredRecord);
      return false;
    }
  }
  Present(std::move(found));
  bof_ = eof_ = false;
  return true;
}

void Table::Append() {
  CheckActive();
  CheckBrowseMode();
  saved_ = record_;
  savedHasRecord_ = hasRecord_;
  record_ = EmptyRecord(*layout_);
  for (CalcField& calc : calcFields_) calc.value.clear();
  state_ = TableState::Insert;
  modified_ = false;
}

void Table::Insert() {
  Append();
}

void Table::Edit() {
  CheckActive();
  if (state_ != TableState::Browse) return;
  if (!hasRecord_) return Append();
  std::string key;
  std::string fresh;
  const RmStatus status =
      file_.GetDirect(file_.CurrentRecord(), keyNumber_, key, fresh, RecordLock::Single);
  if (status != RmStatus::Success) throw TableError::FromStatus(status);
  saved_ = fresh;
  state_ = TableState::Edit;
  modified_ = false;
  Present(std::move(fresh));
}

void Table::Post() {
  CheckEditing();
  std::string record = record_;
  const RmStatus status = state_ == TableState::Edit ? file_.Update(record) : file_.Insert(record);
  if (status != RmStatus::Success) throw TableError::FromStatus(status);
  state_ = TableState::Browse;
  modified_ = false;
  saved_.clear();
  Present(std::move(record));
  bof_ = eof_ = false;
}

void Table::BeginTransaction() {
  CheckActive();
  if (const RmStatus status = file_.BeginTransaction(); status != RmStatus::Success)
    throw TableError::FromStatus(status);
}

void Table::Commit() {
  CheckActive();
  if (const RmStatus status = file_.EndTransaction(); status != RmStatus::Success)
    throw TableError::FromStatus(status);
}

void Table::Rollback() {
  if (!file_.InTransaction()) return;
  if (state_ == TableState::Edit || state_ == TableState::Insert) Cancel();
  file_.AbortTransaction();
}

void Table::Cancel() {
  CheckActive();
  if (state_ == TableState::Edit) {
    file_.Unlock();
    state_ = TableState::Browse;
    Present(std::move(saved_));
  } else if (state_ == TableState::Insert) {
    state_ = TableState::Browse;
    if (savedHasRecord_)
      Present(std::move(saved_));
    else
      PresentNone();
  }
  modified_ = false;
  saved_.clear();
}

void Table::Delete() {
  CheckActive();
  if (state_ == TableState::Insert) return Cancel();
  if (!hasRecord_) Fail("Cannot delete from an empty table");
  if (const RmStatus status = file_.Delete(); status != RmStatus::Success)
    throw TableError::FromStatus(status);
  state_ = TableState::Browse;
  modified_ = false;
  saved_.clear();
  std::string key;
  if (Move(GetOp::Next, key)) {
    bof_ = eof_ = false;
  } else if (Move(GetOp::Previous, key)) {
    bof_ = false;
    eof_ = true;  // nothing follows: a loop "until Eof" ends here
  } else {
    PresentNone();
    bof_ = eof_ = true;
  }
}

std::uint64_t Table::RecordCount() const {
  CheckActive();
  std::uint64_t count = 0;
  if (const RmStatus status = file_.RecordCount(count); status != RmStatus::Success)
    throw TableError::FromStatus(status);
  return count;
}

RecordId Table::Bookmark() const {
  return hasRecord_ && state_ != TableState::Insert ? file_.CurrentRecord() : 0;
}

void Table::GotoBookmark(RecordId bookmark) {
  CheckActive();
  CheckBrowseMode();
  std::string key;
  std::string record;
  if (const RmStatus status = file_.GetDirect(bookmark, keyNumber_, key, record);
      status != RmStatus::Success)
    throw TableError::FromStatus(status);
  Present(std::move(record));
  bof_ = eof_ = false;
}

}  // namespace upfold
