#pragma once
// How the program's flows talk to the person: message boxes, questions, the cursor, the
// file-open dialog and keeping the windows alive during long work. The desktop program
// implements it with Qt, upfold-import with command-line answers, tests with scripts.
// Texts use a single carriage return as the line break.

#include <string>
#include <vector>

namespace upfold {

enum class MessageKind { Plain, Information, Warning, Error, Question };

enum class Answer { Yes, No, Cancel };

enum class Buttons { YesNo, YesNoCancel };

// The file-open dialog, in DOS paths.
struct OpenFilesRequest {
  std::string title;
  std::string initialDir;   // DOS folder
  std::string filter;       // "Remote batches (TRIN*.RME)|TRIN*.RME|All files (*.*)|*.*"
  bool multiSelect = false;
  bool mustExist = true;
};

class Ui {
 public:
  virtual ~Ui() = default;

  // A message box with OK. Plain is the untitled ShowMessage box.
  virtual void Show(MessageKind kind, const std::string& text) = 0;
  // A confirmation: Yes/No, or Yes/No/Cancel. kind is usually Question.
  virtual Answer Ask(MessageKind kind, const std::string& text, Buttons buttons) = 0;

  virtual void HourglassCursor() = 0;
  virtual void ArrowCursor() = 0;

  // DOS paths of the chosen files; empty when the dialog was cancelled.
  virtual std::vector<std::string> OpenFiles(const OpenFilesRequest& request) = 0;

  // Lets the windows repaint and handle input during long work on the one thread.
  virtual void ProcessMessages() = 0;

  // Shorthands.
  void Plain(const std::string& text) { Show(MessageKind::Plain, text); }
  void Information(const std::string& text) { Show(MessageKind::Information, text); }
  void Warning(const std::string& text) { Show(MessageKind::Warning, text); }
  void Error(const std::string& text) { Show(MessageKind::Error, text); }
  bool Confirm(const std::string& text) {
    return Ask(MessageKind::Question, text, Buttons::YesNo) == Answer::Yes;
  }
};

// "\r\rPlease contact Verrin, Inc. for assistance."
inline constexpr const char* kContactLine = "\r\rPlease contact Verrin, Inc. for assistance.";

}  // namespace upfold
