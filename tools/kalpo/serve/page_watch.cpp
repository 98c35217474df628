// The page watch: the virtual printers' new pages as `page` events.
#include <algorithm>

#include "core/paper_stamp.h"
#include "models.h"
#include "printer_view.h"
#include "serve/service.h"

namespace kt::serve {
namespace {

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

// The last page of a library's paper, none when it has none.
std::optional<PageWatch::Seen> last_page(const std::string &library) {
  const Look l = look(library);
  if (!l.session) return std::nullopt;
  const std::vector<ksim::Page> pages = ksim::Printer::of(library).tape(1);
  if (pages.empty()) return std::nullopt;
  return PageWatch::Seen{pages.back().coo, pages.back().title};
}

}  // namespace

PageWatch::PageWatch(EventHub &hub, CallQueue &calls) : hub_(hub), calls_(calls), finder_(printed_after) {}

PageWatch::~PageWatch() { stop(); }

void PageWatch::start() {
  // In turn with the calls, as every look: only the last page counts.
  calls_.post(
      [this] {
        for (const std::string &library : printer_libraries()) last_[library] = last_page(library);
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

void PageWatch::around(const std::vector<std::string> &libraries, const std::function<void()> &call) {
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
  std::string stamp = ksim::paper_stamp(library);
  std::string &known = stamps_[library];
  if (!stamp.empty() && stamp == known) return;
  known = std::move(stamp);
  std::optional<Seen> &last = last_[library];
  const std::vector<ksim::Page> pages = finder_(library, last);
  if (pages.empty()) return;
  last = Seen{pages.back().coo, pages.back().title};
  for (nlohmann::json &page : pages_with_text(pages)) {
    page["library"] = library;
    hub_.publish("page", page);
  }
}

}  // namespace kt::serve
