// Who may call, and which endpoint answers: host, origin and token checks,
// the routing table, and the CORS answers for the origins allowed.
#include "serve/service.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <set>

#include "exports.h"
#include "output.h"
#include "serve/panel_files.h"

namespace kt::serve {
namespace {

using Endpoint = Response (*)(Context &, const Request &, const std::vector<std::string> &);

// Where an endpoint's work runs: on the I/O thread (it is quick and reads
// no printer), with the printer reads, or in turn with the calls.
enum class Where { here, reads, calls };

struct Route {
  std::string_view pattern;  // "*" stands for one part of the path
  std::string_view methods;  // the ones allowed, as the Allow header lists them
  Endpoint endpoint;
  Where where;
};

constexpr Route kRoutes[] = {
    {"/v1/exports", "GET", list_exports, Where::here},
    {"/v1/call/*", "POST", call_export_route, Where::calls},
    {"/v1/printers", "GET", list_printers, Where::reads},
    {"/v1/printers/*/tape", "GET", printer_tape, Where::reads},
    {"/v1/printers/*/faults", "GET, PUT", printer_faults, Where::calls},
    {"/v1/printers/*/clock", "GET, POST", printer_clock, Where::calls},
    {"/v1/events", "GET", event_stream, Where::here},
    {"/v1/events/ticket", "POST", event_ticket, Where::here},
    {"/v1/version", "GET", version_info, Where::here},
    {"/v1/openapi.json", "GET", openapi_document, Where::here},
    {"/v1/health", "GET", service_health, Where::reads},
    {"/metrics", "GET", metrics_text, Where::reads},
};

constexpr std::string_view kAllowedHeaders = "Authorization, Content-Type, Idempotency-Key, Last-Event-ID";
constexpr std::string_view kExposedHeaders = "Retry-After";

std::vector<std::string_view> split(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t slash = path.find('/', 1);
    parts.push_back(path.substr(0, slash));
    path.remove_prefix(slash == std::string_view::npos ? path.size() : slash);
  }
  return parts;
}

// The route of a path, with its variable parts; none when no route has it.
const Route *route_of(const std::string &path, std::vector<std::string> &parts) {
  const std::vector<std::string_view> given = split(path);
  for (const Route &route : kRoutes) {
    const std::vector<std::string_view> wanted = split(route.pattern);
    if (wanted.size() != given.size()) continue;
    std::vector<std::string> found;
    bool match = true;
    for (std::size_t i = 0; i < wanted.size() && match; ++i) {
      if (wanted[i] == "/*")
        match = given[i].size() > 1, found.emplace_back(given[i].substr(1));
      else
        match = wanted[i] == given[i];
    }
    if (match) {
      parts = std::move(found);
      return &route;
    }
  }
  return nullptr;
}

bool allows(std::string_view methods, const std::string &method) {
  while (!methods.empty()) {
    const std::size_t comma = std::min(methods.find(", "), methods.size());
    if (methods.substr(0, comma) == method) return true;
    methods.remove_prefix(std::min(comma + 2, methods.size()));
  }
  return false;
}

// "Bearer <token>", the scheme's name in any letter case.
std::string bearer(const std::string &authorization) {
  static constexpr std::string_view kScheme = "bearer ";
  if (authorization.size() <= kScheme.size()) return {};
  for (std::size_t i = 0; i < kScheme.size(); ++i)
    if (static_cast<char>(std::tolower(static_cast<unsigned char>(authorization[i]))) != kScheme[i]) return {};
  std::string given = authorization.substr(kScheme.size());
  while (given.starts_with(' ')) given.erase(0, 1);
  return given;
}

Response endpoint_answer(Endpoint endpoint, Context &context, const Request &request,
                         const std::vector<std::string> &parts) {
  try {
    return endpoint(context, request, parts);
  } catch (const HttpError &e) {
    return error_response(e.status, e.what());
  } catch (const UsageError &e) {
    return error_response(400, e.what());
  } catch (const std::exception &e) {
    return error_response(500, e.what());
  }
}

}  // namespace

bool same_secret(std::string_view a, std::string_view b) {
  std::size_t differ = a.size() ^ b.size();
  for (std::size_t i = 0; i < a.size(); ++i)
    differ |= static_cast<unsigned char>(a[i]) ^ static_cast<unsigned char>(i < b.size() ? b[i] : 0);
  return differ == 0;
}

Response json_response(int status, const nlohmann::json &body) {
  Response response;
  response.status = status;
  response.body = json_line(body) + "\n";
  return response;
}

Response error_response(int status, const std::string &why) {
  Response response = json_response(status, {{"error", why}, {"status", status}});
  if (status == 401) response.headers.emplace_back("WWW-Authenticate", "Bearer");
  if (status == 503) response.headers.emplace_back("Retry-After", "1");
  return response;
}

nlohmann::json body_object(const Request &request) {
  if (const std::string why = json_over_bounds(request.body, kJsonDepth, kJsonValues); !why.empty())
    throw HttpError(400, why);
  // Each object's keys so far, one set per open object: a key given twice
  // has two meanings, and is refused.
  std::vector<std::set<std::string>> keys;
  std::string repeated;
  const nlohmann::json::parser_callback_t check = [&](int, nlohmann::json::parse_event_t event,
                                                      nlohmann::json &parsed) {
    using Event = nlohmann::json::parse_event_t;
    if (event == Event::object_start) keys.emplace_back();
    if (event == Event::object_end && !keys.empty()) keys.pop_back();
    if (event == Event::key && !keys.empty() && !keys.back().insert(parsed.get<std::string>()).second &&
        repeated.empty())
      repeated = parsed.get<std::string>();
    return true;
  };
  nlohmann::json body;
  try {
    body = nlohmann::json::parse(request.body, check);
  } catch (const nlohmann::json::parse_error &e) {
    throw HttpError(400, "the body is not JSON: it breaks off or goes wrong at byte " + std::to_string(e.byte) +
                             " (a JSON object is due)");
  } catch (const nlohmann::json::exception &) {
    throw HttpError(400, "the body is not JSON (a JSON object is due)");
  }
  if (!repeated.empty()) throw HttpError(400, "the body gives the key \"" + repeated + "\" more than once");
  if (!body.is_object()) throw HttpError(400, "the body is to be a JSON object");
  return body;
}

Service::Service(std::string token, std::vector<std::string> origins, const WorkLimits &limits)
    : token_(std::move(token)), origins_(std::move(origins)), context_(limits) {}

Service::~Service() { stop(); }

void Service::listening(int port) { port_ = port; }

Handlers Service::handlers() {
  Handlers h;
  h.authenticated = [this](const Request &r) { return authenticated(r); };
  h.handle = [this](const Request &r, const std::shared_ptr<Reply> &reply) { handle(r, reply); };
  h.refusal = [this](const Request &r, int status, const std::string &why) { return refusal(r, status, why); };
  h.stopping = [this] { stopping(); };
  return h;
}

bool Service::own_origin(const std::string &origin) const {
  const std::string port = ":" + std::to_string(port_);
  return origin == "http://127.0.0.1" + port || origin == "http://localhost" + port;
}

bool Service::allowed_origin(const std::string &origin) const {
  if (own_origin(origin)) return true;
  for (const std::string &allowed : origins_)
    if (allowed == origin) return true;
  return false;
}

// A cookie authenticates nothing: a browser sends cookies for 127.0.0.1 to
// every port, and other local programs can read them.
bool Service::has_token(const Request &request) const {
  if (request.header_count("Authorization") != 1) return false;
  const std::string given = bearer(request.header("Authorization"));
  return !given.empty() && same_secret(given, token_);
}

bool Service::authenticated(const Request &request) {
  if (has_token(request)) return true;
  // The event stream's ticket, used up here (once per request).
  return request.path() == "/v1/events" && request.has_query("ticket") &&
         context_.tickets.redeem(request.query("ticket"));
}

Response Service::with_cors(Response response, const Request &request) const {
  if (request.header_count("Origin") != 1) return response;
  const std::string origin = request.header("Origin");
  if (own_origin(origin) || !allowed_origin(origin)) return response;
  response.headers.emplace_back("Access-Control-Allow-Origin", origin);
  response.headers.emplace_back("Access-Control-Expose-Headers", std::string(kExposedHeaders));
  response.headers.emplace_back("Vary", "Origin");
  return response;
}

Response Service::refusal(const Request &request, int status, const std::string &why) const {
  return with_cors(error_response(status, why), request);
}

std::optional<Response> Service::refused(const Request &request, bool api) const {
  // One meaning per request: a header or parameter given twice is refused.
  for (const std::string_view name : {"Host", "Origin", "Authorization", "Last-Event-ID", "Idempotency-Key"})
    if (request.header_count(name) > 1)
      return error_response(400, "the " + std::string(name) + " header is given more than once");
  if (const std::string repeated = request.repeated_query(); !repeated.empty())
    return error_response(400, "the query gives " + repeated + "= more than once");
  // A name rebound to the loopback address reaches here with its own Host.
  const std::string host = request.header("Host");
  const std::string port = ":" + std::to_string(port_);
  if (host != "127.0.0.1" + port && host != "localhost" + port)
    return error_response(403, "the Host header is to be 127.0.0.1" + port + " or localhost" + port);
  if (request.has_header("Origin") && !allowed_origin(request.header("Origin")))
    return error_response(403, "this origin may not call the service (kalpo serve --allow-origin allows one)");
  if (api && request.method != "OPTIONS" && !request.authenticated)
    return error_response(401, "the token is missing or wrong (Authorization: Bearer <token>)");
  return std::nullopt;
}

void Service::handle(const Request &request, const std::shared_ptr<Reply> &reply) {
  const std::string path = request.path();
  // The health check may be asked without the token: the service listens on
  // loopback alone, and the answer tells nothing beyond the printers' state.
  const bool api = (path.starts_with("/v1/") && path != "/v1/health") || path == "/metrics";
  if (std::optional<Response> refusal = refused(request, api)) {
    reply->send(with_cors(std::move(*refusal), request));
    return;
  }
  std::vector<std::string> parts;
  const Route *route = route_of(path, parts);
  const bool panel = !api && std::any_of(std::begin(kPanelFiles), std::end(kPanelFiles),
                                         [&](const PanelFile &file) { return file.path == path; });
  if (!route && !panel) {
    reply->send(with_cors(error_response(404, "no such path: " + path), request));
    return;
  }
  const std::string methods = route ? std::string(route->methods) : "GET";
  if (request.method == "OPTIONS" && route && request.has_header("Origin")) {
    // A preflight, from an origin allowed (the others were refused above).
    Response response;
    response.status = 204;
    response.headers = {{"Access-Control-Allow-Methods", methods},
                        {"Access-Control-Allow-Headers", std::string(kAllowedHeaders)},
                        {"Access-Control-Max-Age", "600"}};
    // Browsers ask before a page from a public address reaches this private one.
    if (request.header("Access-Control-Request-Private-Network") == "true")
      response.headers.emplace_back("Access-Control-Allow-Private-Network", "true");
    reply->send(with_cors(std::move(response), request));
    return;
  }
  if (!allows(methods, request.method)) {
    Response response = error_response(405, request.method + " is not allowed on " + path + " (" + methods + ")");
    response.headers.emplace_back("Allow", methods);
    reply->send(with_cors(std::move(response), request));
    return;
  }
  if (panel) {
    reply->send(panel_file(request, token_));
    return;
  }
  if (route->where == Where::here) {
    reply->send(with_cors(endpoint_answer(route->endpoint, context_, request, parts), request));
    return;
  }

  // Off the I/O thread, with a deadline.  A call that has not begun by then
  // is not made; a read is answered 503 whatever it was doing.
  const bool call = route->where == Where::calls;
  CallQueue &queue = call ? context_.calls : context_.reads;
  auto begun = std::make_shared<std::atomic<bool>>(false);
  auto work = [this, reply, begun, endpoint = route->endpoint, request, parts] {
    if (begun->exchange(true)) return;
    reply->send(with_cors(endpoint_answer(endpoint, context_, request, parts), request));
  };
  auto refused_at_stop = [this, reply, request] {
    reply->send(with_cors(error_response(503, "the service is stopping"), request));
  };
  const CallQueue::Outcome outcome = queue.post(std::move(work), std::move(refused_at_stop));
  if (outcome != CallQueue::Outcome::done) {
    if (call) context_.metrics.queue_refused();
    const std::string why =
        outcome == CallQueue::Outcome::stopped ? "the service is stopping"
        : call ? std::to_string(context_.limits.calls_waiting) + " calls are waiting already: try again"
               : std::to_string(context_.limits.reads_waiting) + " printer reads are waiting already: try again";
    reply->send(with_cors(error_response(503, why), request));
    return;
  }
  const std::chrono::milliseconds limit = call ? context_.limits.call_wait : context_.limits.printer_read;
  reply->deadline(limit, [this, reply, begun, call, limit, request] {
    const std::string seconds = std::to_string(limit.count()) + " ms";
    if (!begun->exchange(true))
      reply->send(with_cors(
          error_response(503, call ? "the call waited " + seconds + " for its turn and was not made: try again"
                                   : "the printer was not read within " + seconds + ": another program holds it"),
          request));
    else if (!call)
      reply->send(with_cors(
          error_response(503, "the printer was not read within " + seconds + ": another program holds it"), request));
  });
}

void Service::stopping() {
  context_.calls.refuse();
  context_.reads.refuse();
}

void Service::stop() {
  context_.pages.stop();
  context_.calls.stop();
  context_.reads.stop();
  context_.hub.close();
}

}  // namespace kt::serve
