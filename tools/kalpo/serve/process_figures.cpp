// The process's own figures for /metrics: resident memory, open
// descriptors (handles on Windows), and when it started.
#include "serve/metrics.h"

#include <chrono>

#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#else
#include <dirent.h>
#include <unistd.h>

#include <fstream>
#endif

namespace kt::serve {
namespace {

// Taken when the tool starts, which is when the process did.
const double kStarted = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();

}  // namespace

ProcessFigures process_figures() {
  ProcessFigures f;
  f.start_time = kStarted;
#if defined(_WIN32)
  PROCESS_MEMORY_COUNTERS counters{};
  if (K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
    f.resident_bytes = static_cast<double>(counters.WorkingSetSize);
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles)) f.open_fds = handles;
#else
  // statm: total and resident pages.
  std::ifstream statm("/proc/self/statm");
  double total = 0, resident = 0;
  if (statm >> total >> resident) f.resident_bytes = resident * static_cast<double>(sysconf(_SC_PAGESIZE));
  if (DIR *fds = opendir("/proc/self/fd")) {
    std::size_t count = 0;
    while (const dirent *entry = readdir(fds))
      if (entry->d_name[0] != '.') ++count;
    closedir(fds);
    f.open_fds = count - 1;  // the listing's own descriptor
  }
#endif
  return f;
}

}  // namespace kt::serve
