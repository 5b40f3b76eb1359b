#include "platform/WindowsCommandLine.h"

namespace upfold {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

}  // namespace

ProgramToken ParseProgramToken(std::string_view commandLine) {
  ProgramToken token;
  bool inQuotes = false;
  std::size_t at = SkipBlanks(commandLine, 0);
  for (; at < commandLine.size(); ++at) {
    char c = commandLine[at];
    if (c == '"') {
      inQuotes = !inQuotes;
      token.quoted = true;
    } else if (!inQuotes && IsBlank(c)) {
      break;
    } else {
      token.program += c;
    }
  }
  token.end = at;
  return token;
}

std::vector<std::string> SplitWindowsArguments(std::string_view text) {
  std::vector<std::string> arguments;
  std::size_t at = SkipBlanks(text, 0);
  while (at < text.size()) {
    std::string argument;
    bool inQuotes = false;
    while (at < text.size()) {
      std::size_t backslashes = 0;
      while (at < text.size() && text[at] == '\\') {
        ++at;
        ++backslashes;
      }
      if (at < text.size() && text[at] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          argument += '"';
        } else if (inQuotes && at + 1 < text.size() && text[at + 1] == '"') {
          argument += '"';
          ++at;
        } else {
          inQuotes = !inQuotes;
        }
        ++at;
        continue;
      }
      argument.append(backslashes, '\\');
      if (at >= text.size() || (!inQuotes && IsBlank(text[at]))) break;
      argument += text[at++];
    }
    arguments.push_back(std::move(argument));
    at = SkipBlanks(text, at);
  }
  return arguments;
}

std::vector<std::string> SplitWindowsCommandLine(std::string_view commandLine) {
  ProgramToken token = ParseProgramToken(commandLine);
  if (token.program.empty() && !token.quoted) return {};
  std::vector<std::string> all{token.program};
  for (std::string& argument : SplitWindowsArguments(commandLine.substr(token.end)))
    all.push_back(std::move(argument));
  return all;
}

std::string QuoteWindowsArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos)
    return std::string(argument);
  std::string out = "\"";
  for (std::size_t at = 0;; ++at) {
    std::size_t backslashes = 0;
    while (at < argument.size() && argument[at] == '\\') {
      ++at;
      ++backslashes;
    }
    if (at == argument.size()) {
      // The closing quote must not be escaped by the backslashes before it.
      out.append(backslashes * 2, '\\');
      break;
    }
    if (argument[at] == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    out += argument[at];
  }
  out += '"';
  return out;
}

std::string JoinWindowsCommandLine(const std::string& program,
                                   const std::vector<std::string>& arguments) {
  std::string line =
      program.find_first_of(" \t") == std::string::npos ? program : '"' + program + '"';
  for (const std::string& argument : arguments) line += ' ' + QuoteWindowsArgument(argument);
  return line;
}

}  // namespace upfold
