// kalpo serve: the service on 127.0.0.1 until interrupted.
#include <cctype>
#include <csignal>
#include <filesystem>
#include <iostream>

#include "commands.h"
#include "exports.h"
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

const char *const kServeHelp =
    "Listens on 127.0.0.1 only.  Every request under /v1/ carries the token: Authorization: Bearer <token>.\n"
    "The token is KALPO_SERVE_TOKEN, else the file ~/.kalpo/serve-token (on Windows %APPDATA%\\kalpo\\serve-token),\n"
    "made with a random token readable by its owner alone.  The second line printed opens the panel.\n"
    "Endpoints (T=$(cat ~/.kalpo/serve-token); H=\"Authorization: Bearer $T\"; U=http://127.0.0.1:8123):\n"
    "  GET  /v1/exports                        curl -H \"$H\" $U/v1/exports\n"
    "  POST /v1/call/<Export>                  curl -H \"$H\" -d '{\"args\": [\"BEMATECHMP20\"]}' $U/v1/call/Abredia\n"
    "       {\"args\": [...] or {name: value}, \"confirm\": \"yes\"|\"no\"} -> {\"result\", \"out\", \"messages\", "
    "\"ok\", \"warnings\", \"ms\", \"queue_ms\"}\n"
    "  GET  /v1/printers                       curl -H \"$H\" $U/v1/printers\n"
    "  GET  /v1/printers/<library>/tape?last=N curl -H \"$H\" \"$U/v1/printers/bemafi32/tape?last=1\"\n"
    "  PUT  /v1/printers/<library>/faults      curl -H \"$H\" -X PUT -d '{\"faults\": [{\"name\": \"paper_end\"}]}' "
    "$U/v1/printers/bemafi32/faults\n"
    "  POST /v1/printers/<library>/clock       curl -H \"$H\" -d '{\"offset\": \"1d\"}' $U/v1/printers/bemafi32/clock\n"
    "  GET  /v1/events                         curl -N -H \"$H\" $U/v1/events  (Last-Event-ID resumes)\n"
    "  POST /v1/events/ticket                  a single-use ticket for /v1/events?ticket=... (EventSource)\n"
    "  GET  /v1/version, /v1/openapi.json, /metrics; GET /v1/health needs no token\n"
    "A call with Idempotency-Key: <up to 128 characters> is made once: a retry with the same key and body gets the\n"
    "first answer again (the last 1000 keys, each for 24 hours, kept in serve-keys.jsonl beside the printers' data);\n"
    "the same key with another body gets 422.\n"
    "Events: `call` (export, args, result, out, messages, ms) and `page` (library, coo, title, text, lines).\n"
    "Refusals: 400 a bad request, 401 no token, 403 a foreign Host or Origin, 404, 405, 409 a key still running,\n"
    "413 a body over 64 KiB, 422 a key used with another body, 503 (with Retry-After) when 64 calls are waiting\n"
    "or a printer is held past its deadline.";

int cmd_serve(const Global &, int port, const std::vector<std::string> &origins, bool log_json) {
  for (const std::string &origin : origins) check_origin(origin);
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
  serve::Service service(token.value, origins, work);
  service.context().hub.set_limits(events);
  serve::HttpServer server(port, service.handlers(), limits);
  service.context().log_json = log_json;
  // Warnings, the unknown-model one among them, as the log lines are written.
  set_json_output(log_json);
  service.listening(server.port());
  service.context().connections = [&server] { return server.connections(); };
  // The answers kept for Idempotency-Keys, beside the printers' data.
  std::error_code made;
  std::filesystem::create_directories(ksim::data_dir(), made);
  const std::string kept = service.context().keys.open(std::filesystem::path(ksim::data_dir()) / "serve-keys.jsonl");
  if (!kept.empty()) warn(kept);
  // Read here, before any call can run: the version route never enters the library.
  service.context().versao = library_versao();
  service.context().pages.start();
  const std::string address = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
  std::cout << "kalpo serve: listening on " << address << '\n'
            << "kalpo serve: the panel: " << address << "#token=" << query_value(token.value) << '\n'
            << std::flush;
  std::cerr << "kalpo serve: the token comes from " << token.source << "; Ctrl+C stops the service\n";
  server.run();

  // The call running ends first: the library is not left inside one.
  service.stop();
  std::cout << "kalpo serve: stopped" << std::endl;
  return kExitDone;
}

}  // namespace kt
