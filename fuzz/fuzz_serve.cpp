// Fuzzes kalpo serve's request handling in process, as the HTTP layer hands
// it on: a request line, headers and a body, with the token or without,
// through the admission rules, the routes and the JSON bodies.  Every
// request is answered once, with a status and a JSON error when refused;
// nothing crashes, recurses without a bound or is left unanswered.
//   Input: "<METHOD> <target>\n<Name>: <value>\n...\n\n<body>"; a first byte
//   '!' sends it without the service's Host and Authorization headers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <string_view>

#include "serve/service.h"

namespace {

using namespace kt::serve;

constexpr const char *kToken = "Vq3xZ8pL2mN7rT4wY9bC1dF6gH0jK5s";
constexpr int kPort = 8123;

[[noreturn]] void violated(const std::string &what) {
  std::fprintf(stderr, "fuzz_serve: %s\n", what.c_str());
  std::abort();
}

class Caught : public Reply {
 public:
  bool send(Response response) override {
    if (sent_.exchange(true)) return false;
    answer_.set_value(std::move(response));
    return true;
  }
  void deadline(std::chrono::milliseconds, std::function<void()>) override {}
  std::future<Response> future() { return answer_.get_future(); }

 private:
  std::atomic<bool> sent_{false};
  std::promise<Response> answer_;
};

Service &service() {
  static Service *made = [] {
    // The printers and every file in a folder of the run's own.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kalpo-fuzz-serve-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    static const std::filesystem::path made_folder = folder;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(made_folder, ignored);
    });
    ::setenv("KALPO_SIM_DIR", (folder / "sim").c_str(), 1);
    ::setenv("KALPO_DRIVE_C", (folder / "c").c_str(), 1);
    ::setenv("HOME", folder.c_str(), 1);
    ::setenv("XDG_STATE_HOME", (folder / "state").c_str(), 1);
    auto *s = new Service(kToken, {"https://pos.example"});
    s->listening(kPort);
    s->context().versao = "fuzz";
    return s;
  }();
  return *made;
}

Request parse(std::string_view in) {
  Request r;
  const bool bare = !in.empty() && in.front() == '!';
  if (bare) in.remove_prefix(1);
  if (!bare)
    r.headers = {{"Host", "127.0.0.1:" + std::to_string(kPort)}, {"Authorization", std::string("Bearer ") + kToken}};
  const std::size_t end = in.find("\n\n");
  std::string_view head = in.substr(0, end);
  r.body = end == std::string_view::npos ? "" : std::string(in.substr(end + 2));
  const std::size_t line_end = std::min(head.find('\n'), head.size());
  const std::string_view line = head.substr(0, line_end);
  const std::size_t space = line.find(' ');
  r.method = std::string(line.substr(0, space));
  r.target = space == std::string_view::npos ? "/" : std::string(line.substr(space + 1));
  head.remove_prefix(std::min(line_end + 1, head.size()));
  while (!head.empty()) {
    const std::size_t next = std::min(head.find('\n'), head.size());
    const std::string_view field = head.substr(0, next);
    const std::size_t colon = field.find(':');
    if (colon != std::string_view::npos) {
      std::string_view value = field.substr(colon + 1);
      while (value.starts_with(' ')) value.remove_prefix(1);
      r.headers.emplace_back(field.substr(0, colon), value);
    }
    head.remove_prefix(std::min(next + 1, head.size()));
  }
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size > kBodyLimit + kHeaderLimit) return 0;  // the HTTP layer refuses larger ones
  Request request = parse(std::string_view(reinterpret_cast<const char *>(data), size));
  Service &s = service();
  request.authenticated = s.authenticated(request);
  auto reply = std::make_shared<Caught>();
  std::future<Response> answer = reply->future();
  s.handle(request, reply);
  if (answer.wait_for(std::chrono::seconds(8)) != std::future_status::ready) violated("a request left unanswered");
  Response response = answer.get();
  if (response.feed) response.feed->end();
  if (response.status < 100 || response.status > 599) violated("status " + std::to_string(response.status));
  if (response.status >= 400 && response.body.find("\"error\"") == std::string::npos)
    violated("a refusal without its error: " + response.body);
  return 0;
}
