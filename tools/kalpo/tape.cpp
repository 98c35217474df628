// tape: the virtual printers' paper, and with --follow each new page as it
// prints (for a terminal beside the point-of-sale program).
#include <chrono>
#include <iostream>
#include <map>
#include <thread>

#include <nlohmann/json.hpp>

#include "output.h"
#include "paper.h"
#include "printer_view.h"

namespace kt {
namespace {

// The pages printed so far; false when the printer cannot be read.
bool pages_of(const PrinterView &l, std::vector<ksim::Page> &pages) {
  if (!l.session) return l.absent();
  pages = ksim::Printer::of(l.library).tape();
  return true;
}

// Pages as they print: under the library's name, or one JSON line each.
void show_printed(const Global &g, const std::string &library, const std::vector<ksim::Page> &pages) {
  if (g.json) {
    for (const nlohmann::json &page : pages_json(pages))
      std::cout << json_text({{"library", library}, {"page", page}}) << '\n';
  } else {
    std::cout << library << ":\n";
    print_pages(pages);
  }
  std::cout << std::flush;
}

// Shows the pages that print after the ones shown until the process is
// interrupted; returns only when a printer cannot be read.
int follow(const Global &g, const std::vector<std::string> &libs,
           std::map<std::string, ksim::TapeFollower> &followers) {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const std::string &lib : libs) {
      ksim::TapeFollower::Poll polled = followers.try_emplace(lib, lib).first->second.poll(kViewWaitMs);
      const PrinterView l = view_of(lib, std::move(polled.look));
      if (!l.refusal.empty()) {
        nlohmann::json entry;
        const int status = report_refusal(g, l, entry);
        if (g.json) print_json(entry);
        return status;
      }
      if (!polled.pages.empty()) show_printed(g, lib, polled.pages);
    }
  }
}

}  // namespace

int cmd_tape(const Global &g, const std::string &library, std::size_t last, bool keep_following) {
  const std::vector<std::string> libs = libraries(library);
  nlohmann::json out = nlohmann::json::object();
  std::map<std::string, ksim::TapeFollower> followers;
  int status = kExitDone;
  bool shown = false;
  for (const std::string &lib : libs) {
    const PrinterView l = view_printer(lib);
    std::vector<ksim::Page> pages;
    if (!pages_of(l, pages)) {
      status = report_refusal(g, l, out[lib]);
      continue;
    }
    if (keep_following) followers.try_emplace(lib, lib).first->second.skip_printed();
    if (last > 0 && last < pages.size()) pages.erase(pages.begin(), pages.end() - static_cast<std::ptrdiff_t>(last));
    if (g.json) {
      out[lib] = pages_json(pages);
    } else if (!pages.empty()) {
      std::cout << lib << ": " << pages.size() << " document(s)\n";
      print_pages(pages);
      shown = true;
    } else if (!library.empty()) {
      std::cout << (l.absent() ? no_printer_yet(l) : lib + ": no paper printed yet") << '\n';
      shown = true;
    }
  }
  if (g.json) print_json(out);
  if (!g.json && !shown && status == kExitDone)
    std::cout << "No paper printed yet on any virtual printer (" << ksim::data_dir() << ")\n";
  if (keep_following && status == kExitDone) return follow(g, libs, followers);
  return status;
}

}  // namespace kt
