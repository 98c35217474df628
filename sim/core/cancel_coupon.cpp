// Cancelling the coupon: the open one, or the last one closed while it is
// still the last document printed.  Its total goes to the day's
// cancellations and its items leave their rates' totals.
#include "core/internal.h"

namespace ksim {
namespace {

// The coupon cancelled, into the detail memory with the cancellation's time.
void take_back(State &s, Coupon &coupon, Printout &out, std::int64_t when) {
  coupon.cancelled = true;
  s.day_cancellations += coupon.total();
  for (const Item &item : coupon.items)
    if (!item.cancelled) add_to(s.day_per_rate, item.rate, -item.total);
  out.detail = Detail{coupon, when};
}

Outcome cancel_open(State &s, Printout &out, std::int64_t when) {
  Coupon &coupon = *s.coupon;
  coupon.closed = true;
  take_back(s, coupon, out, when);
  s.open = Document::none;
  out.pages.push_back(coupon_page(s, coupon, when));
  return Outcome::ok;
}

Outcome cancel_closed(State &s, Printout &out, std::int64_t when) {
  if (Outcome o = day_allows_documents(s, when); o != Outcome::ok) return o;
  Coupon &coupon = *s.coupon;
  take_back(s, coupon, out, when);
  for (const Payment &payment : coupon.payments) add_to(s.day_per_form, payment.form, -payment.amount);
  PageBuilder page(s, "CUPOM FISCAL CANCELADO", begin_document(s));
  page.header(when);
  page.pair("COO DO CUPOM CANCELADO:", pad_number(coupon.coo, 6));
  page.pair("CCF DO CUPOM CANCELADO:", pad_number(coupon.ccf, 6));
  page.pair("VALOR CANCELADO R$", money(coupon.total()));
  page.footer();
  out.pages.push_back(page.finish());
  return Outcome::ok;
}

}  // namespace

Outcome ops::cancel_coupon(State &s, Printout &out, const Command &c) {
  if (s.open == Document::coupon) return cancel_open(s, out, c.when);
  if (s.open != Document::none) return Outcome::wrong_document;
  bool last = s.coupon && s.coupon->closed && !s.coupon->cancelled && s.last_document_is_coupon;
  return last ? cancel_closed(s, out, c.when) : Outcome::cancel_not_allowed;
}

Outcome Session::cancel_coupon() { return impl_->run("cancel_coupon", {}); }

}  // namespace ksim
