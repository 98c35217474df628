// The event hub: every event numbered and sent to each subscriber's queue,
// bounded in bytes, and kept in a bounded backlog for reconnecting clients.
#include <algorithm>

#include "output.h"
#include "serve/service.h"

namespace kt::serve {

class EventHub::Subscriber : public Feed {
 public:
  explicit Subscriber(EventHub &hub) : hub_(hub) {}
  ~Subscriber() override { end(); }

  void start(std::function<void()> ready) override {
    std::lock_guard lock(hub_.mutex_);
    ready_ = std::move(ready);
    if (!pending_.empty() || done_) ready_();
  }

  std::optional<std::string> take() override {
    std::lock_guard lock(hub_.mutex_);
    if (pending_.empty() && done_) return std::nullopt;
    std::string out;
    out.swap(pending_);
    return out;
  }

  bool dropped() const override {
    std::lock_guard lock(hub_.mutex_);
    return dropped_;
  }

  void end() override {
    std::lock_guard lock(hub_.mutex_);
    if (removed_) return;
    removed_ = true;
    ready_ = nullptr;
    std::erase(hub_.subscribers_, this);
  }

 private:
  friend class EventHub;

  // Under the hub's lock.
  void add(const std::string &event) {
    if (done_) return;
    if (pending_.size() + event.size() > hub_.limits_.stream_bytes) {
      // Behind by more than its bound: told so, and dropped.
      pending_ = "event: lagged\ndata: {\"bound_bytes\":" + std::to_string(hub_.limits_.stream_bytes) + "}\n\n";
      pending_.shrink_to_fit();
      dropped_ = done_ = true;
      ++hub_.lagged;
    } else {
      pending_ += event;
    }
    if (ready_) ready_();
  }

  void finish() {
    done_ = true;
    if (ready_) ready_();
  }

  EventHub &hub_;
  std::string pending_;
  std::function<void()> ready_;
  bool dropped_ = false;  // fell behind
  bool done_ = false;     // nothing comes after what is pending
  bool removed_ = false;
};

std::shared_ptr<Feed> EventHub::subscribe(std::optional<std::uint64_t> last_id) {
  std::lock_guard lock(mutex_);
  if (closed_ || subscribers_.size() >= limits_.streams) {
    ++refused;
    return nullptr;
  }
  auto subscriber = std::make_shared<Subscriber>(*this);
  // A comment first: the client knows it is subscribed.
  subscriber->pending_ = ": kalpo events\nretry: 1000\n\n";
  if (last_id) {
    const bool held =
        *last_id <= last_id_ && (backlog_.empty() ? *last_id == last_id_ : *last_id + 1 >= backlog_.front().first);
    if (held) {
      for (const auto &[id, event] : backlog_)
        if (id > *last_id) subscriber->pending_ += event;
    } else {
      subscriber->pending_ += "id: " + std::to_string(last_id_) +
                              "\nevent: reset\ndata: " + json_line({{"after", *last_id}, {"last", last_id_}}) + "\n\n";
    }
  }
  subscribers_.push_back(subscriber.get());
  return subscriber;
}

void EventHub::publish(std::string_view name, const nlohmann::json &data) {
  std::lock_guard lock(mutex_);
  // One line of JSON: a data line ends at the first line break.
  const std::uint64_t id = ++last_id_;
  std::string event =
      "id: " + std::to_string(id) + "\nevent: " + std::string(name) + "\ndata: " + json_line(data) + "\n\n";
  for (Subscriber *s : subscribers_) s->add(event);
  backlog_size_ += event.size();
  backlog_.emplace_back(id, std::move(event));
  while (!backlog_.empty() && (backlog_.size() > limits_.backlog_events || backlog_size_ > limits_.backlog_bytes)) {
    backlog_size_ -= backlog_.front().second.size();
    backlog_.pop_front();
  }
}

void EventHub::close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  for (Subscriber *s : subscribers_) s->finish();
}

std::size_t EventHub::streams() {
  std::lock_guard lock(mutex_);
  return subscribers_.size();
}

}  // namespace kt::serve
