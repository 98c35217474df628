// What the service counts for GET /metrics.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "serve/printer_watch.h"

namespace kt::serve {

// One call as the log line and the counters tell it.
struct CallRecord {
  std::string export_name;         // "" before the export is known
  std::string model;               // a model KALPO knows, "unknown", or "" when the export takes none
  std::string result;              // "ok", "failed", "done" (a result that is not a flag), "" when not called
  std::vector<std::string> codes;  // of the operator messages shown
  double ms = 0, queue_ms = 0;
  int status = 500;
  std::string key;  // the Idempotency-Key, if any
  std::string request_id;
  bool replayed = false;
};

// What /metrics tells besides the counters, taken at the scrape.
struct Snapshot {
  std::size_t queue_length = 0, connections = 0, streams = 0;
  std::uint64_t streams_lagged = 0, streams_refused = 0;
  std::vector<PrinterState> printers;
};

struct ProcessFigures {
  double resident_bytes = -1;  // -1: unknown
  double open_fds = -1;
  double start_time = 0;  // Unix seconds
};
ProcessFigures process_figures();

class Metrics {
 public:
  // Upper bounds of the call-duration histogram, in seconds.
  static constexpr std::array<double, 10> kBuckets{0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.1, 0.5, 2.5, 10};

  void call(const CallRecord &record);
  void queue_refused();
  // An answer sent, by its route's pattern ("other" for no route, "unread"
  // for a request refused before it was read whole).
  void answer(const std::string &route, int status);
  // The Prometheus text, with the figures of the moment.
  std::string text(const Snapshot &now);

 private:
  std::mutex mutex_;
  std::map<std::tuple<std::string, std::string, std::string>, std::uint64_t> calls_;  // export, model, result
  std::map<std::string, std::uint64_t> failures_;                                     // by message code
  std::map<std::string, std::uint64_t> messages_;                                     // by message code
  std::array<std::uint64_t, kBuckets.size()> buckets_{};
  std::uint64_t durations_ = 0;
  double seconds_ = 0;
  std::uint64_t refusals_ = 0;
  std::uint64_t replayed_ = 0;
  std::map<std::pair<std::string, int>, std::uint64_t> answers_;  // route, status
};

}  // namespace kt::serve
