// What the service counts for GET /metrics, and the printers' health that
// GET /v1/health and /metrics share.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

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
  bool replayed = false;
};

class Metrics {
 public:
  // Upper bounds of the call-duration histogram, in seconds.
  static constexpr std::array<double, 10> kBuckets{0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.1, 0.5, 2.5, 10};

  void call(const CallRecord &record);
  void queue_refused();
  // The Prometheus text, with the calls waiting, the connections and event
  // streams open now, and the printers' gauges.
  std::string text(std::size_t queue_length, std::size_t connections, std::size_t streams);

 private:
  std::mutex mutex_;
  std::map<std::tuple<std::string, std::string, std::string>, std::uint64_t> calls_;  // export, model, result
  std::map<std::string, std::uint64_t> failures_;                                     // by message code
  std::map<std::string, std::uint64_t> messages_;                                     // by message code
  std::array<std::uint64_t, kBuckets.size()> buckets_{};
  std::uint64_t durations_ = 0;
  double seconds_ = 0;
  std::uint64_t refusals_ = 0;
};

struct PrinterHealth {
  std::string library;
  bool exists = false;     // made by a first call
  bool answers = false;    // neither off nor damaged
  bool damaged = false;    // its journal is refused
  bool paper_out = false;  // paper_end
  bool paper_low = false;  // paper_near_end
  bool coupon_open = false;
  std::uint32_t coo = 0, crz = 0;
  double grand_total = 0;
};

// Every printer's health, looked at no more than once a second.
std::vector<PrinterHealth> printers_health();

}  // namespace kt::serve
