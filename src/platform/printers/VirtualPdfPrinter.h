#pragma once
// The built-in virtual PDF printer: always installed unless switched off, it turns every job
// into a PDF file in its folder ("<title> YYYY-MM-DD HH.MM.SS.pdf", with " (2)", " (3)"...
// when that name is taken). A job appears in the folder only once it has ended; an aborted
// job leaves nothing behind.

#include <string>

namespace upfold {

inline constexpr const char* kVirtualPdfPrinterName = "Upfold PDF Printer";

enum class PaperSize { Letter, A4 };

struct VirtualPdfSettings {
  bool enabled = true;
  std::string folder;  // host folder; created on the first job when missing
  PaperSize paper = PaperSize::Letter;
};

// $XDG_DATA_HOME/marrowfield/pdf, XDG_DATA_HOME defaulting to ~/.local/share.
std::string DefaultVirtualPdfFolder();

}  // namespace upfold
