// The explicit opening of the fiscal day: an X reading with the cash fund.
#include "core/internal.h"

namespace ksim {

Outcome ops::open_day(State &s, Printout &out, const Command &c) {
  std::int64_t fund = 0, form = 0;
  if (!arg_int(c, 0, fund) || !arg_int(c, 1, form) || fund < 0) return Outcome::invalid_argument;
  if (fund > 0 && form == 0) form = 1;
  if (form != 0 && !find_form(s, static_cast<int>(form))) return Outcome::form_not_programmed;
  if (Outcome o = can_start_document(s, c.when); o != Outcome::ok) return o;
  open_day_if_needed(s, c.when);
  std::uint32_t coo = begin_document(s);
  ++s.gnf;
  s.day_supplies += fund;
  PageBuilder page(s, "LEITURA X", coo);
  page.header(c.when);
  page.center("ABERTURA DO DIA");
  if (fund > 0) page.pair("SUPRIMENTO " + find_form(s, static_cast<int>(form))->name, money(fund));
  day_summary(page, s);
  page.footer();
  out.pages.push_back(page.finish());
  return Outcome::ok;
}

Outcome Session::open_day(Cents fund, int form) { return impl_->run("open_day", {number(fund), number(form)}); }

}  // namespace ksim
