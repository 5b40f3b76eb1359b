#pragma once
// One print job as the reports see it: a page in device units, a font chosen by height and
// width, text at a position, new pages, and the end of the job. The Qt backend draws on a
// real printer or the virtual PDF printer; RecordingCanvas keeps the calls for tests.

#include <stdexcept>
#include <string>

namespace upfold {

// Raised when a printer cannot start a job or fails during one; what() is the text to show.
class PrinterError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A font described as a report asks for it, in device units of the canvas.
struct CanvasFont {
  int height = 0;      // < 0: character height; > 0: cell height (line spacing); 0: default
  int width = 0;       // average character width; 0: the font's natural width
  int weight = 400;    // 100..900; 700 is bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool fixedPitch = false;
  std::string face;    // empty: the default face of its pitch
  friend bool operator==(const CanvasFont&, const CanvasFont&) = default;
};

class PrinterCanvas {
 public:
  virtual ~PrinterCanvas() = default;

  // The printable area of a page, and device units per inch.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  virtual int Resolution() const = 0;

  // Makes font the font of the following text. False when the device cannot select it;
  // the previous font then stays.
  virtual bool SetFont(const CanvasFont& font) = 0;
  virtual const CanvasFont& Font() const = 0;

  // Draws Windows-1252 text with the top of its line at (x, y).
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual void NewPage() = 0;
  // Finishes the job (prints it, or writes the PDF file). Nothing may be drawn afterwards.
  virtual void End() = 0;
  // Throws the job away; nothing is printed. Safe after a failure and after End.
  virtual void Abort() = 0;

  // The height a font of this point size has on this canvas, negative as for a character
  // height (12 points at 600 units per inch gives -100).
  int PointHeight(int points) const;
};

}  // namespace upfold
