#pragma once
// The command lines that hand the host batch to the posting program (Brask.exe) or, in bridge
// mode, to the bridge runner (KVX). The programs read the print destination from fixed
// positions, so every field is blank-filled and cut to its width whatever it is given.

#include <string>

#include "print/PrintChoices.h"

namespace upfold {

struct RunValues;

// Field widths.
inline constexpr std::size_t kFieldD = 3, kFieldP = 2, kFieldN = 30, kFieldF = 42, kFieldS = 1,
                             kFieldL = 3, kFieldT = 4, kFieldR = 1;
// Normal mode puts this many blanks in place of F1 for a file destination.
inline constexpr std::size_t kFileF1Blanks = 30;
// The bridge runner's argument has no blanks: each becomes this byte.
inline constexpr char kBridgeBlank = '\x84';

// The fields of both command lines, each exactly its width.
struct MergeFields {
  std::string D;   // normal: "101" for a file, else "256"; bridge: PrintDest as decimal text
  std::string P;   // pitch (PrntNum)
  std::string N;   // printer name
  std::string F1;  // file: name + Tessel directory; printer: name's first 42 characters
  std::string F2;  // file: the full file path; printer: name's characters 43 to 84
  std::string S;   // size code
  std::string L;   // page length
  std::string T;   // time name
  std::string R;   // "R"
};

MergeFields BuildMergeFields(const PrintChoices& choices, bool bridge);

// A print directory in the form the bridge runner reads: C:\PRINT gives /PRINT/C, C:\ gives
// //C, a blank directory /C. Other texts are taken apart by the same positions (from the fourth
// character on, then the first).
std::string GetTesselPathFmt(const std::string& directory);

// PgmDir\Brask.exe "IMPORT<D><F1><F2><S><L>" <SystemFileDate>, F1 replaced by 30 blanks for a
// file destination. The quoted argument reaches the program exactly as built: a double quote or
// backslash in a field that the Windows argument rules would change is escaped by those rules.
std::string NormalMergeCommandLine(const RunValues& values, const PrintChoices& choices,
                                   const MergeFields& fields);

// PgmDir\KVX  Mfvrn.ini <BridgeDebugSwitch> BRIDGE<PgmDir in Tessel form> <A>, where A is
// SystemFileDate, "TI", T, WSID (two characters), R, D, P, N, F1, F2, S and L, every blank made
// kBridgeBlank.
std::string BridgeMergeCommandLine(const RunValues& values, const MergeFields& fields);

}  // namespace upfold
