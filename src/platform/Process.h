#pragma once
// Starting the suite's other programs (the posting program, the archiver) from a Windows
// command line, and waiting for them while the windows stay alive.
//
// The program named first on the line is a DOS path, resolved through DosFs without regard to
// case. Its ".exe" is matched as the file stands on disk: "C:\MFW\Brask.exe" starts a file
// Brask.exe, or else a file Brask (how Linux programs are named); a name without extension,
// "C:\MFW\pkzip25", starts pkzip25, or else pkzip25.exe. An unquoted name that holds blanks
// ("C:\Program Files\MFW\Brask.exe") is found as Windows finds it, by trying the line up to
// each blank; the longest name that exists wins, so a file planted at a shorter prefix
// ("C:\Program") is never started instead. No PATH search: the suite always names full paths.
//
// The started program gets:
//  - argv[0] the resolved host path; argv[1..] the rest of the line split by the Windows rules
//    (WindowsCommandLine.h), byte for byte in the program's 8-bit text as a Windows program
//    would (the suite's programs resolve DOS paths through DosFs, which takes them so);
//  - no open descriptor but standard error (standard input and output are /dev/null);
//  - the current directory of DosFs;
//  - this process's environment plus MARROWFIELD_COMMAND_LINE (the line as given) and
//    MARROWFIELD_SHOW_WINDOW ("minimized" or "normal": how its window should come up, a hint
//    the suite's programs may honour).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DosFs.h"

namespace upfold {

class Clock;

enum class WindowShow { Normal, Minimized };

// A started program. Destroying the object does not stop the program.
class ChildProcess {
 public:
  virtual ~ChildProcess() = default;
  // True once the program runs its own code, at the latest after timeoutMs.
  virtual bool WaitUntilReady(std::uint32_t timeoutMs) = 0;
  // nullopt while the program runs; then its exit code (128 + the signal for a program
  // that was killed).
  virtual std::optional<int> ExitCode() = 0;
};

struct StartResult {
  std::unique_ptr<ChildProcess> process;  // null when the program could not be started
  std::string error;  // why not, as a system message ("The system cannot find the file specified.")
  explicit operator bool() const { return process != nullptr; }
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  virtual StartResult Start(const std::string& commandLine, WindowShow show) = 0;
};

class SystemProcessLauncher final : public ProcessLauncher {
 public:
  // toHost maps a DOS path to a host path, as DosFs::ToHost does; currentDir gives the DOS
  // folder the program starts in (empty: this process's own).
  using HostPathFn = std::function<std::optional<std::string>(const std::string& dosPath)>;
  using CurrentDirFn = std::function<std::string()>;
  SystemProcessLauncher(HostPathFn toHost, CurrentDirFn currentDir);
  explicit SystemProcessLauncher(const DosFs& fs)
      : SystemProcessLauncher([&fs](const std::string& p) { return fs.ToHost(p); },
                              [&fs] { return fs.CurrentDirectory(); }) {}

  StartResult Start(const std::string& commandLine, WindowShow show) override;

  // The host file a command line would start and the arguments it would get; nullopt when
  // no such program exists.
  struct Resolved {
    std::string hostPath;
    std::vector<std::string> arguments;
  };
  std::optional<Resolved> Resolve(const std::string& commandLine) const;

  // Sets a variable in the environment of the programs started from now on.
  void SetEnvironment(const std::string& name, const std::string& value);

 private:
  std::optional<std::string> FindProgram(const std::string& dosName) const;

  HostPathFn toHost_;
  CurrentDirFn currentDir_;
  std::map<std::string, std::string> environment_;
};

struct WaitResult {
  bool exited = false;  // false: keepWaiting asked to stop while the program still ran
  int exitCode = 0;
  std::uint64_t elapsedMs = 0;  // by the clock
};

// Polls the program until it ends: before each poll keepWaiting runs (processing pending window
// messages) and may return false to stop waiting (the application is closing); between polls
// the clock waits pollMs.
WaitResult WaitForExit(ChildProcess& process, Clock& clock,
                       const std::function<bool()>& keepWaiting, std::uint32_t pollMs = 10);

// For tests of the callers: records every start and plays a scripted program.
class FakeProcessLauncher final : public ProcessLauncher {
 public:
  struct Call {
    std::string commandLine;
    WindowShow show;
  };
  StartResult Start(const std::string& commandLine, WindowShow show) override;

  std::vector<Call> calls;
  std::string failWith;     // non-empty: every start fails with this text
  int pollsBeforeExit = 0;  // ExitCode() reports a running program this many times
  int exitCode = 0;
  bool ready = true;  // what WaitUntilReady answers
  // Runs at each successful start, standing for what the program does (writing its output).
  std::function<void(const std::string& commandLine)> onStart;
};

}  // namespace upfold
