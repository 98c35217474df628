// A payment by a programmed form, until the total is covered.
#include "core/internal.h"

namespace ksim {

Outcome ops::pay(State &s, Printout &, const Command &c) {
  std::int64_t form = 0, amount = 0;
  if (!arg_int(c, 0, form) || !arg_int(c, 1, amount)) return Outcome::invalid_argument;
  if (Outcome o = coupon_is_open(s); o != Outcome::ok) return o;
  Coupon &coupon = *s.coupon;
  if (coupon.phase == Phase::selling || coupon.paid() >= coupon.total()) return Outcome::wrong_phase;
  if (!find_form(s, static_cast<int>(form))) return Outcome::form_not_programmed;
  if (amount <= 0 || amount > 99'999'999'999) return Outcome::invalid_argument;
  coupon.payments.push_back({static_cast<int>(form), amount, 0});
  coupon.phase = Phase::paying;
  return Outcome::ok;
}

Outcome Session::pay(int form, Cents amount) { return impl_->run("pay", {number(form), number(amount)}); }

}  // namespace ksim
