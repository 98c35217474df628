// kalpo serve: KALPO's exports over HTTP on loopback, the virtual printers'
// paper, state, faults and clock, an event stream, and the panel.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
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

namespace kt::serve {

// The version of the HTTP API: the minor number grows with what is added,
// the major one with what changes.
inline constexpr const char *kApiVersion = "1.1.0";

// A request refused with its status and a message.
struct HttpError : std::runtime_error {
  HttpError(int status, const std::string &why) : std::runtime_error(why), status(status) {}
  int status;
};

// Compares in a time that does not tell how much of a secret was right.
bool same_secret(std::string_view a, std::string_view b);
Response json_response(int status, const nlohmann::json &body);
// {"error": why, "status": status}
Response error_response(int status, const std::string &why);
// The request's body as a JSON object; HttpError 400 otherwise.
nlohmann::json body_object(const Request &request);

// Calls made one at a time on one thread, in the order they came: the
// library keeps module state.  A call runs to its end even when the
// client that asked for it has gone.
class CallQueue {
 public:
  enum class Outcome { done, full, stopped };

  explicit CallQueue(std::size_t limit);
  ~CallQueue();
  // Runs `job` in its turn and returns once it has run; full when `limit`
  // calls are waiting already.  What the job throws is thrown here.
  Outcome run(const std::function<void()> &job);
  // After the running job; the waiting ones are answered `stopped`.
  void stop();

 private:
  struct Job;
  void work();

  std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::shared_ptr<Job>> waiting_;
  bool stopping_ = false;
  std::thread worker_;
};

// The event stream's subscribers, each with its own queue of events.
class EventHub {
 public:
  struct Subscriber {
    std::deque<std::string> events;
    bool dropped = false;  // fell too far behind: its stream ends
  };

  // Null past the number of streams served at once.
  std::shared_ptr<Subscriber> subscribe();
  void unsubscribe(const std::shared_ptr<Subscriber> &subscriber);
  void publish(std::string_view name, const nlohmann::json &data);
  // The events that came, waiting at most `wait`: "" when none came,
  // nothing once the stream is to end.
  std::optional<std::string> next(Subscriber &subscriber, std::chrono::milliseconds wait);
  void close();

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::shared_ptr<Subscriber>> subscribers_;
  bool closed_ = false;
};

// The pages the virtual printers print, as `page` events.
class PageWatch {
 public:
  using Seen = std::pair<std::uint32_t, std::string>;  // a page's COO and title

  explicit PageWatch(EventHub &hub) : hub_(hub) {}
  ~PageWatch();
  // What is on the paper now is not new; from then on every printer is
  // looked at each second (pages printed by other programs).
  void start();
  // Runs `call`, then publishes what these libraries printed; no other look
  // comes in between, so a call's event comes before its pages'.
  void around(const std::vector<std::string> &libraries, const std::function<void()> &call);
  void stop();

 private:
  void scan(const std::string &library);
  void watch();

  EventHub &hub_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::map<std::string, std::optional<Seen>> last_;  // the last page seen per library
  // The size and time of each paper file when last read.
  std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> files_;
  bool stopping_ = false;
  std::thread thread_;
};

// The token every request under /v1/ carries: KALPO_SERVE_TOKEN, else the
// token file in the user's KALPO folder, made with a new random token when
// absent.  std::runtime_error when neither can be had.
struct Token {
  std::string value;
  std::string source;  // "KALPO_SERVE_TOKEN" or the file's path
};
Token service_token();

// Pages as pages_json gives them, each with its text as well.
nlohmann::json pages_with_text(const std::vector<ksim::Page> &pages);

struct Context {
  CallQueue calls{64};
  EventHub hub;
  PageWatch pages{hub};
  KeyStore keys;
  Metrics metrics;
  // One line per call on standard error: JSON, else text for people.
  bool log_json = true;
};

// The call's line on standard error, and its counts.
void record_call(Context &c, const CallRecord &record);

// Runs `job` in its turn with the calls, so that a printer change never
// lands inside one; HttpError 503 when the queue is full or stopping.
void in_turn(Context &c, const std::function<void()> &job);

// The endpoints.  `parts` are the path's variable parts (export, library).
Response list_exports(Context &c, const Request &r, const std::vector<std::string> &parts);
Response call_export_route(Context &c, const Request &r, const std::vector<std::string> &parts);
Response list_printers(Context &c, const Request &r, const std::vector<std::string> &parts);
Response printer_tape(Context &c, const Request &r, const std::vector<std::string> &parts);
Response printer_faults(Context &c, const Request &r, const std::vector<std::string> &parts);
Response printer_clock(Context &c, const Request &r, const std::vector<std::string> &parts);
Response event_stream(Context &c, const Request &r, const std::vector<std::string> &parts);
Response version_info(Context &c, const Request &r, const std::vector<std::string> &parts);
Response service_health(Context &c, const Request &r, const std::vector<std::string> &parts);
Response metrics_text(Context &c, const Request &r, const std::vector<std::string> &parts);
Response openapi_document(Context &c, const Request &r, const std::vector<std::string> &parts);
// "linux-x86_64", "windows-x86", ...
std::string platform_name();
// The panel's files; `token_cookie` names the cookie the panel's address sets.
Response panel_file(const Request &r, const std::string &token, const std::string &token_cookie);

// The service in front of the endpoints: host, origin and token checked,
// paths routed, CORS answered.
class Service {
 public:
  Service(std::string token, std::vector<std::string> origins);
  void listening(int port);
  Response handle(const Request &request);
  Context &context() { return context_; }

 private:
  std::optional<Response> refused(const Request &request, bool api) const;
  bool own_origin(const std::string &origin) const;
  bool allowed_origin(const std::string &origin) const;
  bool has_token(const Request &request) const;

  std::string token_;
  std::vector<std::string> origins_;
  int port_ = 0;
  std::string cookie_;
  Context context_;
};

}  // namespace kt::serve
