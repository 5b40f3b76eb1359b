#include "HeadlessUi.h"

#include "platform/TextEncoding.h"

namespace upfold {

namespace {

const char* KindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::Plain:
      return "plain";
    case MessageKind::Information:
      return "information";
    case MessageKind::Warning:
      return "warning";
    case MessageKind::Error:
      return "error";
    case MessageKind::Question:
      return "question";
  }
  return "plain";
}

const char* AnswerName(Answer answer) {
  switch (answer) {
    case Answer::Yes:
      return "Yes";
    case Answer::No:
      return "No";
    case Answer::Cancel:
      return "Cancel";
  }
  return "No";
}

}  // namespace

std::string HeadlessUi::Entry(MessageKind kind, const std::string& text) {
  std::string entry = std::string("[") + KindName(kind) + "] ";
  const std::string utf8 = Cp1252ToUtf8(text);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    // "\r\n" is one line break, as a lone "\r" or "\n" is.
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    entry += utf8[i] == '\r' ? '\n' : utf8[i];
  }
  return entry + "\n";
}

void HeadlessUi::Show(MessageKind kind, const std::string& text) {
  std::fputs(Entry(kind, text).c_str(), out_);
  std::fflush(out_);
}

Answer HeadlessUi::Ask(MessageKind kind, const std::string& text, Buttons buttons) {
  const Answer answer = buttons == Buttons::YesNoCancel ? threeWay_ : yesNo_;
  std::fputs(Entry(kind, text).c_str(), out_);
  std::fprintf(out_, "[answer] %s\n", AnswerName(answer));
  std::fflush(out_);
  return answer;
}

std::vector<std::string> HeadlessUi::OpenFiles(const OpenFilesRequest& request) {
  (void)request;
  if (dialogShown_) return {};
  dialogShown_ = true;
  return chosen_;
}

}  // namespace upfold
