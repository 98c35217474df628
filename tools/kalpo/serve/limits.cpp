// The caps and deadlines changed through KALPO_SERVE_LIMITS
// ("name=value,name=value"), for tests that cannot wait for the real ones.
#include <charconv>
#include <cstdlib>

#include "serve/service.h"

namespace kt::serve {

void tune_limits(Limits &limits, WorkLimits &work, EventHub::Limits &events) {
  const char *given = std::getenv("KALPO_SERVE_LIMITS");
  if (!given || !*given) return;
  struct Size {
    std::string_view name;
    std::size_t *value;
  };
  struct Time {
    std::string_view name;
    std::chrono::milliseconds *value;
  };
  const Size sizes[] = {{"unauthenticated", &limits.unauthenticated},
                        {"authenticated", &limits.authenticated},
                        {"calls_waiting", &work.calls_waiting},
                        {"reads_waiting", &work.reads_waiting},
                        {"streams", &events.streams},
                        {"stream_bytes", &events.stream_bytes},
                        {"backlog_events", &events.backlog_events},
                        {"backlog_bytes", &events.backlog_bytes}};
  const Time times[] = {{"authenticate_ms", &limits.authenticate},
                        {"idle_ms", &limits.idle},
                        {"read_ms", &limits.read},
                        {"write_ms", &limits.write},
                        {"heartbeat_ms", &limits.heartbeat},
                        {"call_wait_ms", &work.call_wait},
                        {"printer_read_ms", &work.printer_read}};
  std::string_view rest = given;
  while (!rest.empty()) {
    const std::size_t comma = std::min(rest.find(','), rest.size());
    const std::string_view pair = rest.substr(0, comma);
    rest.remove_prefix(std::min(comma + 1, rest.size()));
    const std::size_t equals = pair.find('=');
    const std::string_view name = pair.substr(0, equals);
    const std::string_view text = equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1);
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0)
      throw std::runtime_error("KALPO_SERVE_LIMITS: '" + std::string(pair) + "' is not name=number above 0");
    bool known = false;
    for (const Size &s : sizes)
      if (s.name == name) *s.value = value, known = true;
    for (const Time &t : times)
      if (t.name == name) *t.value = std::chrono::milliseconds(value), known = true;
    if (!known) throw std::runtime_error("KALPO_SERVE_LIMITS: no limit '" + std::string(name) + "'");
  }
}

}  // namespace kt::serve
