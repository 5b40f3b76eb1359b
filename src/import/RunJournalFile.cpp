#include "import/RunJournalFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/AppContext.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "import/RunJournalFileSlots.h"
#include "platform/DosFs.h"
#include "recman/DataFile.h"

namespace upfold {

namespace {

// Record: name (the batch's DOS path, or kRunName), kind, state, eight counters of twenty
// digits, the run's working date, the reject file pair and the host files' identities.
constexpr int kNameLength = 260;
constexpr int kKeyLength = 255;  // the record manager's longest key: names differ before it
constexpr int kNumberLength = 20;
constexpr int kNumbers = 9;
constexpr int kKindAt = kNameLength;
constexpr int kStateAt = kKindAt + 1;
constexpr int kNumbersAt = kStateAt + 1;
constexpr int kDateAt = kNumbersAt + kNumbers * kNumberLength;
constexpr int kRejectAt = kDateAt + 6;
constexpr int kRejectDescAt = kRejectAt + kNameLength;
constexpr int kTrinIdAt = kRejectDescAt + kNameLength;
constexpr int kIdLength = 64;
constexpr int kDescIdAt = kTrinIdAt + kIdLength;
// Which reject numbers (R01..R99) of the batch's name were taken when the batch started.
constexpr int kRejectSlots = 99;
constexpr int kSlotsAt = kDescIdAt + kIdLength;
constexpr int kRecordLength = 1200;
static_assert(kSlotsAt + kRejectSlots <= kRecordLength);

constexpr const char* kRunName = "*RUN*";
// Beside the host batch, but out of the way of whatever lists the data files.
constexpr const char* kJournalFolder = "Upfold";
constexpr char kBatchKind = 'B';
constexpr char kRunKind = 'R';
// Batch states; the run's are kStarted and kFinished.
constexpr char kStarted = 'S';
constexpr char kFinished = 'F';
constexpr char kRenamed = 'N';

FileSpec JournalSpec() {
  KeySpec name;
  name.segments.push_back({0, kKeyLength, KeyType::String, true});
  return FileSpec{kRecordLength, {name}};
}

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// The reject pair names of a remote batch: its file name up to the dot, "TRIN" becoming
// "DESC" for the description file, with ".Rnn".
std::pair<std::string, std::string> RejectStems(const std::string& remoteFile) {
  std::string name = UpperAscii(remoteFile.substr(remoteFile.find_last_of('\\') + 1));
  name = name.substr(0, name.find('.'));
  std::string desc = name;
  if (desc.rfind("TRIN", 0) == 0) desc.replace(0, 4, "DESC");
  return {name, desc};
}

std::string RejectName(const std::string& stem, int number) {
  char ext[8];
  std::snprintf(ext, sizeof ext, ".R%02d", number);
  return stem + ext;
}

std::uint64_t AutoIncOf(const std::string& key) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < 4 && i < key.size(); ++i)
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(key[i])) << (8 * i);
  return value;
}

}  // namespace

struct RunJournalFile::Entry {
  std::string name;
  char kind = kBatchKind;
  char state = kStarted;
  RecordMark mark;
  std::uint64_t recordCount = 0;
  std::uint64_t epoch = 0;  // tells this start of the batch from earlier ones
  std::string fileDate;
  std::string trinId, descId;  // run record only
  std::string rejectSlots;     // batch record: 'x' for a reject number taken at its start

  std::string Encode() const {
    std::string r(kRecordLength, ' ');
    const auto put = [&r](int at, int length, const std::string& text) {
      r.replace(at, length, LeftFit(text, length));
    };
    put(0, kNameLength, name);
    r[kKindAt] = kind;
    r[kStateAt] = state;
    const std::uint64_t numbers[kNumbers] = {
        mark.recordsDone,  mark.fileRejects, mark.hostBatchHigh,
        mark.hostDescHigh, mark.rejectHigh,  mark.rejectDescHigh,
        mark.nextSeq,      recordCount,      epoch};
    for (int i = 0; i < kNumbers; ++i) {
      char digits[kNumberLength + 1];
      std::snprintf(digits, sizeof digits, "%020llu", static_cast<unsigned long long>(numbers[i]));
      r.replace(kNumbersAt + i * kNumberLength, kNumberLength, digits);
    }
    put(kDateAt, 6, fileDate);
    put(kRejectAt, kNameLength, mark.rejectFile);
    put(kRejectDescAt, kNameLength, mark.rejectDescFile);
    put(kTrinIdAt, kIdLength, trinId);
    put(kDescIdAt, kIdLength, descId);
    put(kSlotsAt, kRejectSlots, rejectSlots);
    return r;
  }

  static Entry Decode(const std::string& r) {
    Entry e;
    const auto text = [&r](int at, int length) { return TrimRight(r.substr(at, length)); };
    e.name = text(0, kNameLength);
    e.kind = r[kKindAt];
    e.state = r[kStateAt];
    std::uint64_t numbers[kNumbers];
    for (int i = 0; i < kNumbers; ++i)
      numbers[i] = std::strtoull(r.substr(kNumbersAt + i * kNumberLength, kNumberLength).c_str(),
                                 nullptr, 10);
    e.mark.remoteFile = e.name;
    e.mark.recordsDone = numbers[0];
    e.mark.fileRejects = numbers[1];
    e.mark.hostBatchHigh = numbers[2];
    e.mark.hostDescHigh = numbers[3];
    e.mark.rejectHigh = numbers[4];
    e.mark.rejectDescHigh = numbers[5];
    e.mark.nextSeq = numbers[6];
    e.recordCount = numbers[7];
    e.epoch = numbers[8];
    e.fileDate = text(kDateAt, 6);
    e.mark.rejectFile = text(kRejectAt, kNameLength);
    e.mark.rejectDescFile = text(kRejectDescAt, kNameLength);
    e.trinId = text(kTrinIdAt, kIdLength);
    e.descId = text(kDescIdAt, kIdLength);
    e.rejectSlots = r.substr(kSlotsAt, kRejectSlots);
    return e;
  }

  // Records done and not done, so that continuing has something to do. A batch stopped
  // before its first record wrote nothing, unless the run never finished it.
  bool PartDone() const {
    return kind == kBatchKind && state != kRenamed && mark.recordsDone < recordCount &&
           (mark.recordsDone > 0 || state == kStarted);
  }
};

RunJournalFile::RunJournalFile(AppContext& ctx) : ctx_(ctx) {
  const RunValues& v = ctx_.values;
  folder_ = v.DataPath + "\\" + kJournalFolder;
  path_ = folder_ + "\\Journal" + v.WSID + ".jnl";
  trinPath_ = v.DataPath + "\\Trin" + v.WSID + ".s";
  descPath_ = v.DataPath + "\\Desc" + v.WSID + ".s";
  const std::optional<std::string> marks = ctx_.fs.ToHost(folder_ + "\\Journal" + v.WSID + ".jnm");
  if (marks) slots_ = std::make_unique<MarkSlots>(*marks);
}

RunJournalFile::~RunJournalFile() = default;

void RunJournalFile::Failed(const std::string& what, int status) {
  if (broken_) return;
  broken_ = true;
  ctx_.ui.Warning("Unable to " + what + " the import journal " + path_ + ".\r\r" +
                  StatusText(status) +
                  "\r\rThe import goes on, but if it is interrupted it cannot be continued "
                  "exactly." +
                  kContactLine);
}

bool RunJournalFile::Open() {
  if (broken_) return false;
  if (file_ && file_->IsOpen()) return true;
  const std::optional<std::string> host = ctx_.fs.ToHost(path_);
  if (!host) {
    Failed("find", StatusNumber(RmStatus::InvalidFileName));
    return false;
  }
  file_ = std::make_unique<DataFile>();
  if (!ctx_.fs.DirectoryExists(folder_) && !ctx_.fs.CreateDirectory(folder_)) {
    Failed("create", StatusNumber(RmStatus::CreateError));
    return false;
  }
  if (!ctx_.fs.FileExists(path_)) {
    const RmStatus created = DataFile::Create(*host, JournalSpec());
    if (created != RmStatus::Success && created != RmStatus::FileExists) {
      Failed("create", StatusNumber(created));
      return false;
    }
  }
  const RmStatus opened = file_->Open(*host);
  if (opened != RmStatus::Success) {
    Failed("open", StatusNumber(opened));
    return false;
  }
  if (file_->Definition() != JournalSpec()) {
    Failed("read", StatusNumber(RmStatus::NotADataFile));
    return false;
  }
  return true;
}

std::vector<RunJournalFile::Entry> RunJournalFile::ReadAll() {
  std::vector<Entry> entries;
  // No journal yet: no run has been recorded here, and nothing is made just to look.
  if (!(file_ && file_->IsOpen()) && !ctx_.fs.FileExists(path_)) return entries;
  if (!Open()) return entries;
  std::string key, record;
  RmStatus st = file_->GetFirst(0, key, record);
  for (; st == RmStatus::Success; st = file_->GetNext(0, key, record))
    entries.push_back(Entry::Decode(record));
  if (st != RmStatus::EndOfFile) Failed("read", StatusNumber(st));
  // The batch in progress has its newest mark in the slots.
  if (const std::optional<std::string> slot = slots_ ? slots_->Read() : std::nullopt) {
    const Entry marked = Entry::Decode(LeftFit(*slot, kRecordLength));
    for (Entry& e : entries)
      if (e.kind == kBatchKind && e.state == kStarted && e.epoch == marked.epoch &&
          UpperAscii(e.name) == UpperAscii(marked.name) &&
          marked.mark.recordsDone >= e.mark.recordsDone)
        e.mark = marked.mark;
  }
  return entries;
}

bool RunJournalFile::Store(const Entry& entry) {
  if (!Open()) return false;
  std::string record = entry.Encode();
  // RecordDone rewrites the record the file is on; anything else finds its record first.
  if (currentBatch_ != entry.name || file_->CurrentRecord() == 0) {
    std::string key = record.substr(0, kKeyLength), found;
    const RmStatus st = file_->GetEqual(0, key, found);
    if (st == RmStatus::KeyNotFound) {
      const RmStatus inserted = file_->Insert(record);
      if (inserted != RmStatus::Success) Failed("write", StatusNumber(inserted));
      return inserted == RmStatus::Success;
    }
    if (st != RmStatus::Success) {
      Failed("read", StatusNumber(st));
      return false;
    }
  }
  const RmStatus updated = file_->Update(record);
  if (updated != RmStatus::Success) Failed("write", StatusNumber(updated));
  return updated == RmStatus::Success;
}

std::string RunJournalFile::Identity(const std::string& dosPath) const {
  // The file's number and, where the file system keeps it, its birth time: a file deleted
  // and made again may get the same number, never the same birth time.
  const std::optional<std::string> host = ctx_.fs.ToHost(dosPath);
  struct statx info {};
  if (!host || ::statx(AT_FDCWD, host->c_str(), 0, STATX_INO | STATX_BTIME, &info) != 0) return {};
  std::string id = std::to_string(info.stx_dev_major) + ":" + std::to_string(info.stx_dev_minor) +
                   ":" + std::to_string(static_cast<unsigned long long>(info.stx_ino));
  if ((info.stx_mask & STATX_BTIME) != 0)
    id += ":" + std::to_string(static_cast<long long>(info.stx_btime.tv_sec)) + "." +
          std::to_string(info.stx_btime.tv_nsec);
  return id;
}

std::uint64_t RunJournalFile::HighestAutoInc(const std::string& dosPath) {
  const std::optional<std::string> host = ctx_.fs.ToHost(dosPath);
  DataFile file;
  if (!host || !ctx_.fs.FileExists(dosPath) || file.Open(*host) != RmStatus::Success) return 0;
  std::string key, record;
  return file.GetLast(0, key, record) == RmStatus::Success ? AutoIncOf(key) : 0;
}

std::optional<std::uint64_t> RunJournalFile::CountRecords(const std::string& dosPath) {
  const std::optional<std::string> host = ctx_.fs.ToHost(dosPath);
  DataFile file;
  std::uint64_t count = 0;
  if (!host || file.Open(*host) != RmStatus::Success ||
      file.RecordCount(count) != RmStatus::Success)
    return std::nullopt;
  return count;
}

bool RunJournalFile::RollBack(const std::string& dosPath, std::uint64_t high, bool checkIdentity,
                              const std::string& identity) {
  if (dosPath.empty() || !ctx_.fs.FileExists(dosPath)) return true;
  // A file made anew since the run (merged and recreated) holds nothing of the run.
  if (checkIdentity && (identity.empty() || Identity(dosPath) != identity)) return true;
  const std::optional<std::string> host = ctx_.fs.ToHost(dosPath);
  DataFile file;
  RmStatus st = host ? file.Open(*host) : RmStatus::InvalidFileName;
  std::string key, record;
  // The record at the mark must still be there: otherwise the file no longer holds the run's
  // records as they were, and nothing in it is the run's to remove.
  if (st == RmStatus::Success && high > 0) {
    key.assign(4, '\0');
    for (int i = 0; i < 4; ++i) key[i] = static_cast<char>((high >> (8 * i)) & 0xFF);
    st = file.GetEqual(0, key, record);
    if (st == RmStatus::KeyNotFound) return true;
  }
  while (st == RmStatus::Success) {
    st = file.GetLast(0, key, record);
    if (st != RmStatus::Success || AutoIncOf(key) <= high) break;
    st = file.Delete();
  }
  if (st == RmStatus::Success || st == RmStatus::EndOfFile) return true;
  ctx_.ui.Plain(
      "Unable to remove the unfinished transactions of the interrupted import from "
      "file " +
      dosPath + ".\r\r" + StatusText(st) + kContactLine);
  return false;
}

std::string RunJournalFile::RejectSlots(const std::string& remoteFile) const {
  const auto [stem, descStem] = RejectStems(remoteFile);
  std::string slots(kRejectSlots, '.');
  for (const DirEntry& file : ctx_.fs.List(ctx_.values.DataPath + "\\*.R??")) {
    const std::string name = UpperAscii(file.name);
    for (int n = 1; n <= kRejectSlots; ++n)
      if (name == RejectName(stem, n) || name == RejectName(descStem, n)) slots[n - 1] = 'x';
  }
  return slots;
}

bool RunJournalFile::RemoveNewRejectPairs(const Entry& entry) {
  // The batch had no reject when its last record was marked, so a reject pair made since
  // holds nothing but the unfinished record.
  if (entry.rejectSlots.size() != kRejectSlots) return true;
  const std::string now = RejectSlots(entry.name);
  const auto [stem, descStem] = RejectStems(entry.name);
  for (int n = 1; n <= kRejectSlots; ++n) {
    if (entry.rejectSlots[n - 1] == 'x' || now[n - 1] != 'x') continue;
    for (const std::string& s : {stem, descStem}) {
      const std::string path = ctx_.values.DataPath + "\\" + RejectName(s, n);
      if (!ctx_.fs.FileExists(path)) continue;
      if (FsResult removed = ctx_.fs.DeleteFile(path); !removed) {
        ctx_.ui.Plain("Unable to remove the unfinished reject file of the interrupted import " +
                      path + ".\r\r" + removed.message + kContactLine);
        return false;
      }
    }
  }
  return true;
}

std::optional<InterruptedBatch> RunJournalFile::FindInterrupted() {
  for (const Entry& e : ReadAll()) {
    if (!e.PartDone()) continue;
    return InterruptedBatch{e.name, e.mark.recordsDone, e.recordCount, e.fileDate};
  }
  return std::nullopt;
}

bool RunJournalFile::PrepareResume() {
  if (resuming_) return true;
  resuming_ = RollBackUnfinished();
  return resuming_;
}

bool RunJournalFile::StartAfresh() {
  if (!RollBackUnfinished()) return false;
  Discard();
  return true;
}

bool RunJournalFile::RollBackUnfinished() {
  const std::vector<Entry> entries = ReadAll();
  if (broken_) return true;  // nothing known: the batches start afresh
  std::uint64_t trinHigh = 0, descHigh = 0;
  const Entry* run = nullptr;
  for (const Entry& e : entries) {
    if (e.kind == kRunKind) run = &e;
    trinHigh = std::max(trinHigh, e.mark.hostBatchHigh);
    descHigh = std::max(descHigh, e.mark.hostDescHigh);
  }
  bool ok = true;
  if (run != nullptr) {
    ok = RollBack(trinPath_, trinHigh, true, run->trinId) &&
         RollBack(descPath_, descHigh, true, run->descId);
  }
  for (const Entry& e : entries) {
    if (!ok || e.kind != kBatchKind || e.state != kStarted) continue;
    if (e.mark.rejectFile.empty())
      ok = RemoveNewRejectPairs(e);
    else
      ok = RollBack(e.mark.rejectFile, e.mark.rejectHigh, false, {}) &&
           RollBack(e.mark.rejectDescFile, e.mark.rejectDescHigh, false, {});
  }
  return ok;
}

void RunJournalFile::Discard() {
  resuming_ = false;
  currentBatch_.clear();
  if (!Open()) return;
  std::string key, record;
  RmStatus st;
  while ((st = file_->GetFirst(0, key, record)) == RmStatus::Success) {
    st = file_->Delete();
    if (st != RmStatus::Success) break;
  }
  if (st != RmStatus::EndOfFile) Failed("clear", StatusNumber(st));
  if (slots_ && !slots_->Clear()) Failed("clear", StatusNumber(RmStatus::IoError));
}

void RunJournalFile::RunStarted(const std::vector<std::string>& remoteFiles) {
  if (startMarker_) startMarker_(remoteFiles);
  if (!resuming_) Discard();
  currentBatch_.clear();
  Entry run;
  run.name = kRunName;
  run.kind = kRunKind;
  run.state = kStarted;
  run.fileDate = ctx_.values.SystemFileDate;
  // What the host files held before the run's first record: anything above is the run's.
  run.mark.hostBatchHigh = HighestAutoInc(trinPath_);
  run.mark.hostDescHigh = HighestAutoInc(descPath_);
  run.trinId = Identity(trinPath_);
  run.descId = Identity(descPath_);
  Store(run);
}

std::optional<BatchResume> RunJournalFile::BatchStarting(const std::string& remoteFile) {
  currentBatch_.clear();
  current_.reset();
  if (!Open()) return std::nullopt;
  const std::uint64_t count = CountRecords(remoteFile).value_or(0);
  std::optional<Entry> found;
  std::uint64_t epoch = 0;
  if (const std::optional<std::string> slot = slots_ ? slots_->Read() : std::nullopt)
    epoch = Entry::Decode(LeftFit(*slot, kRecordLength)).epoch;
  for (const Entry& e : ReadAll()) {
    epoch = std::max(epoch, e.epoch);
    if (resuming_ && e.kind == kBatchKind && UpperAscii(e.name) == UpperAscii(remoteFile))
      found = e;
  }
  // The same batch as before, or one that merely bears its name.
  const bool same = found && found->kind == kBatchKind && found->recordCount == count;
  Entry entry;
  if (same) {
    entry = *found;
    entry.state = kStarted;
  } else {
    entry.name = remoteFile;
    entry.recordCount = count;
    entry.fileDate = ctx_.values.SystemFileDate;
  }
  entry.mark.remoteFile = remoteFile;
  entry.epoch = epoch + 1;
  entry.rejectSlots = RejectSlots(remoteFile);
  if (!Store(entry)) return std::nullopt;
  currentBatch_ = entry.name;
  current_ = std::make_unique<Entry>(entry);
  if (!same) return std::nullopt;
  return BatchResume{entry.mark};
}

void RunJournalFile::RecordDone(const RecordMark& mark) {
  if (!current_ || broken_) return;
  const std::string name = current_->name;
  current_->mark = mark;
  current_->mark.remoteFile = name;
  if (slots_ && slots_->Write(current_->Encode())) return;
  // Without the slots every mark goes into the journal itself, slower but as safe.
  Store(*current_);
}

void RunJournalFile::BatchFinished(const std::string& remoteFile, bool renamed) {
  (void)remoteFile;
  if (!current_ || broken_) return;
  current_->state = renamed ? kRenamed : kFinished;
  Store(*current_);
  currentBatch_.clear();
  current_.reset();
}

void RunJournalFile::RunFinished(bool errorsOccurred) {
  (void)errorsOccurred;
  if (broken_) return;
  std::string key = LeftFit(kRunName, kKeyLength), record;
  if (!Open() || file_->GetEqual(0, key, record) != RmStatus::Success) return;
  Entry run = Entry::Decode(record);
  run.state = kFinished;
  currentBatch_ = run.name;
  Store(run);
  currentBatch_.clear();
  resuming_ = false;
}

}  // namespace upfold
