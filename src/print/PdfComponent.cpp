#include "print/PdfComponent.h"

#include <cstdlib>

#include "app/Ui.h"
#include "data/FixedText.h"
#include "platform/DosFs.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"
#include "print/PrintFileName.h"

namespace upfold {

namespace {

const std::string kMachineClassKey = std::string("Software\\CLASSES\\CLSID\\") + kPdfClassId;
const std::string kRootClassKey = std::string("CLSID\\") + kPdfClassId;

// Windows error codes, as the diagnostic report gives them.
constexpr int kErrorFileNotFound = 2;
constexpr int kErrorInvalidData = 13;
constexpr int kErrorBadDatabase = 1009;

std::string Upper(std::string text) {
  for (char& c : text) c = Cp1252Upper(c);
  return text;
}

std::string WithoutTrailingBackslashes(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string ShortPart(const std::string& part) {
  if (part.size() <= 8 && part.find_first_of(" .") == std::string::npos) return part;
  std::string squeezed;
  for (char c : part) {
    if (c != ' ') squeezed += c;
  }
  const auto dot = squeezed.find('.');
  const std::string extension = dot == std::string::npos ? "" : squeezed.substr(dot);
  return squeezed.substr(0, std::min<std::size_t>(dot, 6)) + "~1" + extension;
}

// The registered DLL lies in the program directory, written out or in the short form.
bool InProgramDirectory(const std::string& location, const std::string& pgmDir) {
  const auto slash = location.rfind('\\');
  if (slash == std::string::npos) return false;
  const std::string folder = Upper(location.substr(0, slash));
  const std::string shortPath = PdfShortPath(pgmDir);
  return folder == Upper(WithoutTrailingBackslashes(Trim(pgmDir))) ||
         folder == Upper(shortPath.substr(0, shortPath.rfind('\\')));
}

}  // namespace

bool IsWindows64(const char* processorArchitew6432) {
  return processorArchitew6432 != nullptr && !Trim(processorArchitew6432).empty();
}

bool IsWindows64() {
  return sizeof(void*) == 8 || IsWindows64(std::getenv("PROCESSOR_ARCHITEW6432"));
}

std::string PdfShortPath(const std::string& directory) {
  std::string result;
  std::size_t start = 0;
  bool first = true;
  // The drive, then every part between two backslashes.
  for (auto slash = directory.find('\\'); slash != std::string::npos;
       slash = directory.find('\\', start)) {
    result += (first ? "" : "\\") + ShortPart(directory.substr(start, slash - start));
    first = false;
    start = slash + 1;
  }
  if (first) return directory + "\\" + kPdfDllName;  // no backslash at all
  // A directory given without its final backslash keeps its last part too.
  if (start < directory.size()) result += "\\" + ShortPart(directory.substr(start));
  return result + "\\" + kPdfDllName;
}

PdfLocationQuery QueryPdfLocation(const Registry& registry, bool windows64) {
  PdfLocationQuery query;
  const std::string key = kMachineClassKey + "\\InprocServer32";
  std::string report = windows64 ? "64 bit Windows" : "32 bit Windows";
  const auto openFailed = [&](int code) {
    query.report = report + "\rOpenKey returned " + std::to_string(code) +
                   "\rUnsuccessful OpenKey:  LastError is " + std::to_string(code);
    return query;
  };
  const auto queryFailed = [&](int code) {
    query.report = report + "\rOpenKey returned 0\rQuery Key returned " + std::to_string(code) +
                   "\rUnsuccessful query:  LastError is " + std::to_string(code);
    return query;
  };
  try {
    if (!registry.KeyExists(Hive::LocalMachine, key)) return openFailed(kErrorFileNotFound);
  } catch (const RegistryError&) {
    return openFailed(kErrorBadDatabase);
  }
  std::optional<std::string> value;
  try {
    value = registry.ReadString(Hive::LocalMachine, key, "");
  } catch (const RegistryError&) {
    return queryFailed(kErrorInvalidData);
  }
  if (!value) return queryFailed(kErrorFileNotFound);
  query.location = Trim(value->substr(0, 511));
  query.found = !query.location.empty();
  return query;
}

bool RegisterPdfComponent(Registry& registry, Ui& ui, const std::string& programDir) {
  try {
    registry.KeyExists(Hive::LocalMachine, "Software");
  } catch (const RegistryError&) {
    ui.Information(std::string("Unable to open the registry at this time.") + kContactLine);
    return false;
  }
  int step = 0;  // values written so far, and the short path
  std::string shortPath;
  std::string firstError;
  const auto write = [&](Hive hive, const std::string& key, const std::string& name,
                         const std::string& value) {
    registry.WriteString(hive, key, name, value);
    ++step;
  };
  try {
    const std::string& k = kMachineClassKey;
    write(Hive::LocalMachine, k, "", "PDFDocument Object");
    write(Hive::LocalMachine, k + "\\TypeLib", "", kPdfTypeLibId);
    shortPath = PdfShortPath(programDir);
    ++step;
    write(Hive::LocalMachine, k + "\\TypeLib\\1.0", "", "PDFREPORT_XP library");
    write(Hive::LocalMachine, k + "\\TypeLib\\1.0\\FLAGS", "", "0");
    write(Hive::LocalMachine, k + "\\TypeLib\\1.0\\0\\Win32", "", shortPath);
    write(Hive::LocalMachine, k + "\\InprocServer32", "", shortPath);
    write(Hive::LocalMachine, k + "\\InprocServer32", "ThreadingModel", "Both");
    write(Hive::LocalMachine, k + "\\ProgID", "", kPdfProgId);
    write(Hive::LocalMachine, k + "\\Version", "", "1.0");
  } catch (const RegistryError& error) {
    firstError = error.what();
  }
  int failedAt = step;
  if (firstError.empty()) {
    // The classes root gets every value even when one of them is refused.
    const std::string& k = kRootClassKey;
    const struct {
      std::string key;
      const char* name;
      std::string value;
    } rootValues[] = {{k, "", "PDFDocument Object"},
                      {k + "\\TypeLib", "", kPdfTypeLibId},
                      {k + "\\InprocServer32", "", shortPath},
                      {k + "\\InprocServer32", "ThreadingModel", "Both"},
                      {k + "\\ProgID", "", kPdfProgId},
                      {k + "\\Version", "", "1.0"}};
    for (const auto& v : rootValues) {
      try {
        write(Hive::ClassesRoot, v.key, v.name, v.value);
      } catch (const RegistryError& error) {
        if (firstError.empty()) {
          firstError = error.what();
          failedAt = step;
        }
      }
    }
  }
  if (firstError.empty()) return true;
  ui.Information("Unable to set the PDF Creation Values at this time.\r\r(Error code = " +
                 std::to_string(failedAt) + ")\r\rProgram path is " + programDir +
                 ".\r\rDos path value is " + shortPath + "\r\r" + firstError + kContactLine);
  return false;
}

bool CheckPdfComponent(Registry& registry, const DosFs& fs, Ui& ui, const std::string& pgmDir) {
  const PdfLocationQuery query = QueryPdfLocation(registry, IsWindows64());
  if (!query.report.empty()) ui.Error("An error was encountered: \r\r" + query.report);
  if (query.found) {
    if (InProgramDirectory(query.location, pgmDir)) return true;
    if (fs.FileExists(DoPrintPathFileName(pgmDir, kPdfDllName))) return true;
    ui.Error("It appears that the file PDFREPXP.DLL is not in the Marrowfield program folder (" +
             pgmDir +
             ").  You will need to copy this file to the correct location before you can print "
             "a report in PDF format.");
    return false;
  }
  if (RegisterPdfComponent(registry, ui, DoPrintPathFileName(pgmDir, ""))) return true;
  ui.Information(
      std::string("Marrowfield is unable to gain access to a portion of the Windows Registry "
                  "that appears to require permissions or user rights that are currently not "
                  "in place.  \r\rTo resolve this problem, find the program 'MFREGFIX' in your "
                  "Marrowfield program folder, RIGHT-CLICK on it and select 'RUN AS "
                  "ADMINISTRATOR'.  Select 'Yes' on the next window that appears and then "
                  "click on 'Write PDFREPORT values to registry'.\r\rYou will not be able to use "
                  "Marrowfield's PDF creation feature until this is accomplished.") +
      kContactLine);
  return false;
}

}  // namespace upfold

