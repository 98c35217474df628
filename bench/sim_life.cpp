// The virtual printer over a long life: the first call of a new process
// (open the printer, answer one question) and that process's memory, after
// 1, 30, 365 and 3,650 days of 200 coupons of 5 items and a Z reduction.
// Each printer is generated once (its journal written directly, then opened
// once so that it writes its tape, detail memory and checkpoint) and kept in
// $TMPDIR/kalpo-sim-life/<days> for the next runs.
//
//   kalpo_sim_bench [Google Benchmark options]
// OpenAfterDays counters: call_ms (measured in the new process, from its
// start to the answer), rss_mb (its peak resident memory); its time is the
// whole process.  CommandAfterDays: one call in a process already using the
// printer.  FollowAfterDays/<days>/<printing>: one poll of a tape follower.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/printer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCoupons = 200, kItems = 5;
constexpr const char *kVersion = "3";  // of the files generated

std::string cache_for(int days) {
  const char *tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/kalpo-sim-life/" + std::to_string(days);
}

void put(std::ofstream &journal, std::string op, std::int64_t when, std::vector<std::string> args) {
  journal << ksim::journal_record("bench", std::move(op), when, std::move(args));
}

// The journal of `days` days, each from 08:00, a coupon a minute.
void write_journal(const std::string &path, int days) {
  std::ofstream journal(path, std::ios::binary);
  const std::int64_t first = ksim::from_civil({2016, 1, 1, 8, 0, 0});
  for (int day = 0; day < days; ++day) {
    std::int64_t when = first + 86400LL * day;
    for (int coupon = 0; coupon < kCoupons; ++coupon, when += 60) {
      put(journal, "open_coupon", when, {"", "", ""});
      for (int item = 1; item <= kItems; ++item)
        put(journal, "sell", when,
            {"789100010010" + std::to_string(item), "PRODUTO " + std::to_string(item), "UN", "T01", "1000", "1990",
             "0"});
      put(journal, "start_closing", when, {"0"});
      put(journal, "pay", when, {"1", "10000"});
      put(journal, "close_coupon", when, {"OBRIGADO, VOLTE SEMPRE"});
    }
    put(journal, "z_reduction", when, {});
  }
}

// The printer folder of `days` days, generated when not cached.
std::string printer_of(int days) {
  std::string folder = cache_for(days), ready = folder + "/ready";
  std::ifstream marker(ready);
  std::string version;
  if (marker >> version && version == kVersion) return folder;
  fs::remove_all(folder);
  fs::create_directories(folder + "/bemafi32");
  write_journal(folder + "/bemafi32/journal", days);
  setenv("KALPO_SIM_DIR", folder.c_str(), 1);
  ksim::Printer::of("bemafi32").state();  // replayed once: tape, details, checkpoint
  std::ofstream(ready) << kVersion << "\n";
  return folder;
}

struct Run {
  bool answered = false;
  double seconds = 0;
  long rss_kib = 0;
};

// One new process opening the printer.
Run open_in_new_process(const std::string &folder) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  std::string env = "KALPO_SIM_DIR=" + folder;
  char *argv[] = {const_cast<char *>(KALPO_SIM_OPEN), nullptr};
  char *envp[] = {env.data(), nullptr};
  pid_t pid = 0;
  int failed = posix_spawn(&pid, KALPO_SIM_OPEN, &actions, nullptr, argv, envp);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  Run run;
  if (failed == 0) {
    FILE *out = fdopen(pipe_fds[0], "r");
    int answered = 0;
    if (std::fscanf(out, "%d %lf %ld", &answered, &run.seconds, &run.rss_kib) == 3) run.answered = answered == 1;
    std::fclose(out);
    waitpid(pid, nullptr, 0);
  } else {
    close(pipe_fds[0]);
  }
  return run;
}

void OpenAfterDays(benchmark::State &state) {
  const std::string folder = printer_of(static_cast<int>(state.range(0)));
  double seconds = 0, rss = 0;
  for (auto _ : state) {
    Run run = open_in_new_process(folder);
    if (!run.answered) {
      state.SkipWithError("the printer did not answer");
      return;
    }
    seconds += run.seconds;
    rss = std::max(rss, static_cast<double>(run.rss_kib));
  }
  state.counters["call_ms"] = seconds * 1000 / static_cast<double>(state.iterations());
  state.counters["rss_mb"] = rss / 1024;
  state.counters["journal_mb"] = static_cast<double>(fs::file_size(folder + "/bemafi32/journal")) / 1e6;
}

// One call in a process that has the printer open, its fiscal memory read:
// a command refused (checked against a copy of the state, nothing written).
void CommandAfterDays(benchmark::State &state) {
  const std::string folder = printer_of(static_cast<int>(state.range(0)));
  setenv("KALPO_SIM_DIR", folder.c_str(), 1);
  ksim::Printer &printer = ksim::Printer::of("bemafi32");
  benchmark::DoNotOptimize(printer.state().fiscal_memory.begin());
  for (auto _ : state) {
    ksim::Session session = printer.begin("Bematech_FI_FechaRelatorioGerencial");
    if (session.close_report() != ksim::Outcome::no_coupon_open) state.SkipWithError("not refused");
  }
}

// Following the paper of a printer with a long tape (a copy, in a folder of
// its own): a poll when nothing printed (the stamp alone) and one after a
// line fed (a look, and the tape read from where the follower stood).
void FollowAfterDays(benchmark::State &state) {
  const std::string folder = printer_of(static_cast<int>(state.range(0))) + "-follow";
  const bool printing = state.range(1) != 0;
  fs::remove_all(folder);
  fs::copy(cache_for(static_cast<int>(state.range(0))), folder, fs::copy_options::recursive);
  setenv("KALPO_SIM_DIR", folder.c_str(), 1);
  ksim::Printer &printer = ksim::Printer::of("bemafi32");
  ksim::TapeFollower follower("bemafi32");
  follower.poll(1000);
  for (auto _ : state) {
    if (printing) {
      state.PauseTiming();
      printer.begin("Bematech_FI_AvancaPapel").feed(1);
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(follower.poll(1000));
  }
  fs::remove_all(folder);
}

}  // namespace

BENCHMARK(FollowAfterDays)->Args({1, 1})->Args({30, 0})->Args({30, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenAfterDays)->Arg(1)->Arg(30)->Arg(365)->Arg(3650)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CommandAfterDays)->Arg(1)->Arg(3650)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
