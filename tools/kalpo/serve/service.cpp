// Who may call, and which endpoint answers: host, origin and token checks,
// the routing table, and the CORS answers for the origins allowed.
#include "serve/service.h"

#include <algorithm>
#include <memory>

#include "exports.h"
#include "output.h"
#include "serve/panel_files.h"

namespace kt::serve {
namespace {

using Endpoint = Response (*)(Context &, const Request &, const std::vector<std::string> &);

struct Route {
  std::string_view pattern;  // "*" stands for one part of the path
  std::string_view methods;  // the ones allowed, as the Allow header lists them
  Endpoint endpoint;
};

constexpr Route kRoutes[] = {
    {"/v1/exports", "GET", list_exports},
    {"/v1/call/*", "POST", call_export_route},
    {"/v1/printers", "GET", list_printers},
    {"/v1/printers/*/tape", "GET", printer_tape},
    {"/v1/printers/*/faults", "GET, PUT", printer_faults},
    {"/v1/printers/*/clock", "GET, POST", printer_clock},
    {"/v1/events", "GET", event_stream},
    {"/v1/version", "GET", version_info},
    {"/v1/openapi.json", "GET", openapi_document},
    {"/v1/health", "GET", service_health},
    {"/metrics", "GET", metrics_text},
};

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

// A cookie's value from the Cookie header, "" when absent.
std::string cookie(const std::string &header, std::string_view name) {
  std::string_view rest = header;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find(';'), rest.size());
    std::string_view pair = rest.substr(0, end);
    while (pair.starts_with(' ')) pair.remove_prefix(1);
    if (pair.starts_with(name) && pair.substr(name.size()).starts_with('='))
      return std::string(pair.substr(name.size() + 1));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return {};
}

void add_cors(Response &response, const std::string &origin) {
  response.headers.emplace_back("Access-Control-Allow-Origin", origin);
  response.headers.emplace_back("Vary", "Origin");
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
  if (status == 503 || status == 409) response.headers.emplace_back("Retry-After", "1");
  return response;
}

nlohmann::json body_object(const Request &request) {
  nlohmann::json body;
  try {
    body = nlohmann::json::parse(request.body);
  } catch (const nlohmann::json::exception &e) {
    throw HttpError(400, std::string("the body is not JSON: ") + e.what());
  }
  if (!body.is_object()) throw HttpError(400, "the body is to be a JSON object");
  return body;
}

Service::Service(std::string token, std::vector<std::string> origins)
    : token_(std::move(token)), origins_(std::move(origins)) {}

void Service::listening(int port) {
  port_ = port;
  // One cookie per port: services on two ports keep their own.
  cookie_ = "kalpo_token_" + std::to_string(port);
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

bool Service::has_token(const Request &request) const {
  const std::string authorization = request.header("Authorization");
  if (authorization.starts_with("Bearer ")) return same_secret(authorization.substr(7), token_);
  const std::string given = cookie(request.header("Cookie"), cookie_);
  return !given.empty() && same_secret(given, token_);
}

std::optional<Response> Service::refused(const Request &request, bool api) const {
  // A name rebound to the loopback address reaches here with its own Host.
  const std::string host = request.header("Host");
  const std::string port = ":" + std::to_string(port_);
  if (host != "127.0.0.1" + port && host != "localhost" + port)
    return error_response(403, "the Host header is to be 127.0.0.1" + port + " or localhost" + port);
  if (request.has_header("Origin") && !allowed_origin(request.header("Origin")))
    return error_response(403, "the origin '" + request.header("Origin") +
                                   "' may not call this service (kalpo serve --allow-origin allows one)");
  if (api && request.method != "OPTIONS" && !has_token(request))
    return error_response(401, "the token is missing or wrong (Authorization: Bearer <token>)");
  return std::nullopt;
}

Response Service::handle(const Request &request) {
  const std::string path = request.path();
  // The health check may be asked without the token: the service listens on
  // loopback alone, and the answer tells nothing beyond the printers' state.
  const bool api = (path.starts_with("/v1/") && path != "/v1/health") || path == "/metrics";
  context_.metrics.requests(1);
  const std::shared_ptr<void> answered(nullptr, [this](void *) { context_.metrics.requests(-1); });
  const std::string origin = request.header("Origin");
  const bool foreign = !origin.empty() && !own_origin(origin);
  if (std::optional<Response> refusal = refused(request, api)) return *refusal;

  std::vector<std::string> parts;
  const Route *route = route_of(path, parts);
  const bool panel = std::any_of(std::begin(kPanelFiles), std::end(kPanelFiles),
                                 [&](const PanelFile &file) { return file.path == path; });
  if (!route && !panel) return error_response(404, "no such path: " + path);
  const std::string methods = route ? std::string(route->methods) : "GET";

  Response response;
  if (request.method == "OPTIONS" && route && !origin.empty()) {
    // A preflight, from an origin allowed (the others were refused above).
    response.status = 204;
    response.headers = {{"Access-Control-Allow-Methods", methods},
                        {"Access-Control-Allow-Headers", "Authorization, Content-Type, Idempotency-Key"},
                        {"Access-Control-Max-Age", "600"}};
  } else if (!allows(methods, request.method)) {
    response = error_response(405, request.method + " is not allowed on " + path + " (" + methods + ")");
    response.headers.emplace_back("Allow", methods);
  } else if (panel) {
    response = panel_file(request, token_, cookie_);
  } else {
    response = endpoint_answer(route->endpoint, context_, request, parts);
  }
  if (foreign) add_cors(response, origin);
  if (response.stream)
    response.stream = [this, stream = std::move(response.stream)](const StreamWriter &write) {
      context_.metrics.streams(1);
      const std::shared_ptr<void> ended(nullptr, [this](void *) { context_.metrics.streams(-1); });
      stream(write);
    };
  return response;
}

}  // namespace kt::serve
