// Closing the coupon with its message, once the payments cover the total.
#include "core/internal.h"

namespace ksim {

Outcome ops::close_coupon(State &s, Printout &out, const Command &c) {
  if (Outcome o = coupon_is_open(s); o != Outcome::ok) return o;
  Coupon &coupon = *s.coupon;
  if (coupon.phase == Phase::selling) return Outcome::wrong_phase;
  if (coupon.paid() < coupon.total()) return Outcome::payment_short;
  coupon.message = arg_text(c, 0);
  coupon.closed = true;
  s.open = Document::none;
  for (const Payment &payment : coupon.payments) add_to(s.day_per_form, payment.form, payment.amount);
  out.pages.push_back(coupon_page(s, coupon, c.when));
  out.detail = Detail{coupon, c.when};
  return Outcome::ok;
}

Outcome Session::close_coupon(std::string_view message) { return impl_->run("close_coupon", {std::string(message)}); }

}  // namespace ksim
