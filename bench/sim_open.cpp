// A new process that opens the Bematech virtual printer of KALPO_SIM_DIR and
// asks it one question, as a point-of-sale program's first call does.
// Prints "<1 when answered> <seconds for the call> <peak resident KiB>".
#include <chrono>
#include <cstdio>
#include <cstring>

#include "core/printer.h"

namespace {

// This process's peak resident memory (its own: not what a parent had
// when it started it).
long peak_kib() {
  long kib = 0;
  char line[256];
  FILE *status = std::fopen("/proc/self/status", "r");
  while (status && std::fgets(line, sizeof line, status))
    if (std::strncmp(line, "VmHWM:", 6) == 0) std::sscanf(line + 6, "%ld", &kib);
  if (status) std::fclose(status);
  return kib;
}

}  // namespace

int main() {
  auto start = std::chrono::steady_clock::now();
  bool answered = false;
  {
    ksim::Session session = ksim::Printer::of("bemafi32").begin("Bematech_FI_NumeroCupom", ksim::Call::query);
    answered = !session.silent() && session.state().coo > 0;
  }
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%d %.9f %ld\n", answered ? 1 : 0, took.count(), peak_kib());
  return answered ? 0 : 1;
}
