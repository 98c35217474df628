// The Z reduction: the day's totals into fiscal memory, the day closed
// until the next calendar day.  A day that began on an earlier date is
// reduced under its own date; with no day open, a reduction with no
// movement is recorded under today's date.
#include "core/internal.h"

namespace ksim {
namespace {

Reduction reduction_of(const State &s, std::int64_t when) {
  Reduction r;
  r.crz = s.crz;
  r.coo = s.coo;
  r.cro = s.cro;
  r.date = s.day.empty() ? date_text(when) : s.day;
  r.when = when;
  r.grand_total = s.grand_total;
  r.gross = s.day_gross;
  r.cancellations = s.day_cancellations;
  r.discounts = s.day_discounts;
  r.surcharges = s.day_surcharges;
  r.per_rate = s.day_per_rate;
  return r;
}

void start_new_day(State &s, const std::string &reduced_day) {
  s.last_reduction_day = reduced_day;
  s.day.clear();
  s.day_gross = s.day_cancellations = s.day_discounts = s.day_surcharges = s.day_supplies = 0;
  s.day_per_rate.clear();
  s.day_per_form.clear();
}

}  // namespace

Outcome ops::z_reduction(State &s, Printout &out, const Command &c) {
  if (Outcome o = no_document_open(s); o != Outcome::ok) return o;
  if (s.day.empty() && day_allows_documents(s, c.when) == Outcome::day_closed) return Outcome::day_closed;
  std::uint32_t coo = begin_document(s);
  ++s.crz;
  Reduction reduction = reduction_of(s, c.when);
  PageBuilder page(s, "REDUCAO Z", coo);
  page.header(c.when);
  page.pair("MOVIMENTO DO DIA:",
            reduction.date.substr(8, 2) + "/" + reduction.date.substr(5, 2) + "/" + reduction.date.substr(0, 4));
  day_summary(page, s);
  page.footer();
  out.pages.push_back(page.finish());
  out.reduction = reduction;
  s.fiscal_memory.push_back(std::move(reduction));
  start_new_day(s, s.fiscal_memory.back().date);
  return Outcome::ok;
}

Outcome Session::z_reduction() { return impl_->run("z_reduction", {}); }

}  // namespace ksim
