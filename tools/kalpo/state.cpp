// state: each printer's counters, totals and fiscal day, and how to move on
// when the day is closed.
#include <iostream>

#include <nlohmann/json.hpp>

#include "library.h"
#include "output.h"
#include "printer_view.h"

namespace kt {
namespace {

const char *document_name(ksim::Document d) {
  switch (d) {
    case ksim::Document::none: return "none";
    case ksim::Document::coupon: return "coupon";
    case ksim::Document::voucher: return "voucher";
    case ksim::Document::report: return "report";
  }
  return "?";
}

enum class Day { not_begun, open, reduction_pending, closed };

Day day_of(const ksim::State &s, const std::string &today) {
  if (!s.day.empty()) return s.day == today ? Day::open : Day::reduction_pending;
  return s.last_reduction_day == today ? Day::closed : Day::not_begun;
}

const char *day_name(Day d) {
  switch (d) {
    case Day::not_begun: return "not_begun";
    case Day::open: return "open";
    case Day::reduction_pending: return "reduction_pending";
    case Day::closed: return "closed";
  }
  return "?";
}

// An offset as `kalpo clock --set` takes it: whole days as "2d".
std::string offset_text(std::int64_t seconds) {
  return seconds % 86400 == 0 ? std::to_string(seconds / 86400) + "d" : std::to_string(seconds);
}

std::string day_text(Day d, const ksim::State &s, const std::string &library) {
  switch (d) {
    case Day::not_begun: return "not begun (a sale, an X reading or the opening of the day begins it)";
    case Day::open: return s.day + ", open";
    case Day::reduction_pending:
      return s.day + ", still open on a later date: REDUCTION PENDING (its Z reduction closes it)";
    case Day::closed:
      return "closed by its Z reduction (CRZ " + std::to_string(s.crz) +
             "): no sale until the next day; kalpo clock --model " + library + " --set " +
             offset_text(s.clock_offset + 86400) + " moves the printer's clock on to it";
  }
  return "?";
}

nlohmann::json state_json(const ksim::State &s, Day day, const std::string &folder) {
  return {{"coo", s.coo},
          {"ccf", s.ccf},
          {"crz", s.crz},
          {"grand_total", amount_number(s.grand_total)},
          {"open_document", document_name(s.open)},
          {"day", day_name(day)},
          {"fiscal_day", s.day},
          {"pending_reduction", day == Day::reduction_pending},
          {"last_reduction_day", s.last_reduction_day},
          {"day_totals",
           {{"gross", amount_number(s.day_gross)},
            {"cancellations", amount_number(s.day_cancellations)},
            {"discounts", amount_number(s.day_discounts)},
            {"surcharges", amount_number(s.day_surcharges)},
            {"net", amount_number(s.day_gross - s.day_cancellations - s.day_discounts)}}},
          {"folder", folder}};
}

void print_state(const ksim::State &s, Day day, const std::string &library) {
  std::cout << library << ": COO " << s.coo << "  CCF " << s.ccf << "  CRZ " << s.crz << "  GT "
            << amount_text(s.grand_total) << "  open: " << document_name(s.open) << '\n';
  std::cout << "  library in use: " << maker_file_text(maker_file(library)) << '\n';
  std::cout << "  day: " << day_text(day, s, library) << '\n';
  if (day == Day::open || day == Day::reduction_pending)
    std::cout << "  the day's sales: gross " << amount_text(s.day_gross) << "  cancellations "
              << amount_text(s.day_cancellations) << "  discounts " << amount_text(s.day_discounts) << "  surcharges "
              << amount_text(s.day_surcharges) << "  net "
              << amount_text(s.day_gross - s.day_cancellations - s.day_discounts) << '\n';
}

}  // namespace

nlohmann::json state_entry(const PrinterView &l) {
  const ksim::State &s = l.session->state();
  return state_json(s, day_of(s, ksim::date_text(l.session->now())), l.folder);
}

int cmd_state(const Global &g, const std::string &library) {
  nlohmann::json out = nlohmann::json::object();
  int status = kExitDone;
  bool shown = false;
  for (const std::string &lib : libraries(library)) {
    const PrinterView l = view_printer(lib);
    if (!l.session && !l.absent()) {
      status = report_refusal(g, l, out[lib]);
    } else if (l.absent()) {
      if (g.json) out[lib] = {{"folder", l.folder}, {"exists", false}};
      if (!g.json && !library.empty()) std::cout << no_printer_yet(l) << '\n';
      shown = shown || !library.empty();
    } else {
      shown = true;
      const ksim::State &s = l.session->state();
      if (g.json) {
        out[lib] = state_entry(l);
        const MakerFile m = maker_file(lib);
        out[lib]["library_file"] = m.file.empty() ? nlohmann::json() : nlohmann::json(m.file);
        out[lib]["library_virtual"] = m.virtual_printer;
      } else
        print_state(s, day_of(s, ksim::date_text(l.session->now())), lib);
    }
  }
  if (g.json) print_json(out);
  if (!g.json && !shown && status == kExitDone) std::cout << "No virtual printer yet (" << ksim::data_dir() << ")\n";
  return status;
}

}  // namespace kt
