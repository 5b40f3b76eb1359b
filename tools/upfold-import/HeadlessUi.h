#pragma once
// The Ui of upfold-import. Every message box becomes one entry on standard error,
// "[kind] text" with each carriage return as a new line; questions are answered from the
// command line and the answer follows as "[answer] Yes". The file dialog gives the batches of
// the command line once, then counts as cancelled. There are no windows to keep alive.

#include <cstdio>
#include <string>
#include <vector>

#include "app/Ui.h"

namespace upfold {

class HeadlessUi final : public Ui {
 public:
  // yesNo answers every Yes/No question, threeWay every Yes/No/Cancel one (the question about
  // an interrupted import). Texts are written to out as UTF-8.
  HeadlessUi(Answer yesNo, Answer threeWay, std::FILE* out = stderr)
      : yesNo_(yesNo), threeWay_(threeWay), out_(out) {}

  // What the file dialog gives, as DOS paths.
  void SetChosenFiles(std::vector<std::string> dosPaths) { chosen_ = std::move(dosPaths); }

  void Show(MessageKind kind, const std::string& text) override;
  Answer Ask(MessageKind kind, const std::string& text, Buttons buttons) override;
  void HourglassCursor() override {}
  void ArrowCursor() override {}
  std::vector<std::string> OpenFiles(const OpenFilesRequest& request) override;
  void ProcessMessages() override {}

  // How a message box is written: "[kind] text\n", carriage returns as new lines.
  static std::string Entry(MessageKind kind, const std::string& text);

 private:
  Answer yesNo_;
  Answer threeWay_;
  std::FILE* out_;
  std::vector<std::string> chosen_;
  bool dialogShown_ = false;
};

}  // namespace upfold
