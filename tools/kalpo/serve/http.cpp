#include "http.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <list>
#include <stdexcept>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kt::serve {
namespace {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;
using error_code = boost::system::error_code;

// What a refused client may still send after its answer, taken so that
// closing does not reset the answer away.
constexpr std::size_t kDrainLimit = 8u << 20;
constexpr auto kDrainTime = std::chrono::seconds(2);

class Connection;

extern "C" void stop_at_once(int signal) {
  static constexpr char kSaid[] = "kalpo serve: stopped at once by a second signal; answers still owed are lost\n";
#if defined(_WIN32)
  _write(2, kSaid, sizeof kSaid - 1);
#else
  [[maybe_unused]] const auto written = write(2, kSaid, sizeof kSaid - 1);
#endif
  std::_Exit(128 + signal);
}

}  // namespace

struct HttpServer::Impl : std::enable_shared_from_this<Impl> {
  Handlers handlers;
  Limits limits;
  net::io_context io{1};
  tcp::acceptor acceptor{io};
  net::signal_set signals{io, SIGINT, SIGTERM};
  // Open connections, oldest first: those not yet authenticated, and those that are.
  std::list<Connection *> pending;
  std::list<Connection *> members;
  bool stopping = false;
  // Connections alive: read by the metrics from any thread.
  std::atomic<std::size_t> open{0};

  void accept_next();
  void stop();
  // Makes room for a new connection not yet authenticated.
  void admit(Connection &session);
  // Moves a connection among the authenticated; false when all of them are busy.
  bool promote(Connection &session);
};

namespace {

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(std::shared_ptr<HttpServer::Impl> server, tcp::socket socket)
      : server_(std::move(server)), stream_(std::move(socket)), heartbeat_(server_->io) {
    ++server_->open;
  }
  ~Connection() { --server_->open; }
  Connection(const Connection &) = delete;

  std::list<Connection *>::iterator place;
  std::list<Connection *> *list = nullptr;

  void start() {
    opened_ = Clock::now();
    server_->admit(*this);
    read_header();
  }

  bool idle() const { return !busy_ && !feed_; }
  bool busy() const { return busy_; }
  Clock::time_point idle_since() const { return idle_since_; }

  void close() {
    if (closed_) return;
    closed_ = true;
    if (list) list->erase(place), list = nullptr;
    heartbeat_.cancel();
    error_code ec;
    stream_.socket().shutdown(tcp::socket::shutdown_both, ec);
    stream_.close();
    if (feed_) feed_->end(), feed_.reset();
  }

  // The answer of the routes, on the I/O thread.
  void answer(Response response) {
    if (auto reply = reply_.lock()) reply->cancel_deadlines();
    if (closed_) return;
    if (response.feed) return start_feed(std::move(response));
    const bool keep = keep_alive_ && !server_->stopping && (authenticated_ || response.status < 400);
    write(std::move(response), keep, false);
  }

  // What a stream says now (its feed has more, or fell behind).
  void pump() {
    if (closed_ || !feed_) return;
    if (writing_) {
      if (feed_->dropped()) close();  // behind while a write waits: the client is not reading
      return;
    }
    std::optional<std::string> piece = feed_->take();
    if (!piece) return finish_feed();
    if (piece->empty()) return arm_heartbeat();
    write_piece(std::move(*piece));
  }

 private:
  void read_header() {
    parser_.emplace();
    parser_->header_limit(kHeaderLimit);
    parser_->body_limit(kBodyLimit);
    if (authenticated_)
      stream_.expires_after(server_->limits.idle);
    else
      stream_.expires_at(opened_ + server_->limits.authenticate);
    http::async_read_header(stream_, buffer_, *parser_,
                            [self = shared_from_this()](error_code ec, std::size_t) { self->on_header(ec); });
  }

  Request read_so_far() const {
    Request request;
    // What came of the header, even when it broke off (its fields are whole).
    if (!parser_ || !parser_->got_some()) return request;
    const auto &message = parser_->get();
    request.method = std::string(message.method_string());
    request.target = std::string(message.target());
    for (const auto &field : message) request.headers.emplace_back(field.name_string(), field.value());
    return request;
  }

  void on_header(error_code ec) {
    if (closed_) return;
    if (ec == http::error::header_limit) return refuse(431, "the request's header is larger than 16 KiB");
    if (ec == http::error::body_limit) return refuse(413, "the body is larger than 64 KiB");
    if (ec) {
      // A request begun and broken off, or not HTTP: said when anything came.
      if (parser_->got_some() && ec != http::error::end_of_stream && ec != beast::error::timeout &&
          ec != net::error::eof)
        return refuse(400, "a malformed HTTP request");
      return close();
    }
    request_ = read_so_far();
    try {
      request_.authenticated = server_->handlers.authenticated(request_);
    } catch (const std::exception &) {
      return refuse(500, "the request could not be checked");
    }
    if (request_.authenticated && !authenticated_) {
      if (!server_->promote(*this)) return refuse(503, "as many clients as the service serves are busy: try again");
      authenticated_ = true;
    }
    if (authenticated_) stream_.expires_after(server_->limits.read);
    if (parser_->is_done()) return on_body({});
    if (beast::iequals(parser_->get()[http::field::expect], "100-continue")) {
      static constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
      net::async_write(stream_, net::buffer(kContinue), [self = shared_from_this()](error_code ec, std::size_t) {
        if (ec) return self->close();
        self->read_body();
      });
      return;
    }
    read_body();
  }

  void read_body() {
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](error_code ec, std::size_t) { self->on_body(ec); });
  }

  void on_body(error_code ec) {
    if (closed_) return;
    if (ec == http::error::body_limit) return refuse(413, "the body is larger than 64 KiB");
    if (ec == beast::error::timeout || ec == http::error::end_of_stream || ec == net::error::eof) return close();
    if (ec) return refuse(400, "a malformed HTTP request");
    auto message = parser_->release();
    keep_alive_ = message.keep_alive();
    version_ = message.version();
    request_.body = std::move(message.body());
    parser_.reset();
    stream_.expires_never();
    busy_ = true;
    auto reply = std::make_shared<ConnectionReply>(shared_from_this());
    reply->weak_self_ = reply;
    reply_ = reply;
    // Whatever the routes throw ends this request alone, never the service.
    try {
      server_->handlers.handle(request_, reply);
    } catch (const std::exception &) {
      Response failed;
      failed.status = 500;
      failed.body = "{\"error\":\"the request failed inside the service\",\"status\":500,\"code\":\"internal\"}\n";
      reply->send(std::move(failed));
    }
  }

  void write(Response response, bool keep, bool drain) {
    auto out =
        std::make_shared<http::response<http::string_body>>(static_cast<http::status>(response.status), version_);
    out->set(http::field::server, "kalpo");
    out->set(http::field::content_type, response.type);
    for (const auto &[name, value] : response.headers) out->insert(name, value);
    out->body() = std::move(response.body);
    out->keep_alive(keep);
    out->prepare_payload();
    busy_ = true;
    stream_.expires_after(server_->limits.write);
    http::async_write(stream_, *out, [self = shared_from_this(), out, keep, drain](error_code ec, std::size_t) {
      if (ec) return self->close();
      if (drain) return self->drain();
      if (!keep) return self->close();
      self->busy_ = false;
      self->idle_since_ = Clock::now();
      if (self->server_->stopping) return self->close();
      self->read_header();
    });
  }

  // Answers a request whose body is not read, then takes what the client
  // is still sending.
  void refuse(int status, const std::string &why) {
    keep_alive_ = false;
    Request request = read_so_far();
    request.authenticated = authenticated_;
    write(server_->handlers.refusal(request, status, why), false, true);
  }

  void drain() {
    error_code ec;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ec);
    buffer_.clear();
    stream_.expires_after(kDrainTime);
    drained_ = 0;
    drain_more();
  }

  void drain_more() {
    stream_.async_read_some(net::buffer(sink_), [self = shared_from_this()](error_code ec, std::size_t n) {
      self->drained_ += n;
      if (ec || self->drained_ > kDrainLimit) return self->close();
      self->drain_more();
    });
  }

  void start_feed(Response response) {
    feed_ = std::move(response.feed);
    busy_ = false;
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                       std::string(http::obsolete_reason(static_cast<http::status>(response.status))) +
                       "\r\nServer: kalpo\r\nContent-Type: " + response.type + "\r\n";
    for (const auto &[name, value] : response.headers) head += name + ": " + value + "\r\n";
    // The stream's end is the connection's.
    head += "Connection: close\r\n\r\n";
    write_piece(std::move(head));
    std::weak_ptr<Connection> weak = weak_from_this();
    net::any_io_executor executor = stream_.get_executor();
    feed_->start([weak, executor] {
      net::post(executor, [weak] {
        if (auto self = weak.lock()) self->pump();
      });
    });
    watch_client();
  }

  // A client that closes its stream frees its place at once; what it sends is not read.
  void watch_client() {
    stream_.socket().async_read_some(net::buffer(sink_), [self = shared_from_this()](error_code ec, std::size_t) {
      if (ec) return self->close();
      self->watch_client();
    });
  }

  void write_piece(std::string piece) {
    heartbeat_.cancel();
    writing_ = true;
    out_ = std::move(piece);
    stream_.expires_after(server_->limits.write);
    net::async_write(stream_, net::buffer(out_), [self = shared_from_this()](error_code ec, std::size_t) {
      self->writing_ = false;
      std::string().swap(self->out_);
      if (ec) return self->close();
      self->stream_.expires_never();
      self->pump();
    });
  }

  void arm_heartbeat() {
    heartbeat_.expires_after(server_->limits.heartbeat);
    heartbeat_.async_wait([self = shared_from_this()](error_code ec) {
      if (!ec && !self->writing_ && !self->closed_) self->write_piece(": still here\n\n");
    });
  }

  void finish_feed() {
    feed_.reset();
    close();
  }

  class ConnectionReply : public Reply {
   public:
    explicit ConnectionReply(std::shared_ptr<Connection> session)
        : session_(std::move(session)), owed_(net::make_work_guard(session_->server_->io)) {}
    ~ConnectionReply() override {
      if (done_) return;
      Response lost;
      lost.status = 500;
      lost.body = "{\"error\":\"the request was not answered\",\"status\":500,\"code\":\"internal\"}\n";
      send_now(std::move(lost));
    }

    bool send(Response response) override {
      if (done_.exchange(true)) return false;
      send_now(std::move(response));
      return true;
    }

    void deadline(std::chrono::milliseconds limit, std::function<void()> expired) override {
      std::weak_ptr<ConnectionReply> weak = weak_self_;
      auto timer = std::make_shared<net::steady_timer>(session_->server_->io, limit);
      timers_.push_back(timer);
      timer->async_wait([weak, expired = std::move(expired)](error_code ec) {
        const auto reply = weak.lock();
        if (!ec && reply && !reply->done_) expired();
      });
    }

    // On the I/O thread, once answered: a deadline left waiting would hold the stop.
    void cancel_deadlines() {
      for (const auto &timer : timers_) timer->cancel();
      timers_.clear();
    }

    std::weak_ptr<ConnectionReply> weak_self_;

   private:
    // The owed answer keeps the I/O loop running, through a stop, until the
    // answer's write has begun (which then keeps it running itself).
    void send_now(Response response) {
      net::post(session_->stream_.get_executor(),
                [session = session_, response = std::move(response), owed = std::move(owed_)]() mutable {
                  session->answer(std::move(response));
                  owed.reset();
                });
    }

    std::shared_ptr<Connection> session_;
    net::executor_work_guard<net::io_context::executor_type> owed_;
    std::atomic<bool> done_{false};
    std::vector<std::shared_ptr<net::steady_timer>> timers_;
  };

  std::weak_ptr<ConnectionReply> reply_;

  std::shared_ptr<HttpServer::Impl> server_;
  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  Request request_;
  Clock::time_point opened_;
  Clock::time_point idle_since_ = Clock::now();
  unsigned version_ = 11;
  bool keep_alive_ = false;
  bool authenticated_ = false;
  bool busy_ = false;
  bool closed_ = false;
  // An event stream: its feed, the piece being written, the heartbeat.
  std::shared_ptr<Feed> feed_;
  std::string out_;
  bool writing_ = false;
  net::steady_timer heartbeat_;
  std::size_t drained_ = 0;
  char sink_[4096];
};

}  // namespace

void HttpServer::Impl::admit(Connection &session) {
  if (pending.size() >= limits.unauthenticated && !pending.empty()) pending.front()->close();
  session.place = pending.insert(pending.end(), &session);
  session.list = &pending;
}

bool HttpServer::Impl::promote(Connection &session) {
  if (members.size() >= limits.authenticated) {
    Connection *longest = nullptr;
    for (Connection *s : members)
      if (s->idle() && (!longest || s->idle_since() < longest->idle_since())) longest = s;
    if (!longest) return false;
    longest->close();
  }
  if (session.list) session.list->erase(session.place);
  session.place = members.insert(members.end(), &session);
  session.list = &members;
  return true;
}

void HttpServer::Impl::accept_next() {
  acceptor.async_accept([self = shared_from_this()](error_code ec, tcp::socket socket) {
    if (!self->acceptor.is_open() || self->stopping) return;
    if (!ec) std::make_shared<Connection>(self, std::move(socket))->start();
    self->accept_next();
  });
}

void HttpServer::Impl::stop() {
  stopping = true;
  error_code ec;
  acceptor.close(ec);
  if (handlers.stopping) handlers.stopping();
  // The idle ones close now; the busy ones once their answer is written.
  for (std::list<Connection *> *list : {&pending, &members}) {
    std::vector<Connection *> waiting;
    for (Connection *s : *list)
      if (!s->busy()) waiting.push_back(s);
    for (Connection *s : waiting) s->close();
  }
}

HttpServer::HttpServer(int port, Handlers handlers, Limits limits) : impl_(std::make_shared<Impl>()) {
  impl_->handlers = std::move(handlers);
  impl_->limits = limits;
  const tcp::endpoint endpoint(net::ip::make_address_v4("127.0.0.1"), static_cast<unsigned short>(port));
  error_code ec;
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

HttpServer::~HttpServer() {
  // Connections still held by work not yet answered hold the server's state,
  // and with it the I/O context, until their answers are sent or dropped.
  impl_->signals.cancel();
}

int HttpServer::port() const { return impl_->acceptor.local_endpoint().port(); }

std::size_t HttpServer::connections() const { return impl_->open; }

void HttpServer::run() {
  impl_->signals.async_wait([impl = impl_.get()](error_code ec, int) {
    if (ec) return;
    impl->stop();
    // A second signal does not wait for the answers still owed.  Not through
    // the signal set, whose wait would keep the loop running.
    error_code cleared;
    impl->signals.clear(cleared);
    std::signal(SIGINT, stop_at_once);
    std::signal(SIGTERM, stop_at_once);
  });
  impl_->accept_next();
  impl_->io.run();
}

}  // namespace kt::serve
