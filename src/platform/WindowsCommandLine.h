#pragma once
// A Windows program receives its command line as one string and splits it itself. The suite's
// programs split it as the Microsoft C runtime does, so we build and split command lines by the
// same rules:
//  - the program name (first token) runs to the first blank or tab outside double quotes; its
//    quotes only group and are dropped, and backslashes are plain characters;
//  - each later argument runs to the next blank or tab outside quotes; 2n backslashes before a
//    quote give n backslashes and the quote opens or closes a quoted part; 2n+1 backslashes
//    before a quote give n backslashes and a literal quote; backslashes before anything else
//    stand as they are; "" inside a quoted part gives one literal quote and the part goes on.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace upfold {

struct ProgramToken {
  std::string program;  // the name with its quotes removed
  bool quoted = false;  // the name held at least one double quote
  std::size_t end = 0;  // offset in the command line just past the name
};

// The program name at the start of commandLine (leading blanks and tabs skipped).
ProgramToken ParseProgramToken(std::string_view commandLine);

// The arguments in text that follows the program name.
std::vector<std::string> SplitWindowsArguments(std::string_view text);

// Program name followed by the arguments; empty for a blank line.
std::vector<std::string> SplitWindowsCommandLine(std::string_view commandLine);

// One argument written so that SplitWindowsArguments gives it back unchanged (quoted only
// when it is empty or holds a blank, tab, newline or quote).
std::string QuoteWindowsArgument(std::string_view argument);

// The program name (quoted when it holds a blank or tab) and the quoted arguments, separated
// by single blanks.
std::string JoinWindowsCommandLine(const std::string& program,
                                   const std::vector<std::string>& arguments);

}  // namespace upfold
