#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace upfold::test {

const char* KindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::Plain: return "plain";
    case MessageKind::Information: return "information";
    case MessageKind::Warning: return "warning";
    case MessageKind::Error: return "error";
    case MessageKind::Question: return "question";
  }
  return "?";
}

namespace {
// Carriage returns shown as \r so that failure output stays on one line per message.
std::string Visible(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\r' ? std::string("\\r") : std::string(1, c);
  return out;
}
}  // namespace

ScriptedUi::~ScriptedUi() {
  for (const Step& s : steps_)
    ADD_FAILURE() << "expected but never shown: [" << KindName(s.kind) << "] " << Visible(s.text);
}

void ScriptedUi::ExpectShow(MessageKind kind, std::string text) {
  steps_.push_back({StepType::Show, kind, std::move(text), Answer::No, {}});
}

void ScriptedUi::ExpectAsk(MessageKind kind, std::string text, Answer answer) {
  steps_.push_back({StepType::Ask, kind, std::move(text), answer, {}});
}

void ScriptedUi::ExpectOpenFiles(std::vector<std::string> dosPaths) {
  steps_.push_back({StepType::OpenFiles, MessageKind::Plain, {}, Answer::No, std::move(dosPaths)});
}

void ScriptedUi::Show(MessageKind kind, const std::string& text) {
  if (steps_.empty() || steps_.front().type != StepType::Show || steps_.front().kind != kind ||
      steps_.front().text != text) {
    ADD_FAILURE() << "unexpected message: [" << KindName(kind) << "] " << Visible(text)
                  << (steps_.empty() ? std::string("\n  (nothing more expected)")
                                     : "\n  expected: [" + std::string(KindName(steps_.front().kind)) +
                                           "] " + Visible(steps_.front().text));
    return;
  }
  steps_.pop_front();
}

Answer ScriptedUi::Ask(MessageKind kind, const std::string& text, Buttons) {
  if (steps_.empty() || steps_.front().type != StepType::Ask || steps_.front().kind != kind ||
      steps_.front().text != text) {
    ADD_FAILURE() << "unexpected question: [" << KindName(kind) << "] " << Visible(text)
                  << (steps_.empty() ? std::string("\n  (nothing more expected)")
                                     : "\n  expected: [" + std::string(KindName(steps_.front().kind)) +
                                           "] " + Visible(steps_.front().text));
    return Answer::No;
  }
  Answer a = steps_.front().answer;
  steps_.pop_front();
  return a;
}

std::vector<std::string> ScriptedUi::OpenFiles(const OpenFilesRequest& request) {
  fileRequests.push_back(request);
  if (steps_.empty() || steps_.front().type != StepType::OpenFiles) {
    ADD_FAILURE() << "unexpected file dialog: " << request.title;
    return {};
  }
  auto files = std::move(steps_.front().files);
  steps_.pop_front();
  return files;
}

}  // namespace upfold::test
