// Opening a fiscal coupon, optionally with the customer's data.
#include "core/internal.h"

namespace ksim {

Outcome ops::open_coupon(State &s, Printout &, const Command &c) {
  if (Outcome o = can_start_document(s, c.when); o != Outcome::ok) return o;
  open_day_if_needed(s, c.when);
  Coupon coupon;
  coupon.coo = begin_document(s);
  coupon.ccf = ++s.ccf;
  coupon.customer_document = arg_text(c, 0);
  coupon.customer_name = arg_text(c, 1);
  coupon.customer_address = arg_text(c, 2);
  coupon.day = s.day;
  s.coupon = std::move(coupon);
  s.open = Document::coupon;
  s.last_document_is_coupon = true;
  return Outcome::ok;
}

Outcome Session::open_coupon(std::string_view document, std::string_view name, std::string_view address) {
  return impl_->run("open_coupon", {std::string(document), std::string(name), std::string(address)});
}

}  // namespace ksim
