#pragma once
// Direct record access: a table of 256 numbered file slots over the record manager. A file is
// opened into a slot by its DOS path (names matched without regard to case), positioned on a
// key and read record by record into a raw buffer or into a record description
// (MFFileStructure.h). The layer only reads: it never inserts, updates or deletes.
//
// Errors. Every failure raises AbortError carrying the whole message for the user; this layer
// shows nothing itself except the lock questions and the box of OpenStandardFile. Line breaks
// in messages are single carriage returns.
//
// Locks. Every read, keyed or not, takes its record's lock for the moment of the read and
// holds none afterwards. A read that meets a record another handle has locked (84), or a busy
// file (85), is tried again every few milliseconds; once the lock has lasted kLockWaitMs the user
// is asked "A record lock was encountered.  Retry?" (No raises "A record lock was encountered.").
// An open that meets a file lock (85, 88) does the same with the question "File:  <name>\r\rA file
// lock was encountered.  Retry?" (No raises the open error).
//
// One object serves one import run: the results window owns it and calls ReleaseAllFiles.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/MFFileStructure.h"
#include "platform/Locale.h"
#include "recman/DataFile.h"

namespace upfold {

class Clock;
class DosFs;
class Ui;

// One slot of the file table. It is in use while it has a handle, open while the handle's
// file is open.
struct TBtrFile {
  static constexpr std::size_t kKeyBufferSize = 255;

  struct Handle {
    DataFile file;
    int recordLength = 0;  // from Stat after opening
    int keyCount = 0;
    std::string keyBuffer = std::string(kKeyBufferSize, '\0');
    int keyNumber = 0;
  };

  std::string path;                         // DOS path as opened, without the code
  TMFFileStructure* description = nullptr;  // owned by the file table
  std::unique_ptr<Handle> handle;
};

// Raised after OpenStandardFile has told the user that a file cannot be opened: the program
// must end. Deliberately not an AbortError (nor a std::exception), so that callers which
// quietly catch abort-type errors let it through to the top level.
struct ProgramEndRequested {};

class DirectAccess {
 public:
  static constexpr int kSlots = 256;
  static constexpr std::uint64_t kLockWaitMs = 3000;
  // Pause between two tries of a locked file or record, so a wait does not spin the CPU.
  static constexpr std::uint32_t kLockRetryPauseMs = 10;

  // Standard file numbers used by callers.
  static constexpr int kCaseFile = 2;
  static constexpr int kFeeFile = 10;
  static constexpr int kHistoryFeeFile = 12;

  // fs resolves DOS paths, clock times the lock waits, ui asks the lock questions; all must
  // outlive this object. Date fields of descriptions follow `formats`.
  DirectAccess(DosFs& fs, Clock& clock, Ui& ui, DateFormats formats = {});
  ~DirectAccess();  // releases every file
  DirectAccess(const DirectAccess&) = delete;
  DirectAccess& operator=(const DirectAccess&) = delete;

  // The host data directory (DOS path, no trailing backslash) of the standard files.
  void SetDataPath(std::string dosDir) { dataPath_ = std::move(dosDir); }
  const std::string& DataPath() const { return dataPath_; }

  // On: an opening with a description code builds the code's fields from the field catalogue.
  // Off (the default): the code gives a bare description of a fixed length without fields.
  bool UseFieldCatalogue() const { return useFieldCatalogue_; }
  void SetUseFieldCatalogue(bool on) { useFieldCatalogue_ = on; }

  // Starts the record manager. False, with the status text in *failureText when given, when
  // it cannot be started; the loaded flag then stays clear.
  bool LoadRecordManager(std::string* failureText = nullptr);
  bool RecordManagerLoaded() const { return loaded_; }
  // For tests: the start-up result that the next loads meet (0 or 1016 start; 20 is a missing
  // record manager).
  void SimulateStartResult(int status) { startResult_ = status; }

  // Opens "path" or "path;CODE" into slot n (0-255) and attaches the code's description.
  // Raises: "WBTRV32.DLL is not loaded!" when the record manager cannot be started,
  // "Filenumber is not valid!" for n out of range,
  // "File already opened as number n:\r<path>" when the slot is in use, a code without a
  // description in the current mode, a file whose record length differs from the
  // description's buffer, and "The file <name> could not be opened.\r\rBtrieve status s.\r
  // <text>." for any other failure. A failed open leaves the slot free.
  void OpenFile(int n, const std::string& name, OpenMode mode = OpenMode::Normal);
  // Closes slot n's file when it is open; otherwise does nothing.
  void CloseFile(int n);
  bool IsFileOpen(int n) const;
  // Makes key k current; status 6 ("Unable to set an index for file #n. ...") when the file
  // has no key k.
  void SetKeyNumber(int n, int k);

  // Held reads of the record manager (DataFile.h) for every file open now or opened later;
  // the caller ends the stretches (DataFile::EndEveryReadStretch) every few moments. A read
  // that waits out a lock ends them first.
  void HoldReads(bool on);

  // Reads on the current key into *buffer, which becomes the record. endOfFile is set when
  // nothing is left (status 9), cleared otherwise.
  void GetFirstRecord(int n, std::string* buffer, bool& endOfFile);
  void GetNextRecord(int n, std::string* buffer, bool& endOfFile);
  // Keyed reads: key is the key's bytes as they stand in a record (cut to 255). False when
  // nothing matches (status 4) or nothing is left (status 9, which also sets endOfFile).
  // mode: 0 equal, 1 greater, 2 less, 3 greater or equal, 4 less or equal.
  bool GetEqualRecord(int n, std::string_view key, std::string* buffer);
  bool GetRecordByKey(int n, std::string_view key, std::string* buffer, bool& endOfFile, int mode);

  // Reads into a description's buffer (the record must fit it), splitting it into the fields
  // when the description's auto-split is on.
  void ReadNextInto(TMFFileStructure& d);
  bool ReadByKeyInto(TMFFileStructure& d, std::string_view key, int mode);

  // Opens standard file n (1-12, 14, 15) from the data directory with its default key, unless
  // it is open already. False, doing nothing, for a number without a standard opening. On
  // failure shows "Unable to open <name>. ..." and raises ProgramEndRequested.
  bool OpenStandardFile(int n);

  // Closes every file, frees every description and stops the record manager.
  void ReleaseAllFiles();

  // Slot n's description, or nullptr; valid until ReleaseAllFiles.
  TMFFileStructure* Description(int n) const;
  // Slot n's path as opened (without the code); empty when it is not in use.
  const std::string& FilePath(int n) const;

 private:
  // Slot n checked: record manager loaded, n in range and in use; for reading, a buffer given.
  TBtrFile::Handle& InUse(int n);
  TBtrFile::Handle& Checked(int n, const void* buffer);
  // One read attempt into record (at most bufferLength bytes) with the key buffer.
  RmStatus Fetch(TBtrFile::Handle& h, GetOp op, std::string& record, std::size_t bufferLength);
  // Fetch, waiting out record locks; raises "A record lock was encountered." when the user
  // gives up.
  RmStatus FetchWaiting(TBtrFile::Handle& h, GetOp op, std::string& record,
                        std::size_t bufferLength);
  // Reads with the lock wait. Scan: Success or EndOfFile; Keyed: also KeyNotFound. Any other
  // status raises the read or locate error.
  RmStatus Scan(TBtrFile::Handle& h, GetOp op, std::string& record, std::size_t bufferLength);
  void ScanRaw(int n, GetOp op, std::string* buffer, bool& endOfFile);
  RmStatus Keyed(TBtrFile::Handle& h, std::string_view key, int mode, std::string& record,
                 std::size_t bufferLength);
  // Puts a record read into d at the front of its buffer and splits it when d auto-splits.
  static void TakeInto(TMFFileStructure& d, const std::string& record);
  // Retries while isLock(status), asking `question` after each kLockWaitMs; returns the last
  // status (still a lock when the user answered No).
  RmStatus WaitOutLock(RmStatus status, const std::function<RmStatus()>& attempt,
                       bool (*isLock)(RmStatus), const std::string& question);

  DosFs& fs_;
  Clock& clock_;
  Ui& ui_;
  DateFormats formats_;
  std::string dataPath_;
  bool useFieldCatalogue_ = false;
  bool holdReads_ = false;
  bool loaded_ = false;
  int startResult_ = 0;
  std::vector<TBtrFile> slots_;
  std::vector<std::unique_ptr<TMFFileStructure>> descriptions_;
};

}  // namespace upfold
