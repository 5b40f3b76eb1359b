// Stands in for a program the suite starts (the posting program, the archiver). Driven by
// environment variables:
//   UPFOLD_STUB_RECORD    file to write what the program received, as NUL-terminated items:
//                         "arg=<argument>" for each argument after the program name,
//                         "show=<MARROWFIELD_SHOW_WINDOW>", "line=<MARROWFIELD_COMMAND_LINE>",
//                         "cwd=<current directory>", "fd=<n>" for each open descriptor past 2;
//   UPFOLD_STUB_DELAY_MS  milliseconds to wait before ending (after recording);
//   UPFOLD_STUB_EXIT      exit code (default 0);
//   UPFOLD_STUB_SIGNAL    signal number to end by instead.

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

void Item(std::string& out, const std::string& key, const std::string& value) {
  out += key + "=" + value;
  out += '\0';
}

std::string OpenDescriptors() {
  std::string out;
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return out;
  int own = dirfd(dir);
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    int fd = std::atoi(e->d_name);
    if (fd > 2 && fd != own) Item(out, "fd", e->d_name);
  }
  closedir(dir);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::string record = Env("UPFOLD_STUB_RECORD");
  if (!record.empty()) {
    std::string out;
    for (int i = 1; i < argc; ++i) Item(out, "arg", argv[i]);
    Item(out, "show", Env("MARROWFIELD_SHOW_WINDOW"));
    Item(out, "line", Env("MARROWFIELD_COMMAND_LINE"));
    char cwd[4096] = {};
    Item(out, "cwd", getcwd(cwd, sizeof cwd) ? cwd : "");
    out += OpenDescriptors();
    std::string temp = record + ".part";
    if (std::FILE* f = std::fopen(temp.c_str(), "wb")) {
      std::fwrite(out.data(), 1, out.size(), f);
      std::fclose(f);
      std::rename(temp.c_str(), record.c_str());  // whole or nothing for the reader
    }
  }
  if (std::string delay = Env("UPFOLD_STUB_DELAY_MS"); !delay.empty())
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(delay.c_str())));
  if (std::string sig = Env("UPFOLD_STUB_SIGNAL"); !sig.empty()) {
    std::signal(std::atoi(sig.c_str()), SIG_DFL);
    std::raise(std::atoi(sig.c_str()));
  }
  return std::atoi(Env("UPFOLD_STUB_EXIT").c_str());
}
