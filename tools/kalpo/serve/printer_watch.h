// The printer watch: each printer's state as its own answers tell it, from
// the calls made and from a cheap status query asked while no call waits.
// Nothing is read from a virtual printer's files: a maker's library driving
// a real printer is seen the same way.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

namespace kt {
struct Export;
}

namespace kt::serve {

class WorkQueue;
class EventHub;

struct PrinterState {
  std::string model, library;
  std::optional<bool> answering;  // none before its first answer
  double since = 0;               // Unix seconds: when `answering` took its value
  double last_answer = 0;         // Unix seconds of the last answer the printer gave (0: none)
  std::string paper = "unknown";  // "ok", "low", "out", or "unknown" before the printer said
  std::optional<bool> coupon_open;
  std::optional<bool> z_pending;  // a Z reduction is due, where the maker says it
  std::string last_failure;       // the code of the last failed call, "" none
  double last_failure_at = 0;
  std::string query;  // the export the watch asks, "" when the maker has no side-effect-free one
  // The maker library's file that answers, once one has: the virtual
  // printer's (its own folder) or a maker's own.
  std::string file;
  std::optional<bool> is_virtual;

  // "down": the printer does not answer; "degraded": it answers but the paper
  // is out or low, or a Z reduction is due; "ok"; "unknown" before any answer.
  std::string status() const;
  // The machine codes every call's answer carries while they hold:
  // printer_not_answering, paper_out, paper_low, reduction_due.
  std::vector<std::string> warnings() const;
  nlohmann::json json() const;
};

// What one answer of the printer tells: a call or the watch's own query.
struct Observation {
  const Export *call = nullptr;
  bool ok = false;                 // the result was a success (flag 1, or a call without a flag)
  std::vector<std::string> codes;  // of the operator messages shown
  nlohmann::json out;              // the out values by name
};

// The code a failed call is counted under: its first message that says why,
// past the generic "the command was not carried out"; "none" without one.
std::string failure_code(const std::vector<std::string> &codes);

class PrinterWatch {
 public:
  PrinterWatch(EventHub &hub, WorkQueue &calls);
  ~PrinterWatch();
  PrinterWatch(const PrinterWatch &) = delete;
  // A printer to watch, by model; one KALPO does not know, or a model with
  // no printer behind it, is not watched (false).
  bool add(const std::string &model);
  // Every `interval`, each printer without an answer for that long is asked
  // its status query when no call waits; zero: never asked.
  void start(std::chrono::milliseconds interval);
  void stop();
  // What a call's answer tells of its model's printer (on the call queue's
  // thread); a `status` event when the state changes.
  void answered(const std::string &model, const Observation &seen);
  // The warnings the printer's state gives every call of `model`.
  std::vector<std::string> warnings(const std::string &model);
  std::vector<PrinterState> states();
  std::chrono::milliseconds interval() const { return interval_; }

 private:
  void ask(const std::string &model);

  EventHub &hub_;
  WorkQueue &calls_;
  std::chrono::milliseconds interval_{0};
  std::mutex mutex_;
  std::map<std::string, PrinterState> printers_;
  std::map<std::string, std::chrono::steady_clock::time_point> asked_;
  std::map<std::string, bool> pending_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace kt::serve
