// The counters in the Prometheus text format, and the printers' health
// read through the virtual printers' inspection session (no fault is used
// up by it), cached for a second so that scrapes and health checks stay
// cheap.
#include "serve/metrics.h"

#include <algorithm>
#include <cstdio>

#include "models.h"
#include "printer_view.h"

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

PrinterHealth health_of(const std::string &library) {
  PrinterHealth h;
  h.library = library;
  const Look l = look(library);
  h.exists = !l.absent();
  bool off = false;
  for (const auto &f : fault_entries(library)) {
    const std::string name = f["name"];
    off = off || name == "off";
    h.paper_out = h.paper_out || name == "paper_end";
    h.paper_low = h.paper_low || name == "paper_near_end";
  }
  h.answers = static_cast<bool>(l.session) || l.absent();
  h.damaged = !l.session && !l.absent() && !off;
  if (l.session) {
    const ksim::State &s = l.session->state();
    h.coupon_open = s.open != ksim::Document::none;
    h.coo = s.coo;
    h.crz = s.crz;
    h.grand_total = amount_number(s.grand_total);
  }
  return h;
}

}  // namespace

std::vector<PrinterHealth> printers_health() {
  static std::mutex mutex;
  static std::vector<PrinterHealth> cached;
  static std::chrono::steady_clock::time_point taken;
  std::lock_guard lock(mutex);
  const auto now = std::chrono::steady_clock::now();
  if (cached.empty() || now - taken >= std::chrono::seconds(1)) {
    cached.clear();
    for (const std::string &library : printer_libraries()) cached.push_back(health_of(library));
    taken = now;
  }
  return cached;
}

namespace {

// What a failed call reports: its first message that says why, past the
// generic "the command was not carried out" that some makers show first.
std::string failure_code(const std::vector<std::string> &codes) {
  for (const std::string &code : codes)
    if (code != "not_executed") return code;
  return codes.empty() ? "none" : codes.front();
}

}  // namespace

void Metrics::call(const CallRecord &record) {
  std::lock_guard lock(mutex_);
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

std::string Metrics::text(std::size_t queue_length, std::size_t connections, std::size_t streams) {
  const std::vector<PrinterHealth> printers = printers_health();
  std::lock_guard lock(mutex_);
  std::string out;
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
  out += "kalpo_queue_length " + std::to_string(queue_length) + "\n";
  family(out, "kalpo_queue_refusals_total", "counter", "Calls refused because the queue was full or stopping.");
  out += "kalpo_queue_refusals_total " + std::to_string(refusals_) + "\n";
  family(out, "kalpo_connections_open", "gauge", "HTTP connections open, authenticated or not.");
  out += "kalpo_connections_open " + std::to_string(connections) + "\n";
  family(out, "kalpo_event_streams_open", "gauge", "Event streams open.");
  out += "kalpo_event_streams_open " + std::to_string(streams) + "\n";

  struct Gauge {
    const char *name, *help;
    double (*value)(const PrinterHealth &);
  };
  static constexpr Gauge kGauges[] = {
      {"kalpo_printer_up", "1 when the printer answers.", [](const PrinterHealth &h) { return h.answers ? 1.0 : 0.0; }},
      {"kalpo_printer_damaged", "1 when the printer refuses its journal.",
       [](const PrinterHealth &h) { return h.damaged ? 1.0 : 0.0; }},
      {"kalpo_printer_paper_out", "1 when the paper ran out.",
       [](const PrinterHealth &h) { return h.paper_out ? 1.0 : 0.0; }},
      {"kalpo_printer_paper_low", "1 when the paper is running out.",
       [](const PrinterHealth &h) { return h.paper_low ? 1.0 : 0.0; }},
      {"kalpo_printer_coupon_open", "1 when a coupon or other document is open.",
       [](const PrinterHealth &h) { return h.coupon_open ? 1.0 : 0.0; }},
      {"kalpo_printer_coo", "The document counter (COO).",
       [](const PrinterHealth &h) { return static_cast<double>(h.coo); }},
      {"kalpo_printer_crz", "The Z-reduction counter (CRZ).",
       [](const PrinterHealth &h) { return static_cast<double>(h.crz); }},
      {"kalpo_printer_gt", "The grand total (GT), in the currency's units.",
       [](const PrinterHealth &h) { return h.grand_total; }},
  };
  for (const Gauge &g : kGauges) {
    family(out, g.name, "gauge", g.help);
    for (const PrinterHealth &h : printers)
      if (h.exists) out += std::string(g.name) + "{library=\"" + label(h.library) + "\"} " + number(g.value(h)) + "\n";
  }
  return out;
}

}  // namespace kt::serve
