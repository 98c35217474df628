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
enum class Where { io_thread, reads, calls };

struct Route {
  std::string_view pattern;  // "{name}" stands for one part of the path, as the document writes it
  std::string_view methods;  // the ones allowed, as the Allow header lists them
  Endpoint endpoint;
  Where where;
  std::string_view help;  // what kalpo serve --help shows beside it
};

// Every route: served from here, listed by the help, each in the OpenAPI
// document (a test checks it).
constexpr Route kRoutes[] = {
    {"/v1/exports", "GET", list_exports, Where::io_thread, "curl -H \"$H\" $U/v1/exports"},
    {"/v1/call/{export}", "POST", call_export_route, Where::calls,
     "curl -H \"$H\" -d '{\"args\": [\"BEMATECHMP20\"]}' $U/v1/call/Abredia\n"
     "    {\"args\": [...] or {name: value}, \"confirm\": \"yes\"|\"no\"} -> {\"result\", \"out\", \"messages\", "
     "\"ok\", "
     "\"warnings\", \"ms\", \"queue_ms\"}"},
    {"/v1/printers", "GET", list_printers, Where::reads, "curl -H \"$H\" $U/v1/printers"},
    {"/v1/printers/{library}/tape", "GET", printer_tape, Where::reads,
     "curl -H \"$H\" \"$U/v1/printers/bemafi32/tape?last=1\""},
    {"/v1/printers/{library}/faults", "GET, PUT", printer_faults, Where::calls,
     "curl -H \"$H\" -X PUT -d '{\"faults\": [{\"name\": \"paper_end\"}]}' $U/v1/printers/bemafi32/faults"},
    {"/v1/printers/{library}/clock", "GET, POST", printer_clock, Where::calls,
     "curl -H \"$H\" -d '{\"offset\": \"1d\"}' $U/v1/printers/bemafi32/clock"},
    {"/v1/events", "GET", event_stream, Where::io_thread, "curl -N -H \"$H\" $U/v1/events  (Last-Event-ID resumes)"},
    {"/v1/events/ticket", "POST", event_ticket, Where::io_thread,
     "a ticket for /v1/events?ticket=... (EventSource), good for 12 hours"},
    {"/v1/version", "GET", version_info, Where::io_thread, "curl -H \"$H\" $U/v1/version"},
    {"/v1/openapi.json", "GET", openapi_document, Where::io_thread, "this API as an OpenAPI 3.1 document"},
    {"/v1/health", "GET", service_health, Where::reads, "needs no token"},
    {"/metrics", "GET", metrics_text, Where::reads, "the Prometheus text format"},
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
      if (wanted[i].starts_with("/{"))
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
    return error_response(e.status, e.what(), e.code, e.argument);
  } catch (const ArgumentError &e) {
    return error_response(400, e.what(), e.code, e.argument);
  } catch (const UsageError &e) {
    return error_response(400, e.what());
  } catch (const std::exception &e) {
    return error_response(500, e.what());
  }
}

// A client's X-Request-Id is kept when it is one value of 1 to 64 letters,
// digits and "-_.:", else the service makes one.
std::string request_id(const Request &request) {
  if (request.header_count("X-Request-Id") == 1) {
    const std::string given = request.header("X-Request-Id");
    const bool sane = !given.empty() && given.size() <= 64 && std::all_of(given.begin(), given.end(), [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == ':';
    });
    if (sane) return given;
  }
  // A random prefix for the process, then a count: unique, and no system
  // call for each request.
  static const std::string prefix = random_hex(4) + "-";
  static std::atomic<std::uint64_t> count{0};
  return prefix + std::to_string(++count);
}

// The method as a label and in the log: the ones HTTP names, else "other".
std::string method_name(const std::string &method) {
  for (const char *known : {"GET", "HEAD", "POST", "PUT", "DELETE", "PATCH", "OPTIONS", "CONNECT", "TRACE"})
    if (method == known) return method;
  return "other";
}

// Every answer through here: its X-Request-Id header, its count by route and
// status, and a log line when it refuses what no endpoint logged.
class Answered : public Reply {
 public:
  Answered(Context &c, std::shared_ptr<Reply> reply, const Request &request, std::string route)
      : c_(c),
        reply_(std::move(reply)),
        id_(request.id),
        method_(method_name(request.method)),
        route_(std::move(route)) {}
  bool send(Response response) override {
    const int status = response.status;
    response.headers.emplace_back("X-Request-Id", id_);
    if (!reply_->send(std::move(response))) return false;
    c_.metrics.answer(route_, status);
    log_refusal(c_, id_, method_, route_, status >= 400 && !logged_->load() ? status : 0);
    return true;
  }
  void deadline(std::chrono::milliseconds limit, std::function<void()> expired) override {
    reply_->deadline(limit, std::move(expired));
  }
  // The endpoint logs its own answer (a call's line).
  std::shared_ptr<std::atomic<bool>> logged_ = std::make_shared<std::atomic<bool>>(false);

 private:
  Context &c_;
  std::shared_ptr<Reply> reply_;
  std::string id_, method_, route_;
};

}  // namespace

std::string routes_help() {
  std::string out;
  for (const Route &route : kRoutes) {
    std::string line = "  " + std::string(route.methods);
    line.resize(std::max<std::size_t>(line.size() + 1, 12), ' ');
    line += route.pattern;
    line.resize(std::max<std::size_t>(line.size() + 1, 44), ' ');
    out += line + std::string(route.help) + "\n";
  }
  return out;
}

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

namespace {

std::string_view status_code(int status) {
  switch (status) {
    case 400: return "bad_request";
    case 401: return "unauthorized";
    case 403: return "forbidden";
    case 404: return "not_found";
    case 405: return "method_not_allowed";
    case 409: return "key_running";
    case 413: return "too_large";
    case 422: return "key_reused";
    case 503: return "unavailable";
    default: return "internal";
  }
}

}  // namespace

Response error_response(int status, const std::string &why, std::string_view code, std::string_view argument) {
  nlohmann::json body = {{"error", why}, {"status", status}, {"code", code.empty() ? status_code(status) : code}};
  if (!argument.empty()) body["argument"] = argument;
  Response response = json_response(status, body);
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
    throw HttpError(400,
                    "the body is not JSON: it breaks off or goes wrong at byte " + std::to_string(e.byte) +
                        " (a JSON object is due)",
                    "not_json");
  } catch (const nlohmann::json::exception &) {
    throw HttpError(400, "the body is not JSON (a JSON object is due)", "not_json");
  }
  if (!repeated.empty())
    throw HttpError(400, "the body gives the key \"" + repeated + "\" more than once", "duplicate_key", repeated);
  if (!body.is_object()) throw HttpError(400, "the body is to be a JSON object", "not_an_object");
  return body;
}

Service::Service(std::string token, std::vector<std::string> origins, const WorkLimits &limits)
    : token_(std::move(token)), origins_(std::move(origins)), context_(limits, token_) {}

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
  // The event stream's ticket.
  return request.path() == "/v1/events" && request.has_query("ticket") &&
         context_.tickets.check(request.query("ticket")) == Tickets::Verdict::good;
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

Response Service::refusal(const Request &request, int status, const std::string &why) {
  // Refused before the routes (a bad request, too large, too many connections).
  const std::string id = request_id(request);
  Response response = with_cors(error_response(status, why), request);
  response.headers.emplace_back("X-Request-Id", id);
  context_.metrics.answer("unread", status);
  log_refusal(context_, id, method_name(request.method), "unread", status);
  return response;
}

std::optional<Response> Service::refused(const Request &request, bool api) const {
  // One meaning per request: a header or parameter given twice is refused.
  for (const std::string_view name : {"Host", "Origin", "Authorization", "Last-Event-ID", "Idempotency-Key"})
    if (request.header_count(name) > 1)
      return error_response(400, "the " + std::string(name) + " header is given more than once", "duplicate_key", name);
  if (const std::string repeated = request.repeated_query(); !repeated.empty())
    return error_response(400, "the query gives " + repeated + "= more than once", "duplicate_key", repeated);
  // A name rebound to the loopback address reaches here with its own Host.
  const std::string host = request.header("Host");
  const std::string port = ":" + std::to_string(port_);
  if (host != "127.0.0.1" + port && host != "localhost" + port)
    return error_response(403, "the Host header is to be 127.0.0.1" + port + " or localhost" + port);
  if (request.has_header("Origin") && !allowed_origin(request.header("Origin")))
    return error_response(403, "this origin may not call the service (kalpo serve --allow-origin allows one)");
  if (api && request.method != "OPTIONS" && !request.authenticated) {
    if (request.path() == "/v1/events" && request.has_query("ticket"))
      return error_response(401, context_.tickets.check(request.query("ticket")) == Tickets::Verdict::lapsed
                                     ? "the ticket has lapsed: POST /v1/events/ticket gives a new one"
                                     : "the ticket is not one this service gave, or the token changed since: "
                                       "POST /v1/events/ticket gives a new one");
    return error_response(401, "the token is missing or wrong (Authorization: Bearer <token>)");
  }
  return std::nullopt;
}

void Service::handle(const Request &given, const std::shared_ptr<Reply> &plain) {
  Request request = given;
  request.id = request_id(given);
  const std::string path = request.path();
  std::vector<std::string> parts;
  const Route *route = route_of(path, parts);
  const auto answered =
      std::make_shared<Answered>(context_, plain, request, route ? std::string(route->pattern) : "other");
  const std::shared_ptr<Reply> reply = answered;
  // The health check may be asked without the token: the service listens on
  // loopback alone, and the answer tells nothing beyond the printers' state.
  const bool api = (path.starts_with("/v1/") && path != "/v1/health") || path == "/metrics";
  if (std::optional<Response> refusal = refused(request, api)) {
    reply->send(with_cors(std::move(*refusal), request));
    return;
  }
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
  if (route->where == Where::io_thread) {
    reply->send(with_cors(endpoint_answer(route->endpoint, context_, request, parts), request));
    return;
  }

  // Off the I/O thread, with a deadline.  A call that has not begun by then
  // is not made; a read is answered 503 whatever it was doing.
  const bool call = route->where == Where::calls;
  WorkQueue &queue = call ? context_.calls : context_.reads;
  auto begun = std::make_shared<std::atomic<bool>>(false);
  const bool logs_itself = route->endpoint == call_export_route;
  auto work = [this, reply, begun, endpoint = route->endpoint, request, parts, logged = answered->logged_,
               logs_itself] {
    if (begun->exchange(true)) return;
    logged->store(logs_itself);
    reply->send(with_cors(endpoint_answer(endpoint, context_, request, parts), request));
  };
  auto refused_at_stop = [this, reply, request] {
    reply->send(with_cors(error_response(503, "the service is stopping"), request));
  };
  const WorkQueue::Outcome outcome = queue.post(std::move(work), std::move(refused_at_stop));
  if (outcome != WorkQueue::Outcome::done) {
    if (call) context_.metrics.queue_refused();
    const std::string why =
        outcome == WorkQueue::Outcome::stopped ? "the service is stopping"
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
  {
    std::lock_guard lock(context_.refusals.mutex);
    context_.refusals.last = {};
  }
  log_refusal(context_, {}, {}, {}, 0);
  context_.printers.stop();
  context_.pages.stop();
  context_.calls.stop();
  context_.reads.stop();
  context_.hub.close();
}

}  // namespace kt::serve
