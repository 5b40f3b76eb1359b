#pragma once
// A canvas that prints nothing and keeps every call, for tests of the reports. A failure can
// be planted to test how a report handles a printer that breaks down.

#include <string>
#include <vector>

#include "platform/printers/PrinterCanvas.h"

namespace upfold {

class RecordingCanvas final : public PrinterCanvas {
 public:
  struct Text {
    int page = 1;  // counted from 1
    int x = 0;
    int y = 0;
    std::string text;
    CanvasFont font;
  };

  // Letter paper at 600 units per inch less quarter-inch margins, unless told otherwise.
  RecordingCanvas(int pageWidth = 4800, int pageHeight = 6300, int resolution = 600);

  int PageWidth() const override { return pageWidth_; }
  int PageHeight() const override { return pageHeight_; }
  int Resolution() const override { return resolution_; }
  bool SetFont(const CanvasFont& font) override;
  const CanvasFont& Font() const override { return font_; }
  void TextOut(int x, int y, const std::string& text) override;
  void NewPage() override;
  void End() override;
  void Abort() override;

  // What was drawn, in order.
  const std::vector<Text>& Texts() const { return texts_; }
  // The texts of one page, in drawing order.
  std::vector<std::string> PageTexts(int page) const;
  int Pages() const { return page_; }
  bool Ended() const { return ended_; }
  bool Aborted() const { return aborted_; }
  int FontChanges() const { return fontChanges_; }

  // Planted failures: SetFont refuses every font; the n-th TextOut (from 1) throws
  // PrinterError with message.
  bool refuseFonts = false;
  void FailOnText(int n, std::string message);

 private:
  void CheckOpen() const;

  int pageWidth_;
  int pageHeight_;
  int resolution_;
  CanvasFont font_;
  std::vector<Text> texts_;
  int page_ = 1;
  int fontChanges_ = 0;
  bool ended_ = false;
  bool aborted_ = false;
  int failAt_ = 0;
  std::string failMessage_;
};

}  // namespace upfold
