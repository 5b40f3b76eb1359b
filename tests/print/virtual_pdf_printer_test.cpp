// The virtual PDF printer: a job drawn on its canvas becomes a PDF file whose text can be
// read back, and its settings come from the host key.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/HostRegistry.h"
#include "platform/printers/QtPrinters.h"
#include "print/HostFixture.h"
#include "print/PrinterSetup.h"

namespace upfold {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  return files;
}

std::string PdfText(const fs::path& pdf) {
  const std::string command = "pdftotext -layout '" + pdf.string() + "' - 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string text;
  char buffer[4096];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) text += buffer;
  return text;
}

class VirtualPdfPrinterTest : public ::testing::Test {
 protected:
  std::unique_ptr<PrinterCanvas> Start(const std::string& title,
                                       Orientation orientation = Orientation::Portrait) {
    return printers->StartJob(kVirtualPdfPrinterName, {orientation, title});
  }
  test::TempDir dir;
  fs::path folder = dir / "pdf out";  // made by the first job
  std::unique_ptr<Printers> printers = MakeSystemPrinters({true, folder, PaperSize::Letter});
};

TEST_F(VirtualPdfPrinterTest, AJobBecomesAPdfWhoseTextReadsBack) {
  auto canvas = Start("Reject report");
  EXPECT_EQ(canvas->Resolution(), 600);
  EXPECT_EQ(canvas->PageWidth(), 4800);   // Letter less quarter-inch margins
  EXPECT_EQ(canvas->PageHeight(), 6300);
  CanvasFont font;
  font.height = canvas->PageHeight() / 62;
  font.width = canvas->PageWidth() / 141;
  font.weight = 700;
  font.fixedPitch = true;
  ASSERT_TRUE(canvas->SetFont(font));
  EXPECT_EQ(canvas->Font(), font);
  canvas->TextOut(0, 0, "Remote Processing Reject report");
  canvas->TextOut(0, 120, "Client caf\xE9 1234-ABC");  // Windows-1252 e acute
  canvas->NewPage();
  canvas->TextOut(0, 0, "Second page");
  canvas->End();

  const auto files = FilesIn(folder);
  ASSERT_EQ(files.size(), 1u);
  const std::string name = files[0].filename().string();
  EXPECT_EQ(name.rfind("Reject report ", 0), 0u) << name;
  EXPECT_EQ(files[0].extension(), ".pdf");

  const std::string text = PdfText(files[0]);
  EXPECT_NE(text.find("Remote Processing Reject report"), std::string::npos) << text;
  EXPECT_NE(text.find("Client caf\xC3\xA9 1234-ABC"), std::string::npos) << text;
  const auto pageBreak = text.find('\f');
  ASSERT_NE(pageBreak, std::string::npos) << text;
  const auto second = text.find("Second page");
  ASSERT_NE(second, std::string::npos) << text;
  EXPECT_GT(second, pageBreak);
}

TEST_F(VirtualPdfPrinterTest, LandscapeTurnsThePage) {
  auto canvas = Start("Wide");
  auto wide = Start("Wide", Orientation::Landscape);
  EXPECT_GT(wide->PageWidth(), wide->PageHeight());
  EXPECT_EQ(wide->PageWidth(), canvas->PageHeight());
  wide->End();
  canvas->End();
  EXPECT_EQ(FilesIn(folder).size(), 2u);  // the same title twice: two files
}

TEST_F(VirtualPdfPrinterTest, AnAbortedOrDroppedJobLeavesNothing) {
  auto aborted = Start("Aborted");
  aborted->TextOut(0, 0, "never printed");
  aborted->Abort();
  EXPECT_THROW(aborted->TextOut(0, 0, "after the abort"), PrinterError);
  { auto dropped = Start("Dropped"); dropped->TextOut(0, 0, "never printed"); }
  EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(VirtualPdfPrinterTest, AFolderThatCannotBeMadeRefusesTheJob) {
  test::TempDir other;
  other.Write("blocked", "a file where the folder should be");
  auto blocked = MakeSystemPrinters({true, other / "blocked/pdf", PaperSize::Letter});
  EXPECT_THROW(blocked->StartJob(kVirtualPdfPrinterName, {}), PrinterError);
}

TEST_F(VirtualPdfPrinterTest, IsListedLastUnlessSwitchedOff) {
  const auto names = printers->Names();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), kVirtualPdfPrinterName);

  auto off = MakeSystemPrinters({false, folder, PaperSize::Letter});
  for (const std::string& name : off->Names()) EXPECT_NE(name, kVirtualPdfPrinterName);
  EXPECT_THROW(off->StartJob(kVirtualPdfPrinterName, {}), PrinterError);
}

class PrinterSetupTest : public test::HostFixture {
 protected:
  void Set(const std::string& name, const std::string& value) {
    registry.WriteString(Hive::LocalMachine, kHostKey, name, value);
  }
};

TEST_F(PrinterSetupTest, ReadsTheVirtualPrinterFromTheHostKey) {
  VirtualPdfSettings settings = ReadVirtualPdfSettings(registry, *fs);
  EXPECT_TRUE(settings.enabled);
  EXPECT_EQ(settings.folder, "");  // the default folder
  EXPECT_EQ(settings.paper, PaperSize::Letter);

  struct Case {
    std::string switchValue;
    bool enabled;
  } switches[] = {{"N", false}, {" n", false}, {"No", false}, {"Y", true}, {"", true}};
  for (const Case& c : switches) {
    Set("VirtualPdfPrinter", c.switchValue);
    EXPECT_EQ(ReadVirtualPdfSettings(registry, *fs).enabled, c.enabled) << c.switchValue;
  }

  struct Folder {
    std::string value;
    std::string host;
  } folders[] = {{"C:\\Pdf", dir / "c/Pdf"}, {"c:\\mfw", dir / "c/MFW"},
                 {"/srv/reports", "/srv/reports"}, {"Q:\\PDF", ""}};
  for (const Folder& f : folders) {
    Set("VirtualPdfFolder", f.value);
    EXPECT_EQ(ReadVirtualPdfSettings(registry, *fs).folder, f.host) << f.value;
  }

  Set("VirtualPdfPaper", "a4");
  EXPECT_EQ(ReadVirtualPdfSettings(registry, *fs).paper, PaperSize::A4);
}

TEST_F(PrinterSetupTest, ADamagedRegistryGivesTheDefaults) {
  dir.Write("registry.reg", "not a registry file");
  const VirtualPdfSettings settings = ReadVirtualPdfSettings(registry, *fs);
  EXPECT_TRUE(settings.enabled);
  EXPECT_EQ(settings.folder, "");
}

}  // namespace
}  // namespace upfold
