#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/Clock.h"
#include "platform/TextEncoding.h"
#include "platform/WindowsCommandLine.h"

extern char** environ;

namespace upfold {

namespace {

// Errors in the words the suite's messages have always carried.
std::string SystemMessage(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return fsmsg::kFileNotFound;
    case EACCES:
    case EPERM:
      return fsmsg::kAccessDenied;
    case ENOEXEC:
      return "The file is not a program that can be run.";
    case ENOMEM:
    case EAGAIN:
      return "Not enough memory resources are available to process this command.";
    default:
      return std::strerror(error);
  }
}

bool IsRegularFile(const std::string& hostPath) {
  struct stat st {};
  return ::stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& hostPath) {
  struct stat st {};
  return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EndsWithExe(const std::string& name) {
  return name.size() >= 4 && EqualsIgnoreAsciiCase(name.substr(name.size() - 4), ".exe");
}

class SpawnedProcess final : public ChildProcess {
 public:
  explicit SpawnedProcess(pid_t pid) : pid_(pid) {}
  ~SpawnedProcess() override { ExitCode(); }  // reaps a program that has already ended

  // posix_spawn returns only after the exec has succeeded, so the program runs already.
  bool WaitUntilReady(std::uint32_t) override { return true; }

  std::optional<int> ExitCode() override {
    if (exitCode_) return exitCode_;
    int status = 0;
    pid_t r;
    do {
      r = ::waitpid(pid_, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0) return std::nullopt;
    if (r < 0) {
      exitCode_ = -1;  // reaped elsewhere (SIGCHLD ignored): ended, code unknown
    } else if (WIFEXITED(status)) {
      exitCode_ = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
      exitCode_ = 128 + WTERMSIG(status);
    }
    return exitCode_;
  }

 private:
  pid_t pid_;
  std::optional<int> exitCode_;
};

// Owns the posix_spawn objects so that every way out releases them.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
};

}  // namespace

SystemProcessLauncher::SystemProcessLauncher(HostPathFn toHost, CurrentDirFn currentDir)
    : toHost_(std::move(toHost)), currentDir_(std::move(currentDir)) {}

void SystemProcessLauncher::SetEnvironment(const std::string& name, const std::string& value) {
  environment_[name] = value;
}

std::optional<std::string> SystemProcessLauncher::FindProgram(const std::string& dosName) const {
  std::vector<std::string> names{dosName};
  std::string::size_type slash = dosName.find_last_of("\\/:");
  std::string last = slash == std::string::npos ? dosName : dosName.substr(slash + 1);
  if (EndsWithExe(last)) {
    names.push_back(dosName.substr(0, dosName.size() - 4));
  } else if (last.find('.') == std::string::npos) {
    names.push_back(dosName + ".exe");
  }
  for (const std::string& name : names) {
    std::optional<std::string> host = toHost_(name);
    if (host && IsRegularFile(*host)) return host;
  }
  return std::nullopt;
}

std::optional<SystemProcessLauncher::Resolved> SystemProcessLauncher::Resolve(
    const std::string& commandLine) const {
  ProgramToken token = ParseProgramToken(commandLine);
  if (token.program.empty()) return std::nullopt;

  // Where the program name may end: after the name itself, or, for an unquoted name, at any
  // later blank before the first quote (a folder with blanks in it). Longest first.
  std::vector<std::size_t> ends{token.end};
  if (!token.quoted) {
    std::size_t start = commandLine.find_first_not_of(" \t");
    std::size_t stop = std::min(commandLine.find('"', token.end), commandLine.size());
    for (std::size_t at = token.end + 1; at <= stop; ++at) {
      bool boundary = at == commandLine.size() || commandLine[at] == ' ' || commandLine[at] == '\t';
      char before = commandLine[at - 1];
      if (boundary && before != ' ' && before != '\t' && before != '"') ends.push_back(at);
    }
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
      if (*it == token.end) continue;
      if (auto host = FindProgram(commandLine.substr(start, *it - start)))
        return Resolved{*host, SplitWindowsArguments(std::string_view(commandLine).substr(*it))};
    }
  }
  if (auto host = FindProgram(token.program))
    return Resolved{*host, SplitWindowsArguments(std::string_view(commandLine).substr(token.end))};
  return std::nullopt;
}

StartResult SystemProcessLauncher::Start(const std::string& commandLine, WindowShow show) {
  std::optional<Resolved> resolved = Resolve(commandLine);
  if (!resolved) return {nullptr, SystemMessage(ENOENT)};

  std::vector<std::string> argStore{resolved->hostPath};
  argStore.insert(argStore.end(), resolved->arguments.begin(), resolved->arguments.end());
  std::vector<char*> argv;
  for (std::string& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::map<std::string, std::string> extra = environment_;
  extra["MARROWFIELD_COMMAND_LINE"] = commandLine;
  extra["MARROWFIELD_SHOW_WINDOW"] = show == WindowShow::Minimized ? "minimized" : "normal";
  std::vector<std::string> envStore;
  for (char** e = environ; e && *e; ++e) {
    std::string entry = *e;
    if (!extra.count(entry.substr(0, entry.find('=')))) envStore.push_back(std::move(entry));
  }
  for (const auto& [name, value] : extra) envStore.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  SpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&setup.actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);
  if (currentDir_) {
    std::optional<std::string> dir = toHost_(currentDir_());
    if (dir && IsDirectory(*dir))
      posix_spawn_file_actions_addchdir_np(&setup.actions, dir->c_str());
  }
  // The program starts with no blocked signals and default handlers, whatever this one uses.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&setup.attributes, &none);
  posix_spawnattr_setsigdefault(&setup.attributes, &all);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, resolved->hostPath.c_str(), &setup.actions, &setup.attributes,
                         argv.data(), envp.data());
  if (rc != 0) return {nullptr, SystemMessage(rc)};
  return {std::make_unique<SpawnedProcess>(pid), {}};
}

WaitResult WaitForExit(ChildProcess& process, Clock& clock,
                       const std::function<bool()>& keepWaiting, std::uint32_t pollMs) {
  std::uint64_t start = clock.TickCount();
  for (;;) {
    bool keep = keepWaiting();
    if (std::optional<int> code = process.ExitCode())
      return {true, *code, clock.TickCount() - start};
    if (!keep) return {false, 0, clock.TickCount() - start};
    clock.Sleep(pollMs);
  }
}

namespace {

class ScriptedProcess final : public ChildProcess {
 public:
  ScriptedProcess(int polls, int code, bool ready) : polls_(polls), code_(code), ready_(ready) {}
  bool WaitUntilReady(std::uint32_t) override { return ready_; }
  std::optional<int> ExitCode() override {
    if (polls_ > 0) {
      --polls_;
      return std::nullopt;
    }
    return code_;
  }

 private:
  int polls_;
  int code_;
  bool ready_;
};

}  // namespace

StartResult FakeProcessLauncher::Start(const std::string& commandLine, WindowShow show) {
  calls.push_back({commandLine, show});
  if (!failWith.empty()) return {nullptr, failWith};
  if (onStart) onStart(commandLine);
  return {std::make_unique<ScriptedProcess>(pollsBeforeExit, exitCode, ready), {}};
}

}  // namespace upfold
