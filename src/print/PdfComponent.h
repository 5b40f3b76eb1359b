#pragma once
// The suite's PDF report component, PDFREPXP.DLL in the program directory, is an in-process
// COM server that the suite's reports use. This program never uses it; before a report is
// made as a PDF it only makes sure the component is there and registered, and registers it
// (under HKEY_LOCAL_MACHINE\Software\CLASSES and HKEY_CLASSES_ROOT) when it is not.

#include <string>

namespace upfold {

class DosFs;
class Registry;
class Ui;

inline constexpr const char* kPdfClassId = "{C08D629F-1C7A-45A7-87F6-5C483BA32121}";
inline constexpr const char* kPdfTypeLibId = "{3D9C5168-E754-42BE-9816-7E12E9CF8BED}";
inline constexpr const char* kPdfProgId = "PDFREPORT_XP.PDFDocument";
inline constexpr const char* kPdfDllName = "PDFREPXP.DLL";

// 64-bit Windows for a 32-bit program: the variable PROCESSOR_ARCHITEW6432 set and not blank.
bool IsWindows64(const char* processorArchitew6432);
// For this process: a 64-bit build, or the variable as above.
bool IsWindows64();

// The old-style short path of the component for a directory: every part longer than eight
// characters or holding a blank or a dot becomes its first six characters (blanks removed,
// the extension kept) and "~1". "C:\Program Files\Mfw4\" gives C:\Progra~1\Mfw4\PDFREPXP.DLL.
std::string PdfShortPath(const std::string& directory);

struct PdfLocationQuery {
  bool found = false;
  std::string location;  // the registered DLL path, without surrounding blanks
  std::string report;    // when not found: what failed, lines separated by "\r"
};

// The registered location: the default value of InprocServer32 of the class under
// HKEY_LOCAL_MACHINE\Software\CLASSES\CLSID. Not found when the key, the value or the
// registry itself cannot be read, or the value is blank.
PdfLocationQuery QueryPdfLocation(const Registry& registry, bool windows64);

// Writes the component's registration for programDir (a trailing backslash optional). False
// after a message when the registry refuses; keys written before the refusal stay.
bool RegisterPdfComponent(Registry& registry, Ui& ui, const std::string& programDir);

// The check made before a PDF report: passes when the component is registered in the program
// directory, or the DLL is there; registers it when no registration is found. Every failure
// is explained in a message box.
bool CheckPdfComponent(Registry& registry, const DosFs& fs, Ui& ui, const std::string& pgmDir);

}  // namespace upfold
