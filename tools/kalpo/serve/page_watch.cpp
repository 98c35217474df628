// The page watch: the virtual printers' new pages as `page` events.
#include "models.h"
#include "printer_view.h"
#include "serve/service.h"

namespace kt::serve {

PageWatch::PageWatch(EventHub &hub, WorkQueue &calls) : hub_(hub), calls_(calls) {}

PageWatch::~PageWatch() { stop(); }

void PageWatch::start() {
  // In turn with the calls, as every look: what is printed already is not new.
  calls_.post(
      [this] {
        for (const std::string &library : printer_libraries()) {
          ksim::TapeFollower &follower = followers_.try_emplace(library, library).first->second;
          const PrinterView l = view_printer(library);
          if (l.session) follower.skip_printed();
        }
      },
      {}, false);
  thread_ = std::thread([this] {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return stopping_; })) {
      // One look waiting at most: a printer held for long does not pile them up.
      if (scan_waiting_->exchange(true)) continue;
      calls_.post(
          [this, waiting = scan_waiting_] {
            waiting->store(false);
            for (const std::string &library : printer_libraries()) scan(library);
          },
          {}, false);
    }
  });
}

void PageWatch::call_then_publish(const std::vector<std::string> &libraries, const std::function<void()> &call) {
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
  // The follower looks only when the paper changed: looking without need
  // would cost the maker library's next call a fresh read of the printer.
  const std::vector<ksim::Page> pages = followers_.try_emplace(library, library).first->second.poll(kViewWaitMs).pages;
  for (nlohmann::json &page : pages_with_text(pages)) {
    page["library"] = library;
    hub_.publish("page", page);
  }
}

}  // namespace kt::serve
