// GET /v1/health and GET /metrics: whether the service answers and each
// printer's state, for a person, a load balancer or a monitoring system.
#include "serve/service.h"

namespace kt::serve {

Response service_health(Context &, const Request &, const std::vector<std::string> &) {
  nlohmann::json printers = nlohmann::json::object();
  for (const PrinterHealth &h : printers_health()) {
    if (!h.exists) continue;
    printers[h.library] = {{"answers", h.answers}, {"damaged", h.damaged}, {"paper_out", h.paper_out}};
  }
  return json_response(200, {{"status", "ok"}, {"printers", printers}});
}

Response metrics_text(Context &c, const Request &, const std::vector<std::string> &) {
  Response response;
  response.type = "text/plain; version=0.0.4; charset=utf-8";
  response.body = c.metrics.text(c.calls.waiting(), c.connections ? c.connections() : 0, c.hub.streams());
  return response;
}

}  // namespace kt::serve
