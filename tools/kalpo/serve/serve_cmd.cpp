// kalpo serve: the service on 127.0.0.1 until interrupted.
#include <cctype>
#include <csignal>
#include <filesystem>
#include <iostream>

#include "commands.h"
#include "exports.h"
#include "host.h"
#include "kalpo.h"
#include "models.h"
#include "operator.h"
#include "output.h"
#include "serve/service.h"

namespace kt {
namespace {

// "http://host" or "https://host:port": what a browser sends as Origin.
void check_origin(const std::string &origin) {
  const std::size_t scheme = origin.find("://");
  const std::string rest = scheme == std::string::npos ? "" : origin.substr(scheme + 3);
  const std::string name = origin.substr(0, scheme);
  if ((name != "http" && name != "https") || rest.empty() || rest.find_first_of("/?#@ ") != std::string::npos)
    throw UsageError("--allow-origin '" + as_utf8(origin) +
                     "': an origin is http:// or https://, a host and maybe :port, nothing after");
}

// The token as a query parameter: '+', '/' and '=' percent-encoded.
std::string query_value(const std::string &text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~')
      out += c;
    else
      out += '%', out += kDigits[byte >> 4], out += kDigits[byte & 15];
  }
  return out;
}

}  // namespace

std::string serve_help() {
  return "Listens on 127.0.0.1 only.  Every request under /v1/ carries the token: Authorization: Bearer <token>.\n"
         "The token is KALPO_SERVE_TOKEN, else the file ~/.kalpo/serve-token (on Windows "
         "%APPDATA%\\kalpo\\serve-token),\n"
         "made with a random token readable by its owner alone.  On a terminal (or with --panel-url) the second line\n"
         "printed opens the panel.\n"
         "Endpoints (T=$(cat ~/.kalpo/serve-token); H=\"Authorization: Bearer $T\"; U=http://127.0.0.1:8123):\n" +
         serve::routes_help() +
         "A call with Idempotency-Key: <up to 128 characters> is made once: a retry with the same key and body gets "
         "the\n"
         "first answer again (the last 1000 keys, each for 24 hours, kept in serve-keys.jsonl beside the printers' "
         "data);\n"
         "the same key with another body gets 422.\n"
         "Events: `call` (export, args, result, out, messages, ms), `page` (library, coo, title, text, lines) and\n"
         "`status` (a printer's state, as /v1/health gives it, when it changes).\n"
         "Refusals: 400 a bad request, 401 no token, 403 a foreign Host or Origin, 404, 405, 409 a key still "
         "running,\n"
         "413 a body over 64 KiB, 422 a key used with another body, 503 (with Retry-After) when 64 calls are "
         "waiting\n"
         "or a printer is held past its deadline.";
}

int cmd_serve(const Global &, const ServeOptions &options) {
  for (const std::string &origin : options.origins) check_origin(origin);
  for (const std::string &model : options.printers)
    if (const Model *known = find_model(model); !known || known->library.empty())
      throw UsageError("--printer '" + as_utf8(model) + "': a printer model is due (" + model_list() + ")");
  const serve::Token token = serve::service_token();
  serve::Limits limits;
  serve::WorkLimits work;
  serve::EventHub::Limits events;
  serve::tune_limits(limits, work, events);
#if !defined(_WIN32)
  std::signal(SIGPIPE, SIG_IGN);  // a client gone is seen as a failed write
#endif
  // Confirmations are answered by each request; messages are not printed.
  install_operator({Answer::no, false, false});
  serve::Service service(token.value, options.origins, work);
  serve::Context &context = service.context();
  context.log_json = options.log_json;
  // Every warning is a line of the log, in its form.
  set_json_output(options.log_json);
  route_warnings([&context](const std::string &text) {
    serve::log_event(context, "warning", "warning", {{"message", text}});
  });
  context.hub.set_limits(events);
  serve::HttpServer server(options.port, service.handlers(), limits);
  service.listening(server.port());
  context.connections = [&server] { return server.connections(); };
  // The answers kept for Idempotency-Keys, beside the printers' data.
  std::error_code made;
  std::filesystem::create_directories(ksim::data_dir(), made);
  const std::string kept = context.keys.open(std::filesystem::path(ksim::data_dir()) / "serve-keys.jsonl");
  if (!kept.empty()) warn(kept);
  // Read here, before any call can run: the version route never enters the library.
  context.versao = library_versao();
  context.pages.start();
  for (const std::string &model : options.printers) context.printers.add(model);
  context.printers.start(std::chrono::milliseconds(static_cast<long long>(options.watch_seconds * 1000)));
  const std::string address = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
  std::cout << "kalpo serve: listening on " << address << '\n';
  // The token only where no log keeps it: a terminal, or when asked for.
  if (options.panel_url || output_is_terminal())
    std::cout << "kalpo serve: the panel: " << address << "#token=" << query_value(token.value) << '\n';
  std::cout << std::flush;
  serve::log_event(context, "info", "start",
                   {{"address", address},
                    {"token_from", token.source},
                    {"printers", options.printers},
                    {"watch_interval_s", options.watch_seconds},
                    {"version", KALPO_VERSION_TEXT},
                    {"api", serve::kApiVersion}});
  server.run();

  // The call running ends first: the library is not left inside one.
  service.stop();
  serve::log_event(context, "info", "stop", nlohmann::json::object());
  route_warnings({});
  std::cout << "kalpo serve: stopped" << std::endl;
  return kExitDone;
}

}  // namespace kt
