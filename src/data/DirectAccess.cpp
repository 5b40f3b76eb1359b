#include "data/DirectAccess.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "app/Ui.h"
#include "data/AbortError.h"
#include "data/DirectAccessDescriptions.h"
#include "platform/Clock.h"
#include "platform/DosFs.h"

namespace upfold {

namespace {

constexpr const char* kNotLoaded = "WBTRV32.DLL is not loaded!";
constexpr const char* kBadFileNumber = "Filenumber is not valid!";
constexpr const char* kBadBuffer = "Databuffer is invalid!";
constexpr const char* kRecordLock = "A record lock was encountered.";

// The record manager's start-up results that leave it running (1016: already running).
constexpr int kStarted = 0;
constexpr int kAlreadyStarted = 1016;

struct StandardFile {
  int number;
  const char* name;
  int defaultKey;  // -1: no standard opening
};

constexpr StandardFile kStandardFiles[] = {
    {1, "YClient.lf;CL", 1},    {2, "YCase.lf;CA", 1}, {3, "YEmpl.lf;EM", 1},
    {4, "FSplit.lf;FS", 2},     {5, "Cdesc.lf;CD", 1}, {6, "YTable.lf;TB", 3},
    {7, "CaseAddr.lf;AD", 1},   {8, "TSC.lc;SC", 1},   {9, "Sysop.lc;SO", 0},
    {10, "Fee.lf;FE", 1},       {11, "Bill.lf;BI", 1}, {12, "HFee.lf", 1},
    {13, "HBill.lf", -1},       {14, "Cal.lf;DC", 2},  {15, "TrDesc.lf;TD", 1},
    {21, "Conflict.lc;CF", -1},
};

bool IsRecordLock(RmStatus s) {
  return s == RmStatus::RecordLocked || s == RmStatus::FileLocked;
}
bool IsFileLock(RmStatus s) {
  return s == RmStatus::FileLocked || s == RmStatus::IncompatibleMode;
}

// "Btrieve status 12.\rThe MicroKernel cannot find the specified file"
std::string StatusLines(RmStatus s) {
  return "Btrieve status " + std::to_string(StatusNumber(s)) + ".\r" + StatusText(s);
}

std::string OpenFailure(const std::string& name, const std::string& reason) {
  return "The file " + name + " could not be opened.\r\r" + reason;
}

// Bytes a raw buffer may take: the file's whole record.
std::size_t RecordSize(const TBtrFile::Handle& h) {
  return static_cast<std::size_t>(h.recordLength);
}

std::optional<GetOp> KeyedOp(int mode) {
  switch (mode) {
    case 0:
      return GetOp::Equal;
    case 1:
      return GetOp::Greater;
    case 2:
      return GetOp::Less;
    case 3:
      return GetOp::GreaterOrEqual;
    case 4:
      return GetOp::LessOrEqual;
    default:
      return std::nullopt;
  }
}

}  // namespace

DirectAccess::DirectAccess(DosFs& fs, Clock& clock, Ui& ui, DateFormats formats)
    : fs_(fs), clock_(clock), ui_(ui), formats_(std::move(formats)), slots_(kSlots) {}

DirectAccess::~DirectAccess() {
  ReleaseAllFiles();
}

bool DirectAccess::LoadRecordManager(std::string* failureText) {
  // The engine is linked in; only a simulated start-up result can keep it from running.
  if (startResult_ == kStarted || startResult_ == kAlreadyStarted) {
    loaded_ = true;
    return true;
  }
  if (failureText != nullptr) *failureText = StatusText(startResult_);
  return false;
}

void DirectAccess::OpenFile(int n, const std::string& name, OpenMode mode) {
  // Going on without the record manager would only fail at the first read; say so here.
  if (!loaded_ && !LoadRecordManager()) throw AbortError(kNotLoaded);
  if (n < 0 || n >= kSlots) throw AbortError(kBadFileNumber);
  TBtrFile& slot = slots_[static_cast<std::size_t>(n)];
  if (slot.handle)
    throw AbortError("File already opened as number " + std::to_string(n) + ":\r" + slot.path);

  const std::size_t semicolon = name.find(';');
  const std::string path = name.substr(0, semicolon);
  std::unique_ptr<TMFFileStructure> description;
  if (semicolon != std::string::npos) {
    const std::string code = name.substr(semicolon + 1);
    description = MakeDescription(code, useFieldCatalogue_, clock_, formats_);
    if (!description) {
      if (!IsDescriptionCode(code))
        throw AbortError(OpenFailure(name, "\"" + code + "\" is not a record description code."));
      throw AbortError(OpenFailure(
          name,
          "The record description " + code + " is not available " +
              (useFieldCatalogue_ ? "in the field catalogue." : "without the field catalogue.")));
    }
  }

  const std::optional<std::string> hostPath = fs_.ToHost(path);
  auto handle = std::make_unique<TBtrFile::Handle>();
  // A drive that is not mapped (or a UNC path) leads to no file at all.
  auto attempt = [&] {
    return hostPath ? handle->file.Open(*hostPath, mode) : RmStatus::FileNotFound;
  };
  RmStatus st = attempt();
  if (IsFileLock(st))
    st = WaitOutLock(st, attempt, IsFileLock,
                     "File:  " + name + "\r\rA file lock was encountered.  Retry?");
  FileStat stat;
  if (st == RmStatus::Success) st = handle->file.Stat(stat);
  if (st != RmStatus::Success) throw AbortError(OpenFailure(name, StatusLines(st) + "."));

  handle->recordLength = stat.fileSpec.recordLength;
  handle->keyCount = static_cast<int>(stat.fileSpec.keys.size());
  if (description) {
    const std::size_t expected = description->TakeRecord().size();
    if (expected != static_cast<std::size_t>(handle->recordLength))
      throw AbortError(OpenFailure(name, "Its records are " + std::to_string(handle->recordLength) +
                                             " bytes long; the record description expects " +
                                             std::to_string(expected) + "."));
    description->SetFileNumber(n);
  }
  handle->file.HoldReads(holdReads_);
  slot.handle = std::move(handle);
  slot.path = path;
  slot.description = description.get();
  if (description) descriptions_.push_back(std::move(description));
}

void DirectAccess::CloseFile(int n) {
  if (!IsFileOpen(n)) return;
  TBtrFile& slot = slots_[static_cast<std::size_t>(n)];
  const RmStatus st = slot.handle->file.Close();
  if (st != RmStatus::Success)
    throw AbortError("The file " + slot.path + " could not be closed.\r\r" + StatusLines(st));
  slot.path.clear();
  slot.handle.reset();
}

void DirectAccess::HoldReads(bool on) {
  holdReads_ = on;
  for (TBtrFile& slot : slots_)
    if (slot.handle) slot.handle->file.HoldReads(on);
}

bool DirectAccess::IsFileOpen(int n) const {
  if (n < 0 || n >= kSlots) return false;
  const TBtrFile& slot = slots_[static_cast<std::size_t>(n)];
  return slot.handle && slot.handle->file.IsOpen();
}

void DirectAccess::SetKeyNumber(int n, int k) {
  TBtrFile::Handle& h = InUse(n);
  if (k < 0 || k >= h.keyCount)
    throw AbortError("Unable to set an index for file #" + std::to_string(n) + ".\r\r" +
                     StatusLines(RmStatus::InvalidKeyNumber));
  h.keyNumber = k;
}

TBtrFile::Handle& DirectAccess::InUse(int n) {
  if (!loaded_) throw AbortError(kNotLoaded);
  if (n < 0 || n >= kSlots || !slots_[static_cast<std::size_t>(n)].handle)
    throw AbortError(kBadFileNumber);
  return *slots_[static_cast<std::size_t>(n)].handle;
}

TBtrFile::Handle& DirectAccess::Checked(int n, const void* buffer) {
  TBtrFile::Handle& h = InUse(n);
  if (buffer == nullptr) throw AbortError(kBadBuffer);
  return h;
}

RmStatus DirectAccess::Fetch(TBtrFile::Handle& h, GetOp op, std::string& record,
                             std::size_t bufferLength) {
  // A record another program has locked for a change reads as locked (84) and is waited for
  // rather than read before the change.
  std::string key = h.keyBuffer;
  const RmStatus st = h.file.Get(op, h.keyNumber, key, record, bufferLength, RecordLock::Test);
  if (st == RmStatus::Success) {
    key.resize(TBtrFile::kKeyBufferSize, '\0');
    h.keyBuffer = std::move(key);
  }
  return st;
}

RmStatus DirectAccess::FetchWaiting(TBtrFile::Handle& h, GetOp op, std::string& record,
                                    std::size_t bufferLength) {
  RmStatus st = Fetch(h, op, record, bufferLength);
  if (!IsRecordLock(st)) return st;
  st = WaitOutLock(
      st, [&] { return Fetch(h, op, record, bufferLength); }, IsRecordLock,
      "A record lock was encountered.  Retry?");
  if (IsRecordLock(st)) throw AbortError(kRecordLock);
  return st;
}

RmStatus DirectAccess::WaitOutLock(RmStatus status, const std::function<RmStatus()>& attempt,
                                   bool (*isLock)(RmStatus), const std::string& question) {
  // Whoever holds the lock may itself be waiting to commit behind this program's held reads.
  if (isLock(status)) DataFile::EndEveryReadStretch();
  std::uint64_t deadline = clock_.TickCount() + kLockWaitMs;
  while (isLock(status)) {
    if (clock_.TickCount() >= deadline) {
      if (!ui_.Confirm(question)) return status;
      deadline = clock_.TickCount() + kLockWaitMs;
    }
    clock_.Sleep(kLockRetryPauseMs);
    status = attempt();
  }
  return status;
}

RmStatus DirectAccess::Scan(TBtrFile::Handle& h, GetOp op, std::string& record,
                            std::size_t bufferLength) {
  const RmStatus st = FetchWaiting(h, op, record, bufferLength);
  if (st != RmStatus::Success && st != RmStatus::EndOfFile)
    throw AbortError("A record could not be read from the file.\r\r" + StatusLines(st));
  return st;
}

RmStatus DirectAccess::Keyed(TBtrFile::Handle& h, std::string_view key, int mode,
                             std::string& record, std::size_t bufferLength) {
  const std::size_t length = std::min(key.size(), TBtrFile::kKeyBufferSize);
  h.keyBuffer.assign(key.substr(0, length));
  h.keyBuffer.resize(TBtrFile::kKeyBufferSize, '\0');
  const std::optional<GetOp> op = KeyedOp(mode);
  // A keyed read waits out a lock too: a locked record is there, not "not found".
  const RmStatus st = op ? FetchWaiting(h, *op, record, bufferLength) : RmStatus::InvalidOperation;
  if (st != RmStatus::Success && st != RmStatus::KeyNotFound && st != RmStatus::EndOfFile)
    throw AbortError("A record could not be located in the file.\r\r" + StatusLines(st));
  return st;
}

void DirectAccess::ScanRaw(int n, GetOp op, std::string* buffer, bool& endOfFile) {
  TBtrFile::Handle& h = Checked(n, buffer);
  std::string record;
  const RmStatus st = Scan(h, op, record, RecordSize(h));
  endOfFile = st == RmStatus::EndOfFile;
  if (st == RmStatus::Success) *buffer = std::move(record);
}

void DirectAccess::GetFirstRecord(int n, std::string* buffer, bool& endOfFile) {
  ScanRaw(n, GetOp::First, buffer, endOfFile);
}

void DirectAccess::GetNextRecord(int n, std::string* buffer, bool& endOfFile) {
  ScanRaw(n, GetOp::Next, buffer, endOfFile);
}

bool DirectAccess::GetEqualRecord(int n, std::string_view key, std::string* buffer) {
  bool endOfFile = false;
  return GetRecordByKey(n, key, buffer, endOfFile, 0);
}

bool DirectAccess::GetRecordByKey(int n, std::string_view key, std::string* buffer, bool& endOfFile,
                                  int mode) {
  TBtrFile::Handle& h = Checked(n, buffer);
  std::string record;
  const RmStatus st = Keyed(h, key, mode, record, RecordSize(h));
  endOfFile = st == RmStatus::EndOfFile;
  if (st != RmStatus::Success) return false;
  *buffer = std::move(record);
  return true;
}

void DirectAccess::ReadNextInto(TMFFileStructure& d) {
  TBtrFile::Handle& h = Checked(d.FileNumber(), &d);
  std::string record;
  const RmStatus st = Scan(h, GetOp::Next, record, d.TakeRecord().size());
  d.EndFlag() = st == RmStatus::EndOfFile;
  if (st == RmStatus::Success) TakeInto(d, record);
}

bool DirectAccess::ReadByKeyInto(TMFFileStructure& d, std::string_view key, int mode) {
  TBtrFile::Handle& h = Checked(d.FileNumber(), &d);
  std::string record;
  const RmStatus st = Keyed(h, key, mode, record, d.TakeRecord().size());
  d.EndFlag() = st == RmStatus::EndOfFile;
  if (st != RmStatus::Success) return false;
  TakeInto(d, record);
  return true;
}

void DirectAccess::TakeInto(TMFFileStructure& d, const std::string& record) {
  // The record manager refuses a record longer than the buffer (22), so it fits.
  d.TakeRecord().replace(0, record.size(), record);
  if (d.AutoSplit()) d.SplitRecord();
}

bool DirectAccess::OpenStandardFile(int n) {
  const StandardFile* file = nullptr;
  for (const StandardFile& f : kStandardFiles)
    if (f.number == n && f.defaultKey >= 0) file = &f;
  if (file == nullptr) return false;
  if (IsFileOpen(n)) return true;
  try {
    OpenFile(n, dataPath_ + "\\" + file->name + (n == kHistoryFeeFile ? ";HF" : ""));
    SetKeyNumber(n, file->defaultKey);
    TMFFileStructure* d = Description(n);
    if (d != nullptr && n != 5 && n != 9) d->SetAutoSplit(true);
  } catch (const AbortError&) {
    try {
      CloseFile(n);
    } catch (const AbortError&) {
    }
    ui_.Error(std::string("Unable to open ") + file->name +
              ".\r\rYou will not be able to perform this operation at this time." + kContactLine);
    throw ProgramEndRequested();
  }
  return true;
}

void DirectAccess::ReleaseAllFiles() {
  for (TBtrFile& slot : slots_) {
    slot.handle.reset();
    slot.path.clear();
    slot.description = nullptr;
  }
  descriptions_.clear();
  loaded_ = false;
}

TMFFileStructure* DirectAccess::Description(int n) const {
  if (n < 0 || n >= kSlots) return nullptr;
  return slots_[static_cast<std::size_t>(n)].description;
}

const std::string& DirectAccess::FilePath(int n) const {
  static const std::string kNone;
  if (n < 0 || n >= kSlots) return kNone;
  return slots_[static_cast<std::size_t>(n)].path;
}

}  // namespace upfold
