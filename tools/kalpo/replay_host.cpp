#include "replay_host.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "exports.h"
#include "host.h"
#include "kalpo.h"
#include "library.h"
#include "replay/makers.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;
#endif

namespace fs = std::filesystem;

namespace kt {
namespace {

// The interruption that came while a replay ran (0: none).
volatile std::sig_atomic_t g_interrupted = 0;

#if defined(_WIN32)

// One argument on a command line, as the C runtime splits it again.
std::string quoted(const std::string &arg) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + '"';
}

#else

std::string program_file() {
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec).string();
}

#endif

void copy_into(const fs::path &file, const fs::path &folder) {
  std::error_code ec;
  fs::copy_file(file, folder / file.filename(), fs::copy_options::overwrite_existing, ec);
  if (ec) throw UsageError("replay: cannot copy " + file.string() + " into " + folder.string() + ": " + ec.message());
}

}  // namespace

std::string prepare_replay_folder() {
  const fs::path library = loaded_library_file();
  if (library.empty()) throw UsageError("replay: cannot tell where libkalpo was loaded from");
  const char *own = std::getenv("KALPO_REPLAY_LIBRARIES");
  // Installed in libkalpo's own folder kalpo/replay; in the build tree, replay.
  std::error_code ec;
  fs::path replay_libraries = library.parent_path() / "kalpo" / "replay";
  if (own && *own)
    replay_libraries = own;
  else if (!fs::is_directory(replay_libraries, ec))
    replay_libraries = library.parent_path() / "replay";
  if (!fs::is_directory(replay_libraries, ec))
    throw UsageError("replay: the replay maker libraries are not in " + replay_libraries.string() +
                     " (KALPO_REPLAY_LIBRARIES names their folder)");
  const fs::path folder = temporary_folder("kalpo-replay-");
  try {
    for (const fs::directory_entry &entry : fs::directory_iterator(replay_libraries, ec))
      if (entry.is_regular_file(ec)) copy_into(entry.path(), folder);
    copy_into(library, folder);
#if defined(_WIN32)
    copy_into(module_file(nullptr), folder);
#endif
  } catch (...) {
    // A copy cut short (a signal, a full disk): the folder is not left behind.
    fs::remove_all(folder, ec);
    throw;
  }
  return folder.string();
}

#if defined(_WIN32)

int run_from(const std::string &folder, const std::vector<std::string> &args) {
  const std::string program = (fs::path(folder) / fs::path(module_file(nullptr)).filename()).string();
  std::string command = quoted(program);
  for (const std::string &arg : args) command += ' ' + quoted(arg);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                      &process))
    throw std::runtime_error("replay: cannot start " + program);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

std::vector<LoadedLibrary> loaded_maker_libraries() {
  loaded_library_file();  // libkalpo loaded, and with it the maker libraries
  std::vector<LoadedLibrary> loaded;
  for (const kreplay::Library &l : kreplay::libraries()) {
    const HMODULE module = GetModuleHandleA(std::string(l.file).c_str());
    loaded.push_back({l.name, module_file(module),
                      module ? reinterpret_cast<kreplay::TakeCalls>(
                                   reinterpret_cast<void *>(GetProcAddress(module, kreplay::kTakeCalls)))
                             : nullptr});
  }
  return loaded;
}

#else

int run_from(const std::string &folder, const std::vector<std::string> &args) {
  const std::string program = program_file();
  if (program.empty()) throw std::runtime_error("replay: cannot tell where this program is");
  // The loader's path comes before libkalpo's and this program's own.
  set_environment("LD_LIBRARY_PATH", folder);
  std::vector<std::string> words = {"kalpo"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
    throw std::runtime_error("replay: cannot start " + program);
  int status = 0;
  bool stopped = false;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("replay: the child process is lost");
    if (g_interrupted && !stopped) stopped = kill(child, SIGTERM) == 0;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  std::cerr << "kalpo replay: the replay ended by signal " << WTERMSIG(status) << '\n';
  return 1;
}

std::vector<LoadedLibrary> loaded_maker_libraries() {
  loaded_library_file();  // libkalpo loaded, and with it the maker libraries
  std::vector<LoadedLibrary> loaded;
  for (const kreplay::Library &l : kreplay::libraries()) {
    LoadedLibrary library{l.name, "", nullptr};
    // Found by one of its functions; its own take, not another's of the same name.
    for (const kreplay::MakerFunction &f : kreplay::maker_functions()) {
      if (f.library != l.name) continue;
      Dl_info info{};
      void *symbol = dlsym(RTLD_DEFAULT, f.name.c_str());
      if (!symbol || !dladdr(symbol, &info) || !info.dli_fname) break;
      library.file = info.dli_fname;
      if (void *handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD))
        library.take = reinterpret_cast<kreplay::TakeCalls>(dlsym(handle, kreplay::kTakeCalls));
      break;
    }
    loaded.push_back(std::move(library));
  }
  return loaded;
}

#endif

#if defined(_WIN32)

namespace {
BOOL WINAPI on_console_event(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  g_interrupted = 2;  // the child, on the same console, has the event too and ends
  return TRUE;
}
}  // namespace

Interruption::Interruption() { SetConsoleCtrlHandler(on_console_event, TRUE); }
Interruption::~Interruption() { SetConsoleCtrlHandler(on_console_event, FALSE); }

#else

namespace {
void on_signal(int signal) { g_interrupted = signal; }
constexpr int kStops[] = {SIGINT, SIGTERM, SIGHUP};
}  // namespace

Interruption::Interruption() {
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: the wait for the child returns to stop it
  for (int stop : kStops) sigaction(stop, &action, nullptr);
}

Interruption::~Interruption() {
  for (int stop : kStops) ::signal(stop, SIG_DFL);
}

#endif

int Interruption::signal() const { return g_interrupted; }

}  // namespace kt
