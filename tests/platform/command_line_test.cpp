#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/WindowsCommandLine.h"

namespace upfold {
namespace {

using Args = std::vector<std::string>;

TEST(SplitWindowsCommandLine, SplitsAsTheCRuntime) {
  struct Case {
    const char* line;
    Args expected;  // program first
  } cases[] = {
      // Blanks and tabs separate; runs of them count once; none at either end count.
      {R"(prog a b)", {"prog", "a", "b"}},
      {"  prog\ta \t  b  ", {"prog", "a", "b"}},
      {"", {}},
      {"   ", {}},
      // Quotes group blanks into an argument and are dropped, wherever they stand.
      {R"(prog "a b" c)", {"prog", "a b", "c"}},
      {R"(prog a" "b)", {"prog", "a b"}},
      {R"(prog "" x)", {"prog", "", "x"}},
      {R"(prog "unterminated  run)", {"prog", "unterminated  run"}},
      {R"(prog "IMPORT256Office Printer   C66 " 461211)",
       {"prog", "IMPORT256Office Printer   C66 ", "461211"}},
      // Backslashes are literal unless they come before a quote.
      {R"(prog C:\MFW\DATA\ a\\b)", {"prog", R"(C:\MFW\DATA\)", R"(a\\b)"}},
      // 2n backslashes and a quote: n backslashes, the quote groups.
      {R"(prog "C:\dir\\" next)", {"prog", R"(C:\dir\)", "next"}},
      {R"(prog a\\\\"b c")", {"prog", R"(a\\b c)"}},
      // 2n+1 backslashes and a quote: n backslashes and a literal quote.
      {R"(prog a\"b)", {"prog", R"(a"b)"}},
      {R"(prog a\\\"b c)", {"prog", R"(a\"b)", "c"}},
      {R"(prog "say \"hi\"")", {"prog", R"(say "hi")"}},
      // "" inside a quoted part is one quote and the part goes on.
      {R"(prog "a""b c" d)", {"prog", R"(a"b c)", "d"}},
      {R"(prog """" x)", {"prog", R"(")", "x"}},
      // The program name keeps its backslashes and drops its quotes, even before a quote.
      {R"("C:\Program Files\MFW\Brask.exe" x)", {R"(C:\Program Files\MFW\Brask.exe)", "x"}},
      {R"(C:\"Program Files"\Brask.exe x)", {R"(C:\Program Files\Brask.exe)", "x"}},
      {R"(C:\dir\\"x y" z)", {R"(C:\dir\\x y)", "z"}},
      {R"(C:\MFW\Brask.exe)", {R"(C:\MFW\Brask.exe)"}}};
  for (const Case& c : cases) EXPECT_EQ(SplitWindowsCommandLine(c.line), c.expected) << c.line;
}

TEST(ProgramToken, TellsWhereTheNameEndsAndWhetherItWasQuoted) {
  ProgramToken plain = ParseProgramToken(R"(  C:\MFW\pkzip25  -add)");
  EXPECT_EQ(plain.program, R"(C:\MFW\pkzip25)");
  EXPECT_FALSE(plain.quoted);
  EXPECT_EQ(plain.end, 16u);

  ProgramToken quoted = ParseProgramToken(R"("C:\A B\x.exe" y)");
  EXPECT_EQ(quoted.program, R"(C:\A B\x.exe)");
  EXPECT_TRUE(quoted.quoted);
  EXPECT_EQ(quoted.end, 14u);
}

// Quoting is the reverse of splitting: every argument comes back exactly.
TEST(QuoteWindowsArgument, RoundTripsThroughTheSplit) {
  const Args arguments{"plain",       "",           "a b",        "tab\there",
                       R"(a"b)",      R"(C:\dir\)", R"(C:\d d\)", R"(\\server\share\)",
                       R"(a\\"b)",    R"(end\\)",   R"(\")",      R"("quoted")",
                       "line\nbreak", R"(x\y)"};
  for (const std::string& a : arguments) {
    Args back = SplitWindowsArguments(QuoteWindowsArgument(a));
    EXPECT_EQ(back, Args{a}) << "argument [" << a << "] quoted as [" << QuoteWindowsArgument(a)
                             << "]";
  }
  Args all =
      SplitWindowsCommandLine(JoinWindowsCommandLine(R"(C:\Program Files\Brask.exe)", arguments));
  ASSERT_EQ(all.size(), arguments.size() + 1);
  EXPECT_EQ(all[0], R"(C:\Program Files\Brask.exe)");
  EXPECT_EQ(Args(all.begin() + 1, all.end()), arguments);
}

TEST(QuoteWindowsArgument, LeavesSimpleArgumentsAlone) {
  EXPECT_EQ(QuoteWindowsArgument(R"(C:\MFW\DATA\Trin01.s)"), R"(C:\MFW\DATA\Trin01.s)");
  EXPECT_EQ(QuoteWindowsArgument("a b"), R"("a b")");
  EXPECT_EQ(QuoteWindowsArgument(R"(C:\d d\)"), R"("C:\d d\\")");
  EXPECT_EQ(QuoteWindowsArgument(""), R"("")");
}

}  // namespace
}  // namespace upfold
