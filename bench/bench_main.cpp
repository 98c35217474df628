// KALPO's own cost per export, against the floor every printer call pays by
// design: one fresh read of the configuration file (open, read, close, look
// up).  The makers' libraries are replaced by a seam that answers at once, the
// platform is the real one (a drive C in a temporary folder, Brazilian
// regional settings).
//
//   kalpo_bench [--rss] [Google Benchmark options]
// prints every benchmark, then the table of ratios export/floor per export
// and model, the sale's per-item ratio and, with --rss, the resident memory
// after 10^4 and 10^6 calls; always the heap allocations per VendaItem call.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "alloc_count.h"
#include "base/ini.h"
#include "entry/trace.h"
#include "exports.h"
#include "kalpo.h"
#include "null_seam.h"
#include "seam/seam.h"

namespace fs = std::filesystem;
using namespace kalpo::bench;

namespace {

fs::path g_ini;  // the configuration file's own path, for the floor

constexpr char kIni[] =
    "[GERAL]\r\nLOJA=1\r\nCAIXA=3\r\n\r\n"
    "[ECF]\r\nMODELO=DATAREGISSERIAL\r\nPORTACOM=COM1\r\nVELOCIDADE=115200\r\nPARIDADE=n\r\n"
    "DESATIVAFACA=S\r\nMENSAGEM=Volte sempre!\r\n\r\n[TEF]\r\nATIVO=N\r\n";

int32_t KALPO_CALL answer_yes(void *, int32_t, const char *, const char *, uint32_t flags) {
  return (flags & 0x0F) == 0x04 ? KALPO_BTN_YES : KALPO_BTN_OK;
}

void set_up() {
  char folder[] = "/tmp/kalpo-bench-XXXXXX";
  if (!mkdtemp(folder)) std::abort();
  fs::path drive_c = folder;
  fs::create_directories(drive_c / "zantrello" / "configs");
  fs::create_directories(drive_c / "zantrello" / "NFP");
  g_ini = drive_c / "zantrello" / "configs" / "kalpo.ini";
  std::ofstream(g_ini, std::ios::binary) << kIni;
  // As on a working day: the export folder made on an earlier one, and no
  // folder changed in the last minute.
  const auto earlier = fs::file_time_type::clock::now() - std::chrono::minutes(1);
  for (const fs::path &folder :
       {drive_c, drive_c / "zantrello", drive_c / "zantrello" / "configs", drive_c / "zantrello" / "NFP"})
    fs::last_write_time(folder, earlier);
  setenv("KALPO_DRIVE_C", folder, 1);
  unsetenv("LC_ALL");
  unsetenv("LC_NUMERIC");
  unsetenv("LC_TIME");
  setenv("LANG", "pt_BR.UTF-8", 1);
  unsetenv("KALPO_TRACE");
  kalpo::seam::install(&null_api());
  KALPO_DefineTratadorMensagens(&answer_yes, nullptr);
}

// The floor: open, read, close, look up one key.
void floor_read() {
  int fd = open(g_ini.c_str(), O_RDONLY);
  std::string contents;
  char chunk[4096];
  for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) > 0;) contents.append(chunk, static_cast<std::size_t>(n));
  close(fd);
  std::string value;
  kalpo::base::ini::lookup(contents, "ECF", "PORTACOM", value);
  benchmark::DoNotOptimize(value);
}

void Floor(benchmark::State &state) {
  for (auto _ : state) floor_read();
}

void Export(benchmark::State &state, const ExportCall *e, const char *model) {
  for (auto _ : state) e->call(model);
}

// A coupon of n items on a model: open, n sales, closing start, payment, close.
void sale(const char *model, int items) {
  const ExportCall *by_name[5] = {};
  for (const ExportCall &e : exports()) {
    const char *names[] = {"AbreCupom", "VendaItem", "Inicia_Fechamento", "forma_pagamento", "fecha_cupom"};
    for (int i = 0; i < 5; ++i)
      if (std::strcmp(e.name, names[i]) == 0) by_name[i] = &e;
  }
  by_name[0]->call(model);
  for (int i = 0; i < items; ++i) by_name[1]->call(model);
  for (int i = 2; i < 5; ++i) by_name[i]->call(model);
}

void Sale(benchmark::State &state, const char *model) {
  for (auto _ : state) sale(model, static_cast<int>(state.range(0)));
}

void Tracing(benchmark::State &state, bool on) {
  fs::path trace = fs::temp_directory_path() / "kalpo-bench-trace.jsonl";
  if (on) setenv("KALPO_TRACE", trace.c_str(), 1);
  kalpo::entry::trace::mode = kalpo::entry::trace::Mode::unknown;
  for (auto _ : state) {
    KALPO_VendaItem("DATAREGISSERIAL", "7891000100103", "CAFE TORRADO", "01", "I", 1.5, 2, 12.99, "", 0.0);
    if (on && state.iterations() % 4096 == 0) fs::remove(trace);  // keeps the file small
  }
  unsetenv("KALPO_TRACE");
  kalpo::entry::trace::mode = kalpo::entry::trace::Mode::unknown;
  fs::remove(trace);
}

// Collects the CPU times (steadier than wall time on a shared machine) next
// to the usual console output.
class Collector : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> ns;
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        ns[run.benchmark_name()] = run.GetAdjustedCPUTime() * (run.time_unit == benchmark::kMicrosecond ? 1e3 : 1.0);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

// Whether an export has a branch of its own for a model: it reaches the
// seam, or (the workstation's date) works without it.
bool has_branch(const ExportCall &e, const char *model) {
  if (std::strcmp(e.name, "LeData") == 0) return true;
  const auto before = null_calls();
  e.call(model);
  return null_calls() != before;
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void print_table(const std::map<std::string, double> &ns) {
  const double floor = ns.at("Floor");
  std::printf("\nRatio export/floor (floor %.2f us; '.' no branch for the model)\n%-24s", floor / 1e3, "");
  for (const char *m : models()) std::printf(" %8.8s", m);
  std::printf("\n");
  std::vector<double> ratios;
  std::string worst;
  double worst_ratio = 0;
  std::vector<std::string> above;
  for (const ExportCall &e : exports()) {
    std::printf("%-24s", e.name);
    for (const char *m : models()) {
      const char *model = e.takes_model ? m : "-";
      auto it = ns.find(std::string("Export/") + e.name + "/" + model);
      if (it == ns.end() || (!e.takes_model && m != models().front()) || !has_branch(e, model)) {
        std::printf(" %8s", ".");
        continue;
      }
      const double ratio = it->second / floor;
      ratios.push_back(ratio);
      if (ratio > worst_ratio) {
        worst_ratio = ratio;
        worst = std::string(e.name) + " on " + model;
      }
      if (ratio > 1.5) above.push_back(std::string(e.name) + " on " + model);
      std::printf(" %8.2f", ratio);
    }
    std::printf("\n");
  }
  std::printf("\n%zu exports with a branch: median %.2f, worst %.2f (%s); %zu above 1.5\n", ratios.size(),
              median(ratios), worst_ratio, worst.c_str(), above.size());
  for (const std::string &name : above) std::printf("  above 1.5: %s\n", name.c_str());
  for (const char *model : {"BEMATECHMP20", "DATAREGISSERIAL", "DARUMA32"}) {
    const std::string base = std::string("Sale/") + model + "/";
    auto ten = ns.find(base + "10"), thousand = ns.find(base + "1000");
    if (ten == ns.end() || thousand == ns.end()) continue;
    std::printf("Sale on %s: per-item time 1000/10 items = %.3f\n", model,
                (thousand->second / 1000) / (ten->second / 10));
  }
  auto off = ns.find("Trace/off"), on = ns.find("Trace/on");
  if (off != ns.end() && on != ns.end())
    std::printf("VendaItem on DATAREGISSERIAL: tracing off %.2f us, on %.2f us\n", off->second / 1e3, on->second / 1e3);
}

// Heap allocations (operator new) per call of VendaItem, after a warm-up call.
void allocations_per_item() {
  for (const char *model : {"DATAREGISSERIAL", "ELGINFIT", "BEMATECHMP20"}) {
    auto item = [model] { KALPO_VendaItem(model, "7891000100103", "CAFE TORRADO", "01", "I", 1.5, 2, 12.99, "", 0.0); };
    item();
    constexpr int kCalls = 1000;
    const uint64_t before = allocations();
    for (int i = 0; i < kCalls; ++i) item();
    std::printf("VendaItem on %s: %.1f heap allocations per call\n", model,
                static_cast<double>(allocations() - before) / kCalls);
  }
}

long resident_kib() {
  std::FILE *f = std::fopen("/proc/self/statm", "r");
  long pages = 0, resident = 0;
  if (f) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Resident memory after 10^4 and 10^6 export calls, every export with a
// branch taken in turn.
void resident_memory() {
  std::vector<std::pair<const ExportCall *, const char *>> calls;
  for (const ExportCall &e : exports()) {
    if (!e.takes_model) calls.emplace_back(&e, "-");
    for (const char *m : models())
      if (e.takes_model && has_branch(e, m)) calls.emplace_back(&e, m);
  }
  long after_1e4 = 0;
  for (long i = 1; i <= 1'000'000; ++i) {
    const auto &[e, model] = calls[static_cast<std::size_t>(i) % calls.size()];
    e->call(model);
    if (i == 10'000) after_1e4 = resident_kib();
  }
  const long after_1e6 = resident_kib();
  std::printf("Resident memory (LANG=pt_BR.UTF-8): %ld KiB after 10^4 calls, %ld KiB after 10^6: growth %ld KiB\n",
              after_1e4, after_1e6, after_1e6 - after_1e4);
}

}  // namespace

int main(int argc, char **argv) {
  bool rss = false;
  std::vector<char *> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rss") == 0)
      rss = true;
    else
      args.push_back(argv[i]);
  }
  int count = static_cast<int>(args.size());
  set_up();
  benchmark::RegisterBenchmark("Floor", Floor);
  for (const ExportCall &e : exports()) {
    for (const char *m : models()) {
      const char *model = e.takes_model ? m : "-";
      benchmark::RegisterBenchmark((std::string("Export/") + e.name + "/" + model).c_str(), Export, &e, model);
      if (!e.takes_model) break;
    }
  }
  for (const char *model : {"BEMATECHMP20", "DATAREGISSERIAL", "DARUMA32"})
    benchmark::RegisterBenchmark((std::string("Sale/") + model).c_str(), Sale, model)->Arg(10)->Arg(100)->Arg(1000);
  benchmark::RegisterBenchmark("Trace/off", Tracing, false);
  benchmark::RegisterBenchmark("Trace/on", Tracing, true);
  benchmark::Initialize(&count, args.data());
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  if (collector.ns.count("Floor")) print_table(collector.ns);
  allocations_per_item();
  if (rss) resident_memory();
  benchmark::Shutdown();
  return 0;
}
