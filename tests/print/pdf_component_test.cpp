// The PDF component check: the registered location, the DLL in the program directory, and
// the registration written when none is found.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/Ui.h"
#include "print/HostFixture.h"
#include "print/PdfComponent.h"

namespace upfold {
namespace {

const std::string kMachineKey =
    "Software\\CLASSES\\CLSID\\{C08D629F-1C7A-45A7-87F6-5C483BA32121}";
const std::string kRootKey = "CLSID\\{C08D629F-1C7A-45A7-87F6-5C483BA32121}";
const std::string kLocationKey = kMachineKey + "\\InprocServer32";

const std::string kNeedsAdministrator =
    "Marrowfield is unable to gain access to a portion of the Windows Registry that appears to "
    "require permissions or user rights that are currently not in place.  \r\rTo resolve this "
    "problem, find the program 'MFREGFIX' in your Marrowfield program folder, RIGHT-CLICK on it "
    "and select 'RUN AS ADMINISTRATOR'.  Select 'Yes' on the next window that appears and then "
    "click on 'Write PDFREPORT values to registry'.\r\rYou will not be able to use Marrowfield's "
    "PDF creation feature until this is accomplished." +
    std::string(kContactLine);

TEST(PdfShortPath, ShortensLongPartsOfTheDirectory) {
  struct Case {
    std::string directory;
    std::string expected;
  } cases[] = {
      {"C:\\Program Files\\Mfw4\\", "C:\\Progra~1\\Mfw4\\PDFREPXP.DLL"},
      {"C:\\My Docs.old\\", "C:\\MyDocs~1.old\\PDFREPXP.DLL"},
      {"C:\\MFW\\", "C:\\MFW\\PDFREPXP.DLL"},
      {"C:\\MFW", "C:\\MFW\\PDFREPXP.DLL"},  // the last part counts without its backslash
      {"D:\\", "D:\\PDFREPXP.DLL"},
      {"MFW", "MFW\\PDFREPXP.DLL"},
      {"C:\\ABCDEFGH\\ABCDEFGHI\\", "C:\\ABCDEFGH\\ABCDEF~1\\PDFREPXP.DLL"},
      {"C:\\A.B\\LONG NAME\\", "C:\\A~1.B\\LONGNA~1\\PDFREPXP.DLL"},
      {"C:\\A B\\", "C:\\AB~1\\PDFREPXP.DLL"},
  };
  for (const Case& c : cases) EXPECT_EQ(PdfShortPath(c.directory), c.expected) << c.directory;

  std::string deep = "C:";
  for (int i = 0; i < 25; ++i) deep += "\\D" + std::to_string(i);
  EXPECT_EQ(PdfShortPath(deep + "\\"), deep + "\\PDFREPXP.DLL");  // no part is lost
}

TEST(IsWindows64, NeedsTheVariableSetAndNotBlank) {
  EXPECT_FALSE(IsWindows64(nullptr));
  EXPECT_FALSE(IsWindows64(""));
  EXPECT_FALSE(IsWindows64("  "));
  EXPECT_TRUE(IsWindows64("AMD64"));
}

class PdfComponentTest : public test::HostFixture {
 protected:
  void RegisterAt(const std::string& location) {
    registry.WriteString(Hive::LocalMachine, kLocationKey, "", location);
  }
  void InstallDll() { dir.Write("c/MFW/PDFREPXP.DLL", "dll"); }
  bool Check(const std::string& pgmDir = "C:\\MFW") {
    return CheckPdfComponent(registry, *fs, ui, pgmDir);
  }
  std::string Value(Hive hive, const std::string& key, const std::string& name = "") {
    return registry.ReadString(hive, key, name).value_or("<missing>");
  }
  static std::string Report(const std::string& lines) {
    return "An error was encountered: \r\r" +
           std::string(IsWindows64() ? "64 bit Windows" : "32 bit Windows") + "\r" + lines;
  }
};

TEST_F(PdfComponentTest, PassesForARegistrationInTheProgramDirectory) {
  struct Case {
    std::string pgmDir;
    std::string location;
  } cases[] = {
      {"C:\\MFW", "C:\\MFW\\PDFREPXP.DLL"},
      {"C:\\MFW", "  c:\\mfw\\pdfrepxp.dll  "},  // case does not matter in Windows paths
      {"C:\\MFW\\", "C:\\MFW\\PDFREPXP.DLL"},
      {"C:\\Program Files\\Mfw4", "C:\\Progra~1\\Mfw4\\PDFREPXP.DLL"},  // as we register it
      {"C:\\Program Files\\Mfw4", "C:\\PROGRAM FILES\\MFW4\\PDFREPXP.DLL"},
  };
  for (const Case& c : cases) {
    RegisterAt(c.location);
    EXPECT_TRUE(Check(c.pgmDir)) << c.location;  // no DLL needed, no message
  }
  EXPECT_FALSE(registry.KeyExists(Hive::ClassesRoot, kRootKey));
}

TEST_F(PdfComponentTest, ARegistrationElsewhereNeedsTheDllInTheProgramDirectory) {
  RegisterAt("C:\\MFW2\\PDFREPXP.DLL");  // begins like C:\MFW but is another folder
  ui.ExpectShow(MessageKind::Error,
                "It appears that the file PDFREPXP.DLL is not in the Marrowfield program folder "
                "(C:\\MFW).  You will need to copy this file to the correct location before you "
                "can print a report in PDF format.");
  EXPECT_FALSE(Check());

  InstallDll();
  EXPECT_TRUE(Check());
  EXPECT_EQ(Value(Hive::LocalMachine, kLocationKey), "C:\\MFW2\\PDFREPXP.DLL");  // left alone
}

TEST_F(PdfComponentTest, RegistersWhenNoLocationIsFound) {
  struct Case {
    std::string setUp;  // what the registry holds before the check
    std::string report; // the diagnostic shown before registering; empty: none
  } cases[] = {
      {"nothing", "OpenKey returned 2\rUnsuccessful OpenKey:  LastError is 2"},
      {"key without value",
       "OpenKey returned 0\rQuery Key returned 2\rUnsuccessful query:  LastError is 2"},
      {"blank location", ""},
  };
  for (const Case& c : cases) {
    registry.DeleteKey(Hive::LocalMachine, "Software\\CLASSES");
    registry.DeleteKey(Hive::ClassesRoot, "CLSID");
    if (c.setUp == "key without value") registry.CreateKey(Hive::LocalMachine, kLocationKey);
    if (c.setUp == "blank location") RegisterAt("   ");
    if (!c.report.empty()) ui.ExpectShow(MessageKind::Error, Report(c.report));
    ASSERT_TRUE(Check("C:\\Program Files\\Mfw4")) << c.setUp;
    EXPECT_TRUE(ui.Done()) << c.setUp;
  }

  const std::string dll = "C:\\Progra~1\\Mfw4\\PDFREPXP.DLL";
  struct Expected {
    Hive hive;
    std::string key;
    std::string value;
  } keys[] = {
      {Hive::LocalMachine, kMachineKey, "PDFDocument Object"},
      {Hive::LocalMachine, kMachineKey + "\\TypeLib", "{3D9C5168-E754-42BE-9816-7E12E9CF8BED}"},
      {Hive::LocalMachine, kMachineKey + "\\TypeLib\\1.0", "PDFREPORT_XP library"},
      {Hive::LocalMachine, kMachineKey + "\\TypeLib\\1.0\\FLAGS", "0"},
      {Hive::LocalMachine, kMachineKey + "\\TypeLib\\1.0\\0\\Win32", dll},
      {Hive::LocalMachine, kMachineKey + "\\InprocServer32", dll},
      {Hive::LocalMachine, kMachineKey + "\\ProgID", "PDFREPORT_XP.PDFDocument"},
      {Hive::LocalMachine, kMachineKey + "\\Version", "1.0"},
      {Hive::ClassesRoot, kRootKey, "PDFDocument Object"},
      {Hive::ClassesRoot, kRootKey + "\\TypeLib", "{3D9C5168-E754-42BE-9816-7E12E9CF8BED}"},
      {Hive::ClassesRoot, kRootKey + "\\InprocServer32", dll},
      {Hive::ClassesRoot, kRootKey + "\\ProgID", "PDFREPORT_XP.PDFDocument"},
      {Hive::ClassesRoot, kRootKey + "\\Version", "1.0"},
  };
  for (const Expected& e : keys) EXPECT_EQ(Value(e.hive, e.key), e.value) << e.key;
  EXPECT_EQ(Value(Hive::LocalMachine, kMachineKey + "\\InprocServer32", "ThreadingModel"), "Both");
  EXPECT_EQ(Value(Hive::ClassesRoot, kRootKey + "\\InprocServer32", "ThreadingModel"), "Both");

  // The registration just written is accepted from now on without a word.
  EXPECT_TRUE(Check("C:\\Program Files\\Mfw4"));
}

TEST_F(PdfComponentTest, ARefusedRegistrationIsExplained) {
  // A folder where the registry's lock file belongs: reading works, every write fails.
  std::filesystem::remove(registry.FilePath() + ".lock");
  std::filesystem::create_directories(registry.FilePath() + ".lock");
  std::string refusal;
  try {
    registry.WriteString(Hive::LocalMachine, "Software", "probe", "x");
  } catch (const RegistryError& error) {
    refusal = error.what();
  }
  ASSERT_FALSE(refusal.empty());

  ui.ExpectShow(MessageKind::Error,
                Report("OpenKey returned 2\rUnsuccessful OpenKey:  LastError is 2"));
  ui.ExpectShow(MessageKind::Information,
                "Unable to set the PDF Creation Values at this time.\r\r(Error code = 0)\r\r"
                "Program path is C:\\MFW\\.\r\rDos path value is \r\r" +
                    refusal + kContactLine);
  ui.ExpectShow(MessageKind::Information, kNeedsAdministrator);
  EXPECT_FALSE(Check());
}

TEST_F(PdfComponentTest, ADamagedRegistryIsReportedAndNotWritten) {
  const std::string damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\X\n";
  dir.Write("registry.reg", damaged);
  ui.ExpectShow(MessageKind::Error,
                Report("OpenKey returned 1009\rUnsuccessful OpenKey:  LastError is 1009"));
  ui.ExpectShow(MessageKind::Information,
                std::string("Unable to open the registry at this time.") + kContactLine);
  ui.ExpectShow(MessageKind::Information, kNeedsAdministrator);
  EXPECT_FALSE(Check());
  EXPECT_EQ(dir.Read("registry.reg"), damaged);
}

}  // namespace
}  // namespace upfold
