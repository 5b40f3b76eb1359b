#pragma once
// Status codes of the record manager. Every operation returns one; 0 is success. The numbers
// are the record manager's own, so messages can show "Btrieve status " + number, and the
// program's string 5000 + status is StatusText(status).

namespace upfold {

enum class RmStatus : int {
  Success = 0,
  InvalidOperation = 1,
  IoError = 2,  // the file is truncated or damaged, or the disk failed
  FileNotOpen = 3,
  KeyNotFound = 4,   // Get Equal found nothing
  DuplicateKey = 5,  // a key without duplicates already holds the value
  InvalidKeyNumber = 6,
  // Update/Delete with no current record, Get Next/Previous with no position
  InvalidPositioning = 8,
  EndOfFile = 9,  // nothing further along the key path
  InvalidFileName = 11,
  FileNotFound = 12,
  DiskFull = 18,
  KeyBufferTooShort = 21,
  DataBufferTooShort = 22,  // a record buffer shorter than the file's record length
  InvalidRecordBufferSize = 24,
  CreateError = 25,
  InvalidKeyCount = 26,
  InvalidKeyPosition = 27,
  InvalidRecordLength = 28,
  InvalidKeyLength = 29,
  NotADataFile = 30,  // not SQLite, not our catalogue, or another format version
  TransactionError = 36,   // an End Transaction that could not commit: nothing of it was kept
  TransactionActive = 37,  // Begin Transaction while the handle already has one
  NoTransaction = 39,      // End/Abort Transaction without a Begin
  OperationNotAllowed = 41,
  InvalidRecordAddress = 43,
  InvalidKeyFlags = 45,
  AccessDenied = 46,  // no permission, or a write on a file opened read-only
  FileExists = 59,
  RecordConflict = 80,    // another process deleted the current record meanwhile
  RecordLocked = 84,      // another handle holds a lock on the record
  FileLocked = 85,        // another handle holds the file exclusively, or the database is busy
  IncompatibleMode = 88,  // an exclusive open while others have the file open
};

constexpr int StatusNumber(RmStatus status) {
  return static_cast<int>(status);
}

// The record manager's description of a status ("The file is not open"); empty for a number
// the table does not hold.
const char* StatusText(int status);
inline const char* StatusText(RmStatus status) {
  return StatusText(StatusNumber(status));
}

}  // namespace upfold
