// The service's HTTP on 127.0.0.1: Boost.Beast connections on one I/O thread.
// The routes see only Request and Response; their work runs elsewhere and
// its answer comes back through a Reply.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kt::serve {

struct Request {
  std::string method;  // as sent: "GET", "POST", ...
  std::string target;  // path and query, as sent
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  // Set by the server before the routes see the request: it carried the
  // token (or a ticket that stands for it).
  bool authenticated = false;
  // When it came: a call's wait for its turn counts from here.
  std::chrono::steady_clock::time_point arrived = std::chrono::steady_clock::now();
  // Set by the service: the client's X-Request-Id when sane, else a new one.
  std::string id;

  // The header's value, "" when absent; the name in any letter case.
  std::string header(std::string_view name) const;
  bool has_header(std::string_view name) const;
  std::size_t header_count(std::string_view name) const;
  std::string path() const;
  // A parameter of the query, percent-decoded; "" when absent.
  std::string query(std::string_view key) const;
  bool has_query(std::string_view key) const;
  // The first parameter the query gives more than once, "" when none.
  std::string repeated_query() const;
};

// An endless body (an event stream), read by the server as the client
// takes it.  `take` and `start` are called on the I/O thread; `ready` may
// be called from any thread.
class Feed {
 public:
  virtual ~Feed() = default;
  // Called once, after the headers: `ready` says that pieces wait.
  virtual void start(std::function<void()> ready) = 0;
  // What waits now ("" when nothing); nullopt once the feed has ended, for
  // good (the last piece, if any, was given before).
  virtual std::optional<std::string> take() = 0;
  // The client fell too far behind: it is dropped even while a write waits.
  virtual bool dropped() const = 0;
  // The feed was ended by the client going, or the server stopping.
  virtual void end() = 0;
};

struct Response {
  int status = 200;
  std::string type = "application/json";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  std::shared_ptr<Feed> feed;  // set: the body is streamed from it
};

// The answer to one request, given once, from any thread.
class Reply {
 public:
  virtual ~Reply() = default;
  // The first answer is written; later ones are dropped.  False when one
  // was given already.
  virtual bool send(Response response) = 0;
  // Unless answered by then, `expired` runs on the I/O thread after `limit`.
  // Called from the handler, on the I/O thread.
  virtual void deadline(std::chrono::milliseconds limit, std::function<void()> expired) = 0;
};

// What the server asks of the service.
struct Handlers {
  // Whether the request's headers carry the token (called once a request).
  std::function<bool(const Request &)> authenticated;
  // Answers through the reply, now or later.
  std::function<void(const Request &, const std::shared_ptr<Reply> &)> handle;
  // The answer to a request refused before it reached the routes (400,
  // 413, 431, 500, 503); the request holds what was read of it.
  std::function<Response(const Request &, int status, const std::string &why)> refusal;
  // The server stops: no new work is to start.
  std::function<void()> stopping;
};

// The server's caps and deadlines (the README lists them).
struct Limits {
  // Connections that have not yet sent an authenticated request; past it
  // the oldest of them is closed.
  std::size_t unauthenticated = 64;
  // Connections that have; past it the one idle longest is closed, or the
  // new one answered 503 when none is idle.
  std::size_t authenticated = 128;
  // A connection that has not sent a complete, authenticated request this
  // long after it opened is closed.
  std::chrono::milliseconds authenticate{5000};
  // A kept-alive authenticated connection waits this long for its next request.
  std::chrono::milliseconds idle{30000};
  // A request's header and body, once begun, and each piece of an answer.
  std::chrono::milliseconds read{10000};
  std::chrono::milliseconds write{10000};
  // An event stream with nothing to say says so this often.
  std::chrono::milliseconds heartbeat{15000};
};

// Requests larger than this are refused with 413 before their body is read.
inline constexpr std::size_t kBodyLimit = 64 * 1024;
inline constexpr std::size_t kHeaderLimit = 16 * 1024;

class HttpServer {
 public:
  // Binds 127.0.0.1:port (0: a free port); std::runtime_error when it cannot.
  HttpServer(int port, Handlers handlers, Limits limits);
  ~HttpServer();
  HttpServer(const HttpServer &) = delete;
  int port() const;
  // Connections open now, authenticated or not; from any thread.
  std::size_t connections() const;
  // Serves until SIGINT or SIGTERM, then stops accepting, closes the idle
  // connections, writes the answers still due, and returns.
  void run();

  struct Impl;

 private:
  std::shared_ptr<Impl> impl_;
};

}  // namespace kt::serve
