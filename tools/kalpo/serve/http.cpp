#include "http.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

namespace kt::serve {
namespace {

namespace net = boost::asio;
namespace http = boost::beast::http;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;
#if defined(_WIN32)
using RawSocket = SOCKET;
#else
using RawSocket = int;
#endif

// Connections served at once; past it a new one is answered 503 and closed.
constexpr int kMaxConnections = 160;
// How long a request may take to arrive (a kept-alive connection waiting
// included), and one piece of an answer to be taken.
constexpr auto kReadLimit = std::chrono::seconds(30);
constexpr auto kWriteLimit = std::chrono::seconds(30);

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = lower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string percent_decoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 && hex_digit(text[i + 2]) >= 0) {
      out += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Shuts down the sockets whose read or write has passed its time: the
// blocked call then returns.  A socket is disarmed before it is closed, so
// a handle is never shut down after the system has given it to another.
class Deadlines {
 public:
  Deadlines() : thread_([this] { watch(); }) {}
  ~Deadlines() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  std::uint64_t arm(RawSocket handle, Clock::duration limit) {
    std::lock_guard lock(mutex_);
    armed_[++last_] = {handle, Clock::now() + limit};
    return last_;
  }
  void disarm(std::uint64_t id) {
    std::lock_guard lock(mutex_);
    armed_.erase(id);
  }

 private:
  struct Entry {
    RawSocket handle;
    Clock::time_point until;
  };

  void watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
      wake_.wait_for(lock, std::chrono::milliseconds(500));
      const Clock::time_point now = Clock::now();
      for (auto it = armed_.begin(); it != armed_.end();) {
        if (it->second.until > now) {
          ++it;
          continue;
        }
#if defined(_WIN32)
        ::shutdown(it->second.handle, SD_BOTH);
#else
        ::shutdown(it->second.handle, SHUT_RDWR);
#endif
        it = armed_.erase(it);
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::map<std::uint64_t, Entry> armed_;
  std::uint64_t last_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

class Armed {
 public:
  Armed(Deadlines &deadlines, tcp::socket &socket, Clock::duration limit)
      : deadlines_(deadlines), id_(deadlines.arm(static_cast<RawSocket>(socket.native_handle()), limit)) {}
  ~Armed() { deadlines_.disarm(id_); }
  Armed(const Armed &) = delete;

 private:
  Deadlines &deadlines_;
  std::uint64_t id_;
};

}  // namespace

std::string Request::header(std::string_view name) const {
  for (const auto &[key, value] : headers)
    if (same_name(key, name)) return value;
  return {};
}

bool Request::has_header(std::string_view name) const {
  for (const auto &[key, value] : headers)
    if (same_name(key, name)) return true;
  return false;
}

std::string Request::path() const { return target.substr(0, target.find('?')); }

std::string Request::query(std::string_view key) const {
  const std::size_t mark = target.find('?');
  if (mark == std::string::npos) return {};
  std::string_view rest = std::string_view(target).substr(mark + 1);
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('&'), rest.size());
    const std::string_view pair = rest.substr(0, end);
    const std::size_t equals = pair.find('=');
    if (percent_decoded(pair.substr(0, equals)) == key)
      return equals == std::string_view::npos ? std::string() : percent_decoded(pair.substr(equals + 1));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return {};
}

struct HttpServer::Impl : std::enable_shared_from_this<Impl> {
  Handler handler;
  Refusal refusal;
  net::io_context io;
  tcp::acceptor acceptor{io};
  net::signal_set signals{io, SIGINT, SIGTERM};
  Deadlines deadlines;
  std::atomic<int> connections{0};

  void accept_next() {
    acceptor.async_accept([self = shared_from_this()](boost::system::error_code ec, tcp::socket socket) {
      if (!ec) self->start(std::move(socket));
      if (self->acceptor.is_open()) self->accept_next();
    });
  }

  void start(tcp::socket socket) {
    if (connections >= kMaxConnections) {
      // A fresh socket's send buffer is empty: this write does not block.
      static constexpr std::string_view busy =
          "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 1\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      boost::system::error_code ec;
      net::write(socket, net::buffer(busy), ec);
      return;
    }
    ++connections;
    std::thread([self = shared_from_this(), s = std::move(socket)]() mutable {
      // Whatever a connection throws (memory exhausted, a socket failing)
      // ends that connection alone, never the service.
      try {
        self->serve(s);
      } catch (...) {
      }
      boost::system::error_code ec;
      s.shutdown(tcp::socket::shutdown_both, ec);
      s.close(ec);
      --self->connections;
    }).detach();
  }

  void serve(tcp::socket &socket) {
    boost::beast::flat_buffer buffer;
    for (;;) {
      http::request_parser<http::string_body> parser;
      parser.header_limit(16 * 1024);
      parser.body_limit(kBodyLimit);
      boost::system::error_code ec;
      {
        Armed armed(deadlines, socket, kReadLimit);
        http::read_header(socket, buffer, parser, ec);
        if (!ec && !parser.is_done()) {
          if (same_name(parser.get()[http::field::expect], "100-continue"))
            net::write(socket, net::buffer(std::string_view("HTTP/1.1 100 Continue\r\n\r\n")), ec);
          if (!ec) http::read(socket, buffer, parser, ec);
        }
      }
      if (ec == http::error::body_limit) {
        refuse(socket, buffer, refusal(413, "the body is larger than 64 KiB"));
        return;
      }
      if (ec == http::error::header_limit) {
        refuse(socket, buffer, refusal(431, "the request's header is larger than 16 KiB"));
        return;
      }
      if (ec) {
        // A request begun and broken off, or not HTTP: said when anything came.
        if (parser.got_some() && ec != http::error::end_of_stream && ec != net::error::eof)
          refuse(socket, buffer, refusal(400, "a malformed HTTP request"));
        return;
      }
      const http::request<http::string_body> &message = parser.get();
      Request request;
      request.method = std::string(message.method_string());
      request.target = std::string(message.target());
      for (const auto &field : message) request.headers.emplace_back(field.name_string(), field.value());
      request.body = message.body();
      Response response = handler(request);
      const bool keep = message.keep_alive() && !response.stream;
      if (!write(socket, response, message.version(), keep) || !keep) return;
    }
  }

  // Answers a request whose body is not read, then takes what the client
  // is still sending, so that closing does not reset the answer away.
  void refuse(tcp::socket &socket, boost::beast::flat_buffer &buffer, const Response &response) {
    if (!write(socket, response, 11, false)) return;
    boost::system::error_code ec;
    socket.shutdown(tcp::socket::shutdown_send, ec);
    Armed armed(deadlines, socket, std::chrono::seconds(2));
    std::size_t taken = 0;
    char sink[16384];
    buffer.clear();
    while (!ec && taken < (8u << 20)) taken += socket.read_some(net::buffer(sink), ec);
  }

  bool write(tcp::socket &socket, const Response &response, unsigned version, bool keep) {
    boost::system::error_code ec;
    if (response.stream) return write_stream(socket, response, version);
    http::response<http::string_body> out{static_cast<http::status>(response.status), version};
    out.set(http::field::server, "kalpo");
    out.set(http::field::content_type, response.type);
    for (const auto &[name, value] : response.headers) out.set(name, value);
    out.body() = response.body;
    out.keep_alive(keep);
    out.prepare_payload();
    Armed armed(deadlines, socket, kWriteLimit);
    http::write(socket, out, ec);
    return !ec;
  }

  bool write_stream(tcp::socket &socket, const Response &response, unsigned version) {
    http::response<http::empty_body> head{static_cast<http::status>(response.status), version};
    head.set(http::field::server, "kalpo");
    head.set(http::field::content_type, response.type);
    for (const auto &[name, value] : response.headers) head.set(name, value);
    head.chunked(true);
    head.keep_alive(false);
    boost::system::error_code ec;
    http::response_serializer<http::empty_body> serializer{head};
    {
      Armed armed(deadlines, socket, kWriteLimit);
      http::write_header(socket, serializer, ec);
    }
    if (ec) return false;
    response.stream([&](std::string_view piece) {
      Armed armed(deadlines, socket, kWriteLimit);
      net::write(socket, http::make_chunk(net::buffer(piece.data(), piece.size())), ec);
      return !ec;
    });
    if (!ec) net::write(socket, http::make_chunk_last(), ec);
    return !ec;
  }
};

HttpServer::HttpServer(int port, Handler handler, Refusal refusal) : impl_(std::make_shared<Impl>()) {
  impl_->handler = std::move(handler);
  impl_->refusal = std::move(refusal);
  const tcp::endpoint endpoint(net::ip::make_address_v4("127.0.0.1"), static_cast<unsigned short>(port));
  boost::system::error_code ec;
  impl_->acceptor.open(endpoint.protocol(), ec);
#if !defined(_WIN32)
  // A port left in TIME_WAIT by a service just stopped is taken again at
  // once; on Windows the option would let two services share the port.
  if (!ec) impl_->acceptor.set_option(net::socket_base::reuse_address(true), ec);
#endif
  if (!ec) impl_->acceptor.bind(endpoint, ec);
  if (!ec) impl_->acceptor.listen(net::socket_base::max_listen_connections, ec);
  if (ec) throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + ec.message());
}

HttpServer::~HttpServer() = default;

int HttpServer::port() const { return impl_->acceptor.local_endpoint().port(); }

void HttpServer::run() {
  impl_->signals.async_wait([impl = impl_.get()](boost::system::error_code, int) {
    boost::system::error_code ec;
    impl->acceptor.close(ec);
    impl->io.stop();
  });
  impl_->accept_next();
  impl_->io.run();
}

}  // namespace kt::serve
