#include <algorithm>
#include <exception>

#include "serve/service.h"

namespace kt::serve {

struct WorkQueue::Job {
  std::function<void()> run;
  std::function<void()> refused;
  bool counted = true;
};

WorkQueue::WorkQueue(std::size_t limit, std::size_t threads) : limit_(limit) {
  for (std::size_t i = 0; i < std::max<std::size_t>(threads, 1); ++i) workers_.emplace_back([this] { work(); });
}

WorkQueue::~WorkQueue() { stop(); }

WorkQueue::Outcome WorkQueue::post(std::function<void()> job, std::function<void()> refused, bool counted) {
  std::lock_guard lock(mutex_);
  if (stopping_) return Outcome::stopped;
  if (counted && counted_ >= limit_) return Outcome::full;
  counted_ += counted;
  waiting_.push_back({std::move(job), std::move(refused), counted});
  wake_.notify_one();
  return Outcome::done;
}

bool WorkQueue::on_own_thread() const {
  return std::any_of(workers_.begin(), workers_.end(),
                     [](const std::thread &t) { return t.get_id() == std::this_thread::get_id(); });
}

WorkQueue::Outcome WorkQueue::run(const std::function<void()> &job) {
  if (on_own_thread()) {
    job();
    return Outcome::done;
  }
  struct Done {
    std::mutex mutex;
    std::condition_variable wake;
    bool finished = false;
    Outcome outcome = Outcome::done;
    std::exception_ptr error;
  };
  auto done = std::make_shared<Done>();
  const auto finish = [done](Outcome outcome, std::exception_ptr error) {
    std::lock_guard lock(done->mutex);
    done->outcome = outcome;
    done->error = std::move(error);
    done->finished = true;
    done->wake.notify_all();
  };
  const Outcome posted = post(
      [job, finish] {
        try {
          job();
          finish(Outcome::done, nullptr);
        } catch (...) {
          finish(Outcome::done, std::current_exception());
        }
      },
      [finish] { finish(Outcome::stopped, nullptr); });
  if (posted != Outcome::done) return posted;
  std::unique_lock lock(done->mutex);
  done->wake.wait(lock, [&] { return done->finished; });
  if (done->error) std::rethrow_exception(done->error);
  return done->outcome;
}

void WorkQueue::refuse() {
  std::deque<Job> dropped;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    dropped.swap(waiting_);
    counted_ = 0;
  }
  wake_.notify_all();
  for (Job &job : dropped)
    if (job.refused) job.refused();
}

void WorkQueue::stop() {
  refuse();
  for (std::thread &worker : workers_)
    if (worker.joinable() && worker.get_id() != std::this_thread::get_id()) worker.join();
}

void WorkQueue::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
    if (waiting_.empty()) return;  // stopping
    Job job = std::move(waiting_.front());
    waiting_.pop_front();
    counted_ -= job.counted;
    lock.unlock();
    // A job answers its own errors; one that throws still leaves the queue running.
    try {
      job.run();
    } catch (...) {
    }
    job = {};
    lock.lock();
  }
}

void on_call_thread(Context &c, const std::function<void()> &job) {
  const WorkQueue::Outcome outcome = c.calls.run(job);
  if (outcome == WorkQueue::Outcome::full)
    throw HttpError(503, std::to_string(c.limits.calls_waiting) + " calls are waiting already: try again");
  if (outcome == WorkQueue::Outcome::stopped) throw HttpError(503, "the service is stopping");
}

std::size_t WorkQueue::waiting() {
  std::lock_guard lock(mutex_);
  return counted_;
}

}  // namespace kt::serve
