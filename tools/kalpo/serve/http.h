// The service's HTTP on 127.0.0.1: requests read and answers written by
// Boost.Beast, one thread per connection.  The routes see only these types.
#pragma once

#include <functional>
#include <memory>
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

  // The header's value, "" when absent; the name in any letter case.
  std::string header(std::string_view name) const;
  bool has_header(std::string_view name) const;
  std::string path() const;
  // A parameter of the query, percent-decoded; "" when absent.
  std::string query(std::string_view key) const;
};

// Writes one piece of an endless body; false once the client has gone.
using StreamWriter = std::function<bool(std::string_view)>;

struct Response {
  int status = 200;
  std::string type = "application/json";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  // An endless body (an event stream), written after the headers until
  // the function returns.
  std::function<void(const StreamWriter &)> stream;
};

using Handler = std::function<Response(const Request &)>;
// The answer to a request refused before it reached the routes (413, 400).
using Refusal = std::function<Response(int status, const std::string &why)>;

// Requests larger than this are refused with 413 before their body is read.
inline constexpr std::size_t kBodyLimit = 64 * 1024;

class HttpServer {
 public:
  // Binds 127.0.0.1:port (0: a free port); std::runtime_error when it cannot.
  HttpServer(int port, Handler handler, Refusal refusal);
  ~HttpServer();
  int port() const;
  // Serves until SIGINT or SIGTERM.
  void run();

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace kt::serve
