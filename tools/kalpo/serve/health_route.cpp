// GET /v1/health and GET /metrics: whether the service answers and each
// printer's state as the printer watch has it, for a person, a load
// balancer or a monitoring system.
#include "serve/service.h"

namespace kt::serve {

Response service_health(Context &c, const Request &, const std::vector<std::string> &) {
  nlohmann::json printers = nlohmann::json::object();
  for (const PrinterState &s : c.printers.states()) printers[s.model] = s.json();
  return json_response(200, {{"status", "ok"},
                             {"watch_interval_s", static_cast<double>(c.printers.interval().count()) / 1000},
                             {"printers", printers}});
}

Response metrics_text(Context &c, const Request &, const std::vector<std::string> &) {
  Response response;
  response.type = "text/plain; version=0.0.4; charset=utf-8";
  Snapshot now;
  now.queue_length = c.calls.waiting();
  now.connections = c.connections ? c.connections() : 0;
  now.streams = c.hub.streams();
  now.streams_lagged = c.hub.lagged;
  now.streams_refused = c.hub.refused;
  now.printers = c.printers.states();
  response.body = c.metrics.text(now);
  return response;
}

}  // namespace kt::serve
