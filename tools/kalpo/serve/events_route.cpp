// GET /v1/events: the event stream; POST /v1/events/ticket: a ticket that
// opens it where no header can be given (a browser's EventSource), and
// again at each of the browser's reconnections.
#include <charconv>

#include "serve/service.h"

namespace kt::serve {
namespace {

// The event a reconnecting client saw last: the Last-Event-ID header, else
// `last_event_id=` of the query; none when neither is given.
std::optional<std::uint64_t> last_seen(const Request &r) {
  const bool header = r.has_header("Last-Event-ID");
  if (!header && !r.has_query("last_event_id")) return std::nullopt;
  const std::string given = header ? r.header("Last-Event-ID") : r.query("last_event_id");
  std::uint64_t id = 0;
  const auto [end, error] = std::from_chars(given.data(), given.data() + given.size(), id);
  if (given.empty() || error != std::errc() || end != given.data() + given.size())
    throw HttpError(400,
                    std::string(header ? "Last-Event-ID" : "last_event_id") +
                        ": the id of an event the stream sent (a whole number) is due",
                    "bad_last_event_id", header ? "Last-Event-ID" : "last_event_id");
  return id;
}

}  // namespace

Response event_stream(Context &c, const Request &r, const std::vector<std::string> &) {
  std::shared_ptr<Feed> feed = c.hub.subscribe(last_seen(r));
  if (!feed)
    throw HttpError(
        503, "as many event streams as the service serves (" + std::to_string(c.hub.limits().streams) + ") are open");
  Response response;
  response.type = "text/event-stream";
  response.headers = {{"Cache-Control", "no-cache"}};
  response.feed = std::move(feed);
  return response;
}

Response event_ticket(Context &c, const Request &, const std::vector<std::string> &) {
  return json_response(200, {{"ticket", c.tickets.issue()},
                             {"expires_in", std::chrono::seconds(Tickets::kLifetime).count()},
                             {"stream", "/v1/events?ticket=<ticket>"}});
}

}  // namespace kt::serve
