#pragma once
// The Ui for tests: every message, question and file dialog must have been announced with
// Expect...; anything else fails the test. Questions get the scripted answer.

#include <deque>
#include <string>
#include <vector>

#include "app/Ui.h"

namespace upfold::test {

class ScriptedUi : public Ui {
 public:
  ~ScriptedUi() override;  // fails the test when expected steps were not used

  void ExpectShow(MessageKind kind, std::string text);
  void ExpectAsk(MessageKind kind, std::string text, Answer answer);
  void ExpectOpenFiles(std::vector<std::string> dosPaths);  // empty: cancelled

  void Show(MessageKind kind, const std::string& text) override;
  Answer Ask(MessageKind kind, const std::string& text, Buttons buttons) override;
  void HourglassCursor() override { hourglass = true; }
  void ArrowCursor() override { hourglass = false; }
  std::vector<std::string> OpenFiles(const OpenFilesRequest& request) override;
  void ProcessMessages() override { ++processed; }

  bool Done() const { return steps_.empty(); }

  bool hourglass = false;
  int processed = 0;
  std::vector<OpenFilesRequest> fileRequests;  // every file dialog shown

 private:
  enum class StepType { Show, Ask, OpenFiles };
  struct Step {
    StepType type;
    MessageKind kind = MessageKind::Plain;
    std::string text;
    Answer answer = Answer::No;
    std::vector<std::string> files;
  };
  std::deque<Step> steps_;
};

// Readable form of a message kind, for failure messages ("error", "question", ...).
const char* KindName(MessageKind kind);

}  // namespace upfold::test
