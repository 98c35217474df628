// The event stream: `call` and `page` events to every subscriber.
#include <algorithm>
#include <filesystem>

#include "models.h"
#include "output.h"
#include "printer_view.h"
#include "serve/service.h"

namespace kt::serve {
namespace {

// Streams served at once, and events a subscriber may fall behind by.
constexpr std::size_t kMaxSubscribers = 32;
constexpr std::size_t kMaxBehind = 4096;

// The pages printed after the `last` one seen: the whole tape when it is
// not on it (nothing seen yet, or a printer started afresh).  A page is
// known by its COO and title: lines fed after it do not make it new.
std::vector<ksim::Page> printed_after(const std::string &library, const std::optional<PageWatch::Seen> &last) {
  const Look l = look(library);
  if (!l.session) return {};
  for (std::size_t count = 8;; count *= 8) {
    std::vector<ksim::Page> pages = ksim::Printer::of(library).tape(count);
    const auto seen = !last ? pages.rend() : std::find_if(pages.rbegin(), pages.rend(), [&](const ksim::Page &p) {
      return p.coo == last->first && p.title == last->second;
    });
    if (seen != pages.rend()) return {seen.base(), pages.end()};
    if (pages.size() < count) return pages;
  }
}

}  // namespace

std::shared_ptr<EventHub::Subscriber> EventHub::subscribe() {
  std::lock_guard lock(mutex_);
  if (closed_ || subscribers_.size() >= kMaxSubscribers) return nullptr;
  return subscribers_.emplace_back(std::make_shared<Subscriber>());
}

void EventHub::unsubscribe(const std::shared_ptr<Subscriber> &subscriber) {
  std::lock_guard lock(mutex_);
  std::erase(subscribers_, subscriber);
}

void EventHub::publish(std::string_view name, const nlohmann::json &data) {
  // One line of JSON: a data line ends at the first line break.
  const std::string event = "event: " + std::string(name) + "\ndata: " + json_line(data) + "\n\n";
  std::lock_guard lock(mutex_);
  for (const auto &s : subscribers_) {
    if (s->events.size() >= kMaxBehind) s->dropped = true;
    if (!s->dropped) s->events.push_back(event);
  }
  wake_.notify_all();
}

std::optional<std::string> EventHub::next(Subscriber &subscriber, std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, wait, [&] { return closed_ || subscriber.dropped || !subscriber.events.empty(); });
  if (closed_ || subscriber.dropped) return std::nullopt;
  std::string out;
  for (const std::string &event : subscriber.events) out += event;
  subscriber.events.clear();
  return out;
}

void EventHub::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  wake_.notify_all();
}

PageWatch::~PageWatch() { stop(); }

void PageWatch::start() {
  std::lock_guard lock(mutex_);
  for (const std::string &library : printer_libraries()) {
    // Only the last page counts: the tape is not read whole.
    const Look l = look(library);
    if (!l.session) continue;
    const std::vector<ksim::Page> pages = ksim::Printer::of(library).tape(1);
    if (!pages.empty()) last_[library] = Seen{pages.back().coo, pages.back().title};
  }
  thread_ = std::thread([this] { watch(); });
}

void PageWatch::around(const std::vector<std::string> &libraries, const std::function<void()> &call) {
  std::lock_guard lock(mutex_);
  call();
  for (const std::string &library : libraries) scan(library);
}

void PageWatch::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void PageWatch::scan(const std::string &library) {
  // The paper's file unchanged: nothing printed.  Looking without need
  // would cost the maker library's next call a fresh read of the printer.
  std::error_code error;
  const std::filesystem::path file = std::filesystem::path(ksim::Printer::of(library).folder()) / "tape.txt";
  const auto size = std::filesystem::file_size(file, error);
  const auto written = std::filesystem::last_write_time(file, error);
  auto &[known_size, known_time] = files_[library];
  if (!error && size == known_size && written == known_time) return;
  known_size = error ? 0 : size;
  known_time = written;
  std::optional<Seen> &last = last_[library];
  const std::vector<ksim::Page> pages = printed_after(library, last);
  if (pages.empty()) return;
  last = Seen{pages.back().coo, pages.back().title};
  for (nlohmann::json &page : pages_with_text(pages)) {
    page["library"] = library;
    hub_.publish("page", page);
  }
}

void PageWatch::watch() {
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return stopping_; }))
    for (const std::string &library : printer_libraries()) scan(library);
}

}  // namespace kt::serve

namespace kt::serve {

Response event_stream(Context &c, const Request &, const std::vector<std::string> &) {
  // Held by the answer: the subscriber goes with it, streamed or not.
  struct Subscription {
    EventHub &hub;
    std::shared_ptr<EventHub::Subscriber> subscriber;
    ~Subscription() { hub.unsubscribe(subscriber); }
  };
  std::shared_ptr<EventHub::Subscriber> subscriber = c.hub.subscribe();
  if (!subscriber) throw HttpError(503, "as many event streams as the service serves are open");
  // Made in place: a copy's end would unsubscribe.
  const std::shared_ptr<Subscription> subscription(new Subscription{c.hub, std::move(subscriber)});
  Response response;
  response.type = "text/event-stream";
  response.headers = {{"Cache-Control", "no-cache"}};
  response.stream = [subscription](const StreamWriter &write) {
    // A comment first: the client knows it is subscribed.
    bool open = write(": kalpo events\nretry: 1000\n\n");
    while (open) {
      const std::optional<std::string> events =
          subscription->hub.next(*subscription->subscriber, std::chrono::seconds(15));
      if (!events) break;
      open = write(events->empty() ? ": still here\n\n" : *events);
    }
  };
  return response;
}

}  // namespace kt::serve
