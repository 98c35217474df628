// kalpo serve: KALPO's exports over HTTP on loopback, the virtual printers'
// paper, state, faults and clock, an event stream, and the panel.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/printer.h"
#include "serve/http.h"
#include "serve/idempotency.h"
#include "serve/metrics.h"
#include "serve/printer_watch.h"

namespace kt::serve {

// The version of the HTTP API: the minor number grows with what is added,
// the major one with what changes.
inline constexpr const char *kApiVersion = "1.2.0";

// A request refused with its status and a message.
// A refusal: its status, what is wrong as a machine-readable code (empty:
// the status's own, see error_response) and the argument or field it
// concerns, if any.
struct HttpError : std::runtime_error {
  HttpError(int status, const std::string &why, std::string code = {}, std::string argument = {})
      : std::runtime_error(why), status(status), code(std::move(code)), argument(std::move(argument)) {}
  int status;
  std::string code, argument;
};

// Compares in a time that does not tell how much of a secret was right.
bool same_secret(std::string_view a, std::string_view b);
Response json_response(int status, const nlohmann::json &body);
// {"error": why, "status": status, "code": code, "argument": argument}: the
// code, when none is given, the status's own (bad_request, unauthorized,
// forbidden, not_found, method_not_allowed, key_running, too_large,
// key_reused, internal, unavailable); the argument only when one is given.
Response error_response(int status, const std::string &why, std::string_view code = {}, std::string_view argument = {});
// The request's body as a JSON object; HttpError 400 otherwise, and for a
// body nested deeper than kJsonDepth or holding more than kJsonValues values.
nlohmann::json body_object(const Request &request);
inline constexpr std::size_t kJsonDepth = 32;
inline constexpr std::size_t kJsonValues = 4096;
// Why `text` nests deeper than `depth` or holds more than `values` values,
// judged without parsing it; "" when it does neither.
std::string json_over_bounds(std::string_view text, std::size_t depth, std::size_t values);

// Work done off the I/O thread, in the order it came, by `threads` threads:
// the calls on one (the library keeps module state), printer reads on a few.
// A job runs to its end even when the client that asked for it has gone.
class WorkQueue {
 public:
  enum class Outcome { done, full, stopped };

  explicit WorkQueue(std::size_t limit, std::size_t threads = 1);
  ~WorkQueue();
  WorkQueue(const WorkQueue &) = delete;
  // Queues `job` and returns at once: full when `limit` jobs are waiting
  // already, stopped once stopping.  `refused` runs instead of a queued job
  // that the stop drops.  A job not `counted` (the service's own) never
  // takes a client's place.
  Outcome post(std::function<void()> job, std::function<void()> refused = {}, bool counted = true);
  // Runs `job` in its turn and returns once it has run (at once when called
  // from the queue's own thread).  What the job throws is thrown here.
  Outcome run(const std::function<void()> &job);
  // New jobs are refused and the waiting ones dropped; returns at once.
  void refuse();
  // Refuses, then waits for the running jobs.
  void stop();
  // The counted jobs waiting for their turn.
  std::size_t waiting();

 private:
  struct Job;
  void work();
  bool on_own_thread() const;

  std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> waiting_;
  std::size_t counted_ = 0;  // the waiting jobs that count against the limit
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

// The event stream's subscribers, each with a queue of events bounded in
// bytes, and a backlog of the last events for a client that reconnects.
class EventHub {
 public:
  struct Limits {
    std::size_t streams = 32;                 // served at once
    std::size_t stream_bytes = 256 * 1024;    // waiting for one client; past it `lagged`, and dropped
    std::size_t backlog_events = 1024;        // kept for Last-Event-ID
    std::size_t backlog_bytes = 1024 * 1024;  // the same, in bytes
  };
  class Subscriber;

  EventHub() = default;
  explicit EventHub(Limits limits) : limits_(limits) {}
  void set_limits(Limits limits) { limits_ = limits; }
  const Limits &limits() const { return limits_; }
  // A new stream, beginning after the event `last_id` when given (a
  // `reset` event when the backlog no longer holds what came after it);
  // null past the number of streams served at once.
  std::shared_ptr<Feed> subscribe(std::optional<std::uint64_t> last_id);
  void publish(std::string_view name, const nlohmann::json &data);
  // Every stream ends.
  void close();
  // The streams open.
  std::size_t streams();
  // Streams dropped for falling behind, and refused past the number served.
  std::atomic<std::uint64_t> lagged{0}, refused{0};

 private:
  Limits limits_;
  std::mutex mutex_;
  std::vector<Subscriber *> subscribers_;
  std::deque<std::pair<std::uint64_t, std::string>> backlog_;
  std::size_t backlog_size_ = 0;
  std::uint64_t last_id_ = 0;
  bool closed_ = false;
};

// Tickets that stand for the token on the one route a browser cannot give
// a header to (the event stream).  Each is signed with the token and opens
// the stream as often as asked until it lapses, also after a restart of the
// service with the same token: a page's EventSource reconnects by itself.
// A new token voids every ticket.
class Tickets {
 public:
  static constexpr auto kLifetime = std::chrono::hours(12);
  enum class Verdict { good, lapsed, wrong };
  explicit Tickets(std::string token = {}) : token_(std::move(token)) {}
  std::string issue() const;
  Verdict check(std::string_view ticket) const;

 private:
  std::string token_;
};

// HMAC-SHA-256 of `message` under `key`, in hex.
std::string hmac_sha256_hex(std::string_view key, std::string_view message);

// The pages the virtual printers print, as `page` events.  Every look runs
// in its turn on the call queue, so a call's event comes before its pages'.
class PageWatch {
 public:
  PageWatch(EventHub &hub, WorkQueue &calls);
  ~PageWatch();
  // What is on the paper now is not new; from then on every printer is
  // looked at each second (pages printed by other programs).
  void start();
  // On the call queue's thread: runs `call`, then publishes what these
  // libraries printed.
  void call_then_publish(const std::vector<std::string> &libraries, const std::function<void()> &call);
  void stop();

 private:
  void scan(const std::string &library);

  EventHub &hub_;
  WorkQueue &calls_;
  // Touched only on the call queue's thread: each printer's paper followed.
  std::map<std::string, ksim::TapeFollower> followers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::shared_ptr<std::atomic<bool>> scan_waiting_ = std::make_shared<std::atomic<bool>>(false);
  std::thread thread_;
};

// The token every request under /v1/ carries: KALPO_SERVE_TOKEN, else the
// token file in the user's KALPO folder, made with a new random token when
// absent.  std::runtime_error when neither can be had.
struct Token {
  std::string value;
  std::string source;  // "KALPO_SERVE_TOKEN" or the file's path
};
// The shortest token taken, in characters of base64 (22: 128 bits); hex
// digits need 32.
inline constexpr std::size_t kShortestToken = 22;
// Why a token can be guessed (too short for 128 bits, a piece repeated, a
// few characters only); "" when it cannot.
std::string weak_token(std::string_view token);
Token service_token();
// `bytes` from the system's random source, in hex; std::runtime_error when it fails.
std::string random_hex(std::size_t bytes);

// Pages as pages_json gives them, each with its text as well.
nlohmann::json pages_with_text(const std::vector<ksim::Page> &pages);

// How long work may take, and how much may wait (the README lists them).
struct WorkLimits {
  std::size_t calls_waiting = 64;
  // A call that has not begun this long after it came is not made (503).
  std::chrono::milliseconds call_wait{30000};
  // A printer read (its state, tape, faults) not done by then answers 503.
  std::chrono::milliseconds printer_read{5000};
  std::size_t reads_waiting = 16;
  std::size_t read_threads = 2;
  std::size_t tape_default = 20;  // pages of GET .../tape without last=
  std::size_t tape_most = 200;    // the most last= may ask for
};

// The limits changed by KALPO_SERVE_LIMITS; std::runtime_error when it is wrong.
void tune_limits(Limits &limits, WorkLimits &work, EventHub::Limits &events);

struct Context {
  explicit Context(const WorkLimits &limits = {}, const std::string &token = {})
      : limits(limits), calls(limits.calls_waiting), reads(limits.reads_waiting, limits.read_threads), tickets(token) {}
  WorkLimits limits;
  WorkQueue calls;
  WorkQueue reads;
  EventHub hub;
  PageWatch pages{hub, calls};
  PrinterWatch printers{hub, calls};
  Tickets tickets;
  KeyStore keys;
  Metrics metrics;
  // One line per call on standard error: JSON, else text for people.
  bool log_json = true;
  // Refusals logged: a line a second at most, with the count since the last.
  struct Refusals {
    std::mutex mutex;
    std::chrono::steady_clock::time_point last{};
    std::uint64_t unlogged = 0;
  } refusals;
  // KALPO_Versao's text, read once before the service listens: no route
  // enters the library beside a running call.
  std::string versao;
  // The connections open now, from the HTTP server once it listens.
  std::function<std::size_t()> connections;
};

// The call's line on standard error, and its counts.
void record_call(Context &c, const CallRecord &record);
// "info" below 400, "warning" below 500, else "error".
const char *level_of(int status);
// One line of the service's log on standard error: a JSON object with the
// time, the level, the event and `fields`, or text for people.  Never an
// argument, a token or a customer's document.
void log_event(Context &c, const char *level, const std::string &event, const nlohmann::json &fields);
// A refusal's line, unless one was written less than a second ago: then it
// is counted into the next line.  Status 0: only what is still uncounted.
void log_refusal(Context &c, const std::string &id, const std::string &method, const std::string &route, int status);

// Runs `job` in its turn with the calls, so that a printer change never
// lands inside one (at once on the queue's thread); HttpError 503 when the
// queue is full or stopping.
void on_call_thread(Context &c, const std::function<void()> &job);

// The endpoints.  `parts` are the path's variable parts (export, library).
Response list_exports(Context &c, const Request &r, const std::vector<std::string> &parts);
Response call_export_route(Context &c, const Request &r, const std::vector<std::string> &parts);
Response list_printers(Context &c, const Request &r, const std::vector<std::string> &parts);
Response printer_tape(Context &c, const Request &r, const std::vector<std::string> &parts);
Response printer_faults(Context &c, const Request &r, const std::vector<std::string> &parts);
Response printer_clock(Context &c, const Request &r, const std::vector<std::string> &parts);
Response event_stream(Context &c, const Request &r, const std::vector<std::string> &parts);
Response event_ticket(Context &c, const Request &r, const std::vector<std::string> &parts);
Response version_info(Context &c, const Request &r, const std::vector<std::string> &parts);
Response service_health(Context &c, const Request &r, const std::vector<std::string> &parts);
Response metrics_text(Context &c, const Request &r, const std::vector<std::string> &parts);
Response openapi_document(Context &c, const Request &r, const std::vector<std::string> &parts);
// "linux-x86_64", "windows-x86", ...
std::string platform_name();
// The panel's files; `/?token=` sends the browser on to `/#token=`.
Response panel_file(const Request &r, const std::string &token);

// Every route the service answers, one a line: its methods, its path (as the
// OpenAPI document writes it) and an example; for kalpo serve --help.
std::string routes_help();

// The service in front of the endpoints: host, origin and token checked,
// paths routed, work sent off the I/O thread, CORS answered.
class Service {
 public:
  Service(std::string token, std::vector<std::string> origins, const WorkLimits &limits = {});
  ~Service();
  void listening(int port);
  // What the HTTP server calls.
  Handlers handlers();
  bool authenticated(const Request &request);
  void handle(const Request &request, const std::shared_ptr<Reply> &reply);
  Response refusal(const Request &request, int status, const std::string &why);
  Context &context() { return context_; }
  // Refuses new work; the waiting calls are answered 503.  Returns at once.
  void stopping();
  // Waits for the running work, and ends the streams and the page watch.
  void stop();

 private:
  std::optional<Response> refused(const Request &request, bool api) const;
  bool own_origin(const std::string &origin) const;
  bool allowed_origin(const std::string &origin) const;
  bool has_token(const Request &request) const;
  // CORS headers for an allowed origin other than the service's own.
  Response with_cors(Response response, const Request &request) const;

  std::string token_;
  std::vector<std::string> origins_;
  int port_ = 0;
  Context context_;
};

}  // namespace kt::serve
