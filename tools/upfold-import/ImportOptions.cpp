#include "ImportOptions.h"

#include <cctype>
#include <map>

#include "merge/UnMergedDialog.h"

namespace upfold {

const char* const kImportUsage =
    "Usage: upfold-import [options] BATCH...\n"
    "Imports the remote batches (TRIN<ws>.RME or .CM; host or DOS paths) as the import command\n"
    "of upfold does when they are chosen in its file dialog. Messages go to standard error as\n"
    "\"[kind] text\"; the results and the budget warnings to standard output as tab-separated\n"
    "rows with their headings.\n"
    "\n"
    "Options:\n"
    "  --date YYMMDD        working date, YY counted from 1980 (default: today)\n"
    "  --wsid WS            host workstation (default: the registry's)\n"
    "  --pgmdir DOSDIR      program folder (default: the folder of this program)\n"
    "  --yes, --no          the answer to every Yes/No question (default: --no)\n"
    "  --interrupted yes|no|cancel\n"
    "                       the answer when the last import was interrupted: continue it, start\n"
    "                       afresh, or stop (default: cancel)\n"
    "  --unmerged merge|append|erase|exit\n"
    "                       what to do with a host batch that has not been merged (default: exit)\n"
    "  --report-file PATH   write the reject report to this file (DOS or host path; a short name\n"
    "                       such as REJECTS.TXT, as the printing choices take it); an existing\n"
    "                       file is appended to\n"
    "  --printer NAME       print the reject report on this printer\n"
    "                       (without either: the saved print settings of report 44)\n"
    "  --help               this text\n"
    "\n"
    "Exit status: 0 when the import ran without errors, 1 when errors occurred or the import\n"
    "stopped, 2 for a usage error.\n";

namespace {

bool AllDigits(const std::string& text) {
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return !text.empty();
}

}  // namespace

bool LooksLikeDosPath(const std::string& path) {
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':')
    return true;
  return path.rfind("\\\\", 0) == 0 || (path.find('\\') != std::string::npos && path[0] != '/');
}

ParsedOptions ParseImportOptions(const std::vector<std::string>& args) {
  static const std::map<std::string, Answer> kInterrupted = {
      {"yes", Answer::Yes}, {"no", Answer::No}, {"cancel", Answer::Cancel}};
  static const std::map<std::string, int> kUnmerged = {
      {"merge", kPrintAndMerge}, {"append", kAppend}, {"erase", kErase}, {"exit", kExitUnchanged}};
  const auto refuse = [](std::string why) { return ParsedOptions{std::nullopt, std::move(why)}; };

  ImportOptions o;
  bool yesGiven = false, noGiven = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      o.batches.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (const std::size_t eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      inlineValue = arg.substr(eq + 1);
    }
    if (name == "--help" || name == "--yes" || name == "--no") {
      if (inlineValue) return refuse(name + " takes no value");
      if (name == "--help") o.help = true;
      if (name == "--yes") yesGiven = true;
      if (name == "--no") noGiven = true;
      continue;
    }
    std::string value;
    if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return refuse(name + " needs a value");
    }
    if (name == "--date") {
      if (value.size() != 6 || !AllDigits(value)) return refuse("--date takes YYMMDD: " + value);
      o.date = value;
    } else if (name == "--wsid") {
      if (value.empty() || value.size() > 2) return refuse("--wsid takes one or two characters");
      o.wsid = value;
    } else if (name == "--pgmdir") {
      if (value.empty()) return refuse("--pgmdir needs a folder");
      o.pgmDir = value;
    } else if (name == "--interrupted") {
      const auto found = kInterrupted.find(value);
      if (found == kInterrupted.end()) return refuse("--interrupted takes yes, no or cancel");
      o.interrupted = found->second;
    } else if (name == "--unmerged") {
      const auto found = kUnmerged.find(value);
      if (found == kUnmerged.end()) return refuse("--unmerged takes merge, append, erase or exit");
      o.unmerged = found->second;
    } else if (name == "--report-file") {
      if (value.empty()) return refuse("--report-file needs a path");
      o.reportFile = value;
    } else if (name == "--printer") {
      if (value.empty()) return refuse("--printer needs a name");
      o.printer = value;
    } else {
      return refuse("unknown option " + name);
    }
  }
  if (o.help) return {o, {}};
  if (yesGiven && noGiven) return refuse("--yes and --no exclude each other");
  if (!o.reportFile.empty() && !o.printer.empty())
    return refuse("--report-file and --printer exclude each other");
  if (o.batches.empty()) return refuse("no remote batch given");
  o.yesNo = yesGiven ? Answer::Yes : Answer::No;
  return {o, {}};
}

}  // namespace upfold
