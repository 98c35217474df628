// kalpo serve in process: the request's bounds, the admission rules and the
// routes through Service::handle, the call queue, the key store, the event
// hub, and the HTTP server's stop with an answer still owed.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <thread>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>

#include "output.h"
#include "serve/service.h"

namespace kt::serve {
namespace {

using namespace std::chrono_literals;

constexpr const char *kToken = "Vq3xZ8pL2mN7rT4wY9bC1dF6gH0jK5s";
constexpr int kPort = 8123;

// A reply whose answer the test waits for.
class Caught : public Reply {
 public:
  bool send(Response response) override {
    std::lock_guard lock(mutex_);
    if (sent_) return false;
    sent_ = true;
    answer_.set_value(std::move(response));
    return true;
  }
  void deadline(std::chrono::milliseconds, std::function<void()>) override {}
  Response get() {
    auto future = answer_.get_future();
    if (future.wait_for(10s) != std::future_status::ready) throw std::runtime_error("no answer");
    return future.get();
  }

 private:
  std::mutex mutex_;
  bool sent_ = false;
  std::promise<Response> answer_;
};

Request request(std::string method, std::string target, std::string body = {},
                std::vector<std::pair<std::string, std::string>> extra = {}) {
  Request r;
  r.method = std::move(method);
  r.target = std::move(target);
  r.body = std::move(body);
  r.headers = {{"Host", "127.0.0.1:" + std::to_string(kPort)}, {"Authorization", std::string("Bearer ") + kToken}};
  for (auto &header : extra) r.headers.push_back(std::move(header));
  return r;
}

// The folders of the printers and the answers' journal, the test's own.
class Folder {
 public:
  Folder() : path_(std::filesystem::temp_directory_path() / ("kalpo-serve-test-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
    ::setenv("KALPO_SIM_DIR", (path_ / "sim").c_str(), 1);
    ::setenv("KALPO_DRIVE_C", (path_ / "c").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (path_ / "state").c_str(), 1);
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

 private:
  std::filesystem::path path_;
};

class ServiceTest : public testing::Test {
 protected:
  ServiceTest() : service_(kToken, {"https://pos.example"}) {
    service_.listening(kPort);
    service_.context().versao = "the version read at start";
    service_.context().log_json = true;
  }
  Response answer(Request r) {
    r.authenticated = service_.authenticated(r);
    auto reply = std::make_shared<Caught>();
    service_.handle(r, reply);
    return reply->get();
  }
  std::string error_of(const Response &response) { return nlohmann::json::parse(response.body).value("error", ""); }

  Folder folder_;
  Service service_;
};

TEST(JsonBounds, JudgedBeforeParsing) {
  const struct {
    std::string text;
    std::string why;  // "" when within the bounds
  } cases[] = {
      {std::string(32, '[') + std::string(32, ']'), ""},
      {std::string(33, '[') + std::string(33, ']'), "deeper than 32 levels (at byte 33)"},
      {"{\"a\": \"" + std::string(100, '[') + "\"}", ""},      // brackets inside a text
      {"{\"a\": \"\\\"" + std::string(100, '{') + "\"}", ""},  // after an escaped quote
      {"[" +
           [] {
             std::string s;
             for (int i = 0; i < 4096; ++i) s += "1,";
             return s;
           }() +
           "1]",
       "more than 4096 values"},
  };
  for (const auto &c : cases) {
    const std::string why = json_over_bounds(c.text, kJsonDepth, kJsonValues);
    if (c.why.empty()) {
      EXPECT_EQ(why, "") << c.text.substr(0, 40);
    } else {
      EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
  }
}

TEST(Printable, NothingRawReachesALine) {
  const struct {
    std::string given;
    std::size_t most;
    std::string shown;
  } cases[] = {
      {"BEMATECHMP20", 40, "BEMATECHMP20"},
      {"a\nb\r\tc", 40, "a\\nb\\r\\tc"},
      {"back\\slash", 40, "back\\\\slash"},
      {"\x9b"
       "31m",
       40, "\\x9b31m"},
      {"\xc2\x9b", 40, "\\xc2\\x9b"},  // a C1 control in UTF-8
      {"a\x1b[2J", 40, "a\\x1b[2J"},
      {"Ação", 40, "Ação"},
      {"\xe9t\xe9", 40, "\\xe9t\\xe9"},  // not UTF-8
      {std::string(100, 'x'), 5, "xxxxx..."},
  };
  for (const auto &c : cases) EXPECT_EQ(printable(c.given, c.most), c.shown) << c.given;
}

TEST_F(ServiceTest, AdmissionAndRoutes) {
  const std::string deep = "{\"args\": " + std::string(12000, '[') + std::string(12000, ']') + "}";
  const struct {
    Request request;
    bool token;
    int status;
    std::string why;  // part of the error, "" for none
  } cases[] = {
      {request("GET", "/v1/version"), true, 200, ""},
      {request("GET", "/v1/version"), false, 401, "token is missing or wrong"},
      {request("GET", "/v1/nothing"), true, 404, "no such path"},
      {request("DELETE", "/v1/version"), true, 405, "not allowed"},
      {request("GET", "/v1/version", "", {{"Host", "evil.example"}}), true, 400, "Host header is given more than once"},
      {request("GET", "/v1/version", "", {{"Origin", "https://evil.example"}}), true, 403, "origin may not"},
      {request("POST", "/v1/call/KALPO_Abredia", "{}", {{"Idempotency-Key", "a"}, {"Idempotency-Key", "b"}}), true, 400,
       "Idempotency-Key header is given more than once"},
      {request("POST", "/v1/call/KALPO_Abredia", deep), true, 400, "deeper than 32"},
      {request("PUT", "/v1/printers/bemafi32/faults", deep), true, 400, "deeper than 32"},
      {request("POST", "/v1/printers/bemafi32/clock", deep), true, 400, "deeper than 32"},
      {request("POST", "/v1/call/KALPO_Abredia", R"({"args": [")" + std::string(100, 'M') + R"("]})"), true, 400,
       "more than the 64 a model identifier may have"},
      {request("POST", "/v1/call/KALPO_Abredia", R"({"args": [1], "args": [2]})"), true, 400, "more than once"},
      {request("POST", "/v1/call/KALPO_Nada", "{}"), true, 404, "unknown export"},
  };
  for (const auto &c : cases) {
    Request r = c.request;
    if (!c.token) r.headers.erase(r.headers.begin() + 1);
    const Response response = answer(r);
    EXPECT_EQ(response.status, c.status) << r.method << " " << r.target << ": " << response.body;
    if (!c.why.empty()) {
      EXPECT_NE(error_of(response).find(c.why), std::string::npos) << response.body;
    }
  }
  EXPECT_EQ(nlohmann::json::parse(answer(request("GET", "/v1/version")).body)["versao"], "the version read at start");
}

// The version asked while calls run: under ThreadSanitizer (make tsan), a
// route entering the library beside the call thread is a finding.
TEST_F(ServiceTest, TheVersionNeverEntersTheLibraryBesideACall) {
  std::thread calls([&] {
    for (int i = 0; i < 20; ++i) EXPECT_EQ(answer(request("POST", "/v1/call/KALPO_Versao", "{}")).status, 200);
  });
  for (int i = 0; i < 200; ++i) EXPECT_EQ(answer(request("GET", "/v1/version")).status, 200);
  calls.join();
}

TEST(CallQueueTest, LimitRefusalAndErrors) {
  WorkQueue queue(2);
  std::promise<void> release;
  std::shared_future<void> held = release.get_future().share();
  EXPECT_EQ(queue.post([held] { held.wait(); }), WorkQueue::Outcome::done);
  while (queue.waiting() != 0) std::this_thread::yield();  // the first job runs
  int refused = 0;
  EXPECT_EQ(queue.post([] {}, [&] { ++refused; }), WorkQueue::Outcome::done);
  EXPECT_EQ(queue.post([] {}, [&] { ++refused; }), WorkQueue::Outcome::done);
  EXPECT_EQ(queue.post([] {}), WorkQueue::Outcome::full);
  EXPECT_EQ(queue.post([] {}, {}, false), WorkQueue::Outcome::done);  // the service's own never counts
  queue.refuse();
  EXPECT_EQ(refused, 2);
  EXPECT_EQ(queue.post([] {}), WorkQueue::Outcome::stopped);
  release.set_value();
  queue.stop();

  WorkQueue running(4);
  EXPECT_THROW(running.run([] { throw std::runtime_error("thrown in turn"); }), std::runtime_error);
  int ran = 0;
  EXPECT_EQ(running.run([&] { ++ran; }), WorkQueue::Outcome::done);
  EXPECT_EQ(ran, 1);
}

TEST(KeyStoreTest, ClaimsInMemory) {
  KeyStore keys;
  ASSERT_EQ(keys.open(""), "");
  EXPECT_EQ(keys.claim("k1", "f1").kind, KeyStore::Claim::Kind::mine);
  keys.abandon("k1");
  EXPECT_EQ(keys.claim("k1", "f1").kind, KeyStore::Claim::Kind::mine);
  keys.finish("k1", "{\"result\":1}");
  const KeyStore::Claim again = keys.claim("k1", "f1");
  EXPECT_EQ(again.kind, KeyStore::Claim::Kind::replay);
  EXPECT_EQ(again.answer, "{\"result\":1}");
  EXPECT_EQ(keys.claim("k1", "f2").kind, KeyStore::Claim::Kind::reused);
  for (const std::string &bad : {std::string(), std::string(129, 'k'), std::string("tab\there")})
    EXPECT_NE(KeyStore::invalid(bad), "") << bad;
}

TEST(EventHubTest, StreamsBacklogAndLimit) {
  EventHub hub({.streams = 1, .stream_bytes = 4096, .backlog_events = 2, .backlog_bytes = 1 << 20});
  hub.publish("call", {{"n", 1}});
  hub.publish("call", {{"n", 2}});
  hub.publish("call", {{"n", 3}});
  std::shared_ptr<Feed> feed = hub.subscribe(2);
  ASSERT_TRUE(feed);
  EXPECT_FALSE(hub.subscribe(std::nullopt)) << "past the streams served at once";
  std::optional<std::string> first = feed->take();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->find("id: 2\n"), std::string::npos);
  EXPECT_NE(first->find("id: 3\n"), std::string::npos);
  std::shared_ptr<Feed> lost = (feed->end(), feed.reset(), hub.subscribe(0));
  ASSERT_TRUE(lost);
  EXPECT_NE(lost->take()->find("event: reset"), std::string::npos) << "the backlog no longer holds event 1";
  for (int i = 0; i < 100; ++i) hub.publish("call", {{"text", std::string(100, 'x')}});
  EXPECT_TRUE(lost->dropped()) << "past stream_bytes unread";
  hub.close();
  lost->take();
  EXPECT_FALSE(lost->take());
}

// A stop with an answer still owed: the server's loop runs on until the
// answer is written.
TEST(HttpStop, AnOwedAnswerIsWrittenThroughAStop) {
  std::promise<std::shared_ptr<Reply>> held;
  Handlers handlers;
  handlers.authenticated = [](const Request &) { return true; };
  handlers.handle = [&](const Request &, const std::shared_ptr<Reply> &reply) { held.set_value(reply); };
  handlers.refusal = [](const Request &, int status, const std::string &why) { return error_response(status, why); };
  handlers.stopping = [] {};
  HttpServer server(0, handlers, Limits{});
  std::promise<void> returned;
  std::thread loop([&] {
    server.run();
    returned.set_value();
  });
  boost::asio::io_context io;
  boost::asio::ip::tcp::socket client(io);
  client.connect({boost::asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(server.port())});
  const std::string sent = "GET /v1/version HTTP/1.1\r\nHost: x\r\n\r\n";
  boost::asio::write(client, boost::asio::buffer(sent));
  std::future<std::shared_ptr<Reply>> reply = held.get_future();
  ASSERT_EQ(reply.wait_for(10s), std::future_status::ready);
  std::raise(SIGTERM);
  std::future<void> done = returned.get_future();
  EXPECT_EQ(done.wait_for(300ms), std::future_status::timeout) << "the loop returned with an answer owed";
  reply.get()->send(json_response(200, {{"answered", true}}));
  std::string got(512, '\0');
  boost::system::error_code ec;
  got.resize(boost::asio::read(client, boost::asio::buffer(got), ec));
  EXPECT_NE(got.find("200 OK"), std::string::npos) << got;
  EXPECT_NE(got.find("\"answered\":true"), std::string::npos) << got;
  EXPECT_EQ(done.wait_for(10s), std::future_status::ready);
  loop.join();
  // The second signal's own handler, left by the stop, goes.
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace
}  // namespace kt::serve
