#include <exception>

#include "serve/service.h"

namespace kt::serve {

struct CallQueue::Job {
  std::function<void()> run;
  std::exception_ptr error;
  Outcome outcome = Outcome::done;
  bool finished = false;
};

CallQueue::CallQueue(std::size_t limit) : limit_(limit), worker_([this] { work(); }) {}

CallQueue::~CallQueue() { stop(); }

CallQueue::Outcome CallQueue::run(const std::function<void()> &job) {
  auto entry = std::make_shared<Job>();
  entry->run = job;
  std::unique_lock lock(mutex_);
  if (stopping_) return Outcome::stopped;
  if (waiting_.size() >= limit_) return Outcome::full;
  waiting_.push_back(entry);
  wake_.notify_all();
  wake_.wait(lock, [&] { return entry->finished; });
  if (entry->error) std::rethrow_exception(entry->error);
  return entry->outcome;
}

void CallQueue::stop() {
  {
    std::lock_guard lock(mutex_);
    if (stopping_ && !worker_.joinable()) return;
    stopping_ = true;
    for (const auto &job : waiting_) job->outcome = Outcome::stopped, job->finished = true;
    waiting_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

void CallQueue::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
    if (waiting_.empty()) return;  // stopping
    const std::shared_ptr<Job> job = waiting_.front();
    waiting_.pop_front();
    lock.unlock();
    try {
      job->run();
    } catch (...) {
      job->error = std::current_exception();
    }
    lock.lock();
    job->finished = true;
    wake_.notify_all();
  }
}

void in_turn(Context &c, const std::function<void()> &job) {
  const CallQueue::Outcome outcome = c.calls.run(job);
  if (outcome == CallQueue::Outcome::full) throw HttpError(503, "64 calls are waiting already: try again");
  if (outcome == CallQueue::Outcome::stopped) throw HttpError(503, "the service is stopping");
}

}  // namespace kt::serve
