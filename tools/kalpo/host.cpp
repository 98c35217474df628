#include "host.h"

#include <filesystem>
#include <random>
#include <stdexcept>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#else
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kt {

#if defined(_WIN32)

std::string module_file(void *module) {
  char path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(static_cast<HMODULE>(module), path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

void set_environment(const char *name, const std::string &value) {
  // The C runtime's copy (getenv) and the process's own (the makers' DLLs).
  _putenv_s(name, value.c_str());
  SetEnvironmentVariableA(name, value.c_str());
}

std::string temporary_folder(const std::string &prefix) {
  // The process and the moment too: some runtimes' random_device repeats.
  std::random_device seed;
  std::mt19937 random(seed() ^ GetCurrentProcessId() ^ GetTickCount());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder = base / (prefix + std::to_string(random() % 1000000));
    if (CreateDirectoryA(folder.string().c_str(), nullptr)) return folder.string();
  }
  throw std::runtime_error("cannot create a temporary folder in " + base.string());
}

bool input_is_terminal() { return _isatty(_fileno(stdin)) != 0; }
bool output_is_terminal() { return _isatty(_fileno(stdout)) != 0; }

void keep_standard_streams() {}

void prepare_output() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
}

#else

void set_environment(const char *name, const std::string &value) { setenv(name, value.c_str(), 1); }

std::string temporary_folder(const std::string &prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  return pattern;
}

bool input_is_terminal() { return isatty(STDIN_FILENO) != 0; }
bool output_is_terminal() { return isatty(STDOUT_FILENO) != 0; }

void prepare_output() {}

void keep_standard_streams() {
  for (int fd = 0; fd <= 2; ++fd)
    if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      const int opened = open("/dev/null", O_RDONLY);
      if (opened >= 0 && opened != fd) dup2(opened, fd), close(opened);
    }
}

#endif

}  // namespace kt
