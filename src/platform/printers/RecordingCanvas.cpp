#include "platform/printers/RecordingCanvas.h"

namespace upfold {

RecordingCanvas::RecordingCanvas(int pageWidth, int pageHeight, int resolution)
    : pageWidth_(pageWidth), pageHeight_(pageHeight), resolution_(resolution) {}

bool RecordingCanvas::SetFont(const CanvasFont& font) {
  CheckOpen();
  if (refuseFonts) return false;
  font_ = font;
  ++fontChanges_;
  return true;
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
  CheckOpen();
  if (failAt_ > 0 && static_cast<int>(texts_.size()) + 1 == failAt_) {
    throw PrinterError(failMessage_);
  }
  texts_.push_back({page_, x, y, text, font_});
}

void RecordingCanvas::NewPage() {
  CheckOpen();
  ++page_;
}

void RecordingCanvas::End() {
  CheckOpen();
  ended_ = true;
}

void RecordingCanvas::Abort() { aborted_ = true; }

std::vector<std::string> RecordingCanvas::PageTexts(int page) const {
  std::vector<std::string> result;
  for (const Text& t : texts_) {
    if (t.page == page) result.push_back(t.text);
  }
  return result;
}

void RecordingCanvas::FailOnText(int n, std::string message) {
  failAt_ = n;
  failMessage_ = std::move(message);
}

// A report that draws after ending or aborting its job has a bug; say so loudly.
void RecordingCanvas::CheckOpen() const {
  if (ended_ || aborted_) throw PrinterError("The print job has already ended.");
}

}  // namespace upfold
