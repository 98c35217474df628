// One line per call on standard error: JSON for journald and log shippers,
// or text for people.  Never the token or the call's arguments (a
// customer's document is one of them).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>

#include "output.h"
#include "serve/service.h"

namespace kt::serve {
namespace {

// "2026-12-08T11:31:49.123Z"
std::string utc_now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
#if defined(_WIN32)
  gmtime_s(&utc, &seconds);
#else
  gmtime_r(&seconds, &utc);
#endif
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(ms));
  return text;
}

}  // namespace

const char *level_of(int status) { return status >= 500 ? "error" : status >= 400 ? "warning" : "info"; }

void log_event(Context &c, const char *level, const std::string &event, const nlohmann::json &fields) {
  std::string line;
  if (c.log_json) {
    nlohmann::json object = {{"time", utc_now()}, {"level", level}, {"event", event}};
    for (const auto &[name, value] : fields.items()) object[name] = value;
    line = json_line(object);
  } else {
    line = utc_now() + " " + level + " " + event;
    for (const auto &[name, value] : fields.items())
      line += " " + name + "=" + (value.is_string() ? value.get<std::string>() : json_line(value));
  }
  std::cerr << line + "\n" << std::flush;
}

void log_refusal(Context &c, const std::string &id, const std::string &method, const std::string &route, int status) {
  std::uint64_t before = 0;
  {
    std::lock_guard lock(c.refusals.mutex);
    const auto now = std::chrono::steady_clock::now();
    if (status == 0) {
      // What a flood left uncounted, once its second is over.
      if (c.refusals.unlogged == 0 || now - c.refusals.last < std::chrono::seconds(1)) return;
    } else if (c.refusals.last != std::chrono::steady_clock::time_point{} &&
               now - c.refusals.last < std::chrono::seconds(1)) {
      ++c.refusals.unlogged;
      return;
    }
    before = c.refusals.unlogged;
    c.refusals.unlogged = 0;
    c.refusals.last = now;
  }
  if (status == 0) {
    log_event(c, "warning", "refusals", {{"unlogged", before}});
    return;
  }
  log_event(
      c, level_of(status), "refusal",
      {{"request_id", id}, {"status", status}, {"method", method}, {"route", route}, {"unlogged_before", before}});
}

void record_call(Context &c, const CallRecord &record) {
  c.metrics.call(record);
  const auto or_null = [](const std::string &text) { return text.empty() ? nlohmann::json() : nlohmann::json(text); };
  std::string line;
  if (c.log_json) {
    line = json_line({{"time", utc_now()},
                      {"level", level_of(record.status)},
                      {"event", "call"},
                      {"request_id", record.request_id},
                      {"export", or_null(record.export_name)},
                      {"model", or_null(record.model)},
                      {"result", or_null(record.result)},
                      {"codes", record.codes},
                      {"ms", record.ms},
                      {"queue_ms", record.queue_ms},
                      {"status", record.status},
                      {"key", or_null(record.key)},
                      {"replayed", record.replayed}});
  } else {
    char times[64];
    std::snprintf(times, sizeof times, " %.3f ms (queued %.3f ms)", record.ms, record.queue_ms);
    line = utc_now() + " " + std::to_string(record.status) + " " +
           (record.export_name.empty() ? "?" : record.export_name) + (record.model.empty() ? "" : " " + record.model) +
           (record.result.empty() ? "" : " " + record.result) + times;
    for (const std::string &code : record.codes) line += " " + code;
    if (!record.key.empty()) line += " key=" + record.key + (record.replayed ? " (replayed)" : "");
    line += " id=" + record.request_id;
  }
  std::cerr << line + "\n" << std::flush;
}

}  // namespace kt::serve
