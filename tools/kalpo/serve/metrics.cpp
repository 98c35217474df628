// The counters in the Prometheus text format, and the printers' gauges
// from the printer watch.
#include "serve/metrics.h"

#include "kalpo.h"
#include "serve/service.h"

#include <cstdio>

namespace kt::serve {
namespace {

// A label value with \, " and newlines escaped.
std::string label(const std::string &value) {
  std::string out;
  for (const char c : value) {
    if (c == '\\' || c == '"')
      out += '\\', out += c;
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

void family(std::string &out, const std::string &name, const char *type, const std::string &help) {
  out += "# HELP " + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
}

// Each printer's gauges, labelled by model and library; a printer that has
// not yet answered or said has no sample of what it has not told.
void printer_gauges(std::string &out, const std::vector<PrinterState> &printers) {
  const auto labels = [](const PrinterState &s) {
    return "model=\"" + label(s.model) + "\",library=\"" + label(s.library) + "\"";
  };
  family(out, "kalpo_printer_up", "gauge", "1 when the printer answered its last call or status query, 0 when not.");
  for (const PrinterState &s : printers)
    if (s.answering) out += "kalpo_printer_up{" + labels(s) + "} " + (*s.answering ? "1" : "0") + "\n";
  family(out, "kalpo_printer_paper", "gauge",
         "1 for the paper's state as the printer last told it: ok, low, out or unknown.");
  for (const PrinterState &s : printers)
    for (const char *state : {"ok", "low", "out", "unknown"})
      out += "kalpo_printer_paper{" + labels(s) + ",state=\"" + state + "\"} " + (s.paper == state ? "1" : "0") + "\n";
  family(out, "kalpo_printer_coupon_open", "gauge", "1 when the printer said a coupon or other document is open.");
  for (const PrinterState &s : printers)
    if (s.coupon_open) out += "kalpo_printer_coupon_open{" + labels(s) + "} " + (*s.coupon_open ? "1" : "0") + "\n";
  family(out, "kalpo_printer_z_pending", "gauge", "1 when the printer said a Z reduction is due.");
  for (const PrinterState &s : printers)
    if (s.z_pending) out += "kalpo_printer_z_pending{" + labels(s) + "} " + (*s.z_pending ? "1" : "0") + "\n";
  family(out, "kalpo_printer_virtual", "gauge",
         "1 when the virtual printer's library answers for the model, 0 when a maker's own does.");
  for (const PrinterState &s : printers)
    if (s.is_virtual) out += "kalpo_printer_virtual{" + labels(s) + "} " + (*s.is_virtual ? "1" : "0") + "\n";
  family(out, "kalpo_printer_last_answer_timestamp_seconds", "gauge",
         "When the printer last answered, in Unix seconds.");
  for (const PrinterState &s : printers)
    if (s.last_answer > 0)
      out += "kalpo_printer_last_answer_timestamp_seconds{" + labels(s) + "} " + number(s.last_answer) + "\n";
}

}  // namespace

void Metrics::call(const CallRecord &record) {
  std::lock_guard lock(mutex_);
  if (record.replayed) ++replayed_;
  if (record.result.empty() || record.replayed) return;
  ++calls_[{record.export_name, record.model, record.result}];
  if (record.result == "failed") ++failures_[failure_code(record.codes)];
  for (const std::string &code : record.codes) ++messages_[code];
  const double seconds = record.ms / 1000;
  for (std::size_t i = 0; i < kBuckets.size(); ++i)
    if (seconds <= kBuckets[i]) ++buckets_[i];
  ++durations_;
  seconds_ += seconds;
}

void Metrics::queue_refused() {
  std::lock_guard lock(mutex_);
  ++refusals_;
}

void Metrics::answer(const std::string &route, int status) {
  std::lock_guard lock(mutex_);
  ++answers_[{route, status}];
}

std::string Metrics::text(const Snapshot &now) {
  const ProcessFigures process = process_figures();
  std::lock_guard lock(mutex_);
  std::string out;
  family(out, "kalpo_build_info", "gauge", "Always 1: the service's version and its HTTP API's.");
  out += "kalpo_build_info{version=\"" KALPO_VERSION_TEXT "\",api=\"" + std::string(kApiVersion) + "\"} 1\n";
  family(out, "process_resident_memory_bytes", "gauge", "Resident memory size in bytes.");
  if (process.resident_bytes >= 0) out += "process_resident_memory_bytes " + number(process.resident_bytes) + "\n";
  family(out, "process_open_fds", "gauge", "Number of open file descriptors (handles on Windows).");
  if (process.open_fds >= 0) out += "process_open_fds " + number(process.open_fds) + "\n";
  family(out, "process_start_time_seconds", "gauge", "Start time of the process since the Unix epoch in seconds.");
  out += "process_start_time_seconds " + number(process.start_time) + "\n";
  family(out, "kalpo_http_responses_total", "counter", "Answers sent, by route and HTTP status.");
  for (const auto &[labels, count] : answers_)
    out += "kalpo_http_responses_total{route=\"" + label(labels.first) + "\",status=\"" +
           std::to_string(labels.second) + "\"} " + std::to_string(count) + "\n";
  family(out, "kalpo_idempotency_replays_total", "counter",
         "Calls answered again from an Idempotency-Key's kept answer.");
  out += "kalpo_idempotency_replays_total " + std::to_string(replayed_) + "\n";
  family(out, "kalpo_calls_total", "counter", "Export calls made, by export, model and result.");
  for (const auto &[labels, count] : calls_) {
    const auto &[name, model, result] = labels;
    out += "kalpo_calls_total{export=\"" + label(name) + "\",model=\"" + label(model) + "\",result=\"" + label(result) +
           "\"} " + std::to_string(count) + "\n";
  }
  family(out, "kalpo_maker_failures_total", "counter",
         "Calls the maker library failed, by the code of the first operator message.");
  for (const auto &[code, count] : failures_)
    out += "kalpo_maker_failures_total{code=\"" + label(code) + "\"} " + std::to_string(count) + "\n";
  family(out, "kalpo_operator_messages_total", "counter", "Operator messages shown, by code.");
  for (const auto &[code, count] : messages_)
    out += "kalpo_operator_messages_total{code=\"" + label(code) + "\"} " + std::to_string(count) + "\n";
  family(out, "kalpo_call_duration_seconds", "histogram", "The calls' own time, without their wait in the queue.");
  for (std::size_t i = 0; i < kBuckets.size(); ++i)
    out +=
        "kalpo_call_duration_seconds_bucket{le=\"" + number(kBuckets[i]) + "\"} " + std::to_string(buckets_[i]) + "\n";
  out += "kalpo_call_duration_seconds_bucket{le=\"+Inf\"} " + std::to_string(durations_) + "\n";
  out += "kalpo_call_duration_seconds_sum " + number(seconds_) + "\n";
  out += "kalpo_call_duration_seconds_count " + std::to_string(durations_) + "\n";
  family(out, "kalpo_queue_length", "gauge", "Calls waiting for their turn.");
  out += "kalpo_queue_length " + std::to_string(now.queue_length) + "\n";
  family(out, "kalpo_queue_refusals_total", "counter", "Calls refused because the queue was full or stopping.");
  out += "kalpo_queue_refusals_total " + std::to_string(refusals_) + "\n";
  family(out, "kalpo_connections_open", "gauge", "HTTP connections open, authenticated or not.");
  out += "kalpo_connections_open " + std::to_string(now.connections) + "\n";
  family(out, "kalpo_event_streams_open", "gauge", "Event streams open.");
  out += "kalpo_event_streams_open " + std::to_string(now.streams) + "\n";
  family(out, "kalpo_event_streams_lagged_total", "counter", "Event streams dropped for falling behind.");
  out += "kalpo_event_streams_lagged_total " + std::to_string(now.streams_lagged) + "\n";
  family(out, "kalpo_event_streams_refused_total", "counter", "Event streams refused: as many as served were open.");
  out += "kalpo_event_streams_refused_total " + std::to_string(now.streams_refused) + "\n";

  printer_gauges(out, now.printers);
  return out;
}

}  // namespace kt::serve
