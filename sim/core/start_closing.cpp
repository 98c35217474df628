// Start of the coupon's closing: the subtotal, with a discount (negative)
// or a surcharge (positive) in cents or in percent of the subtotal.
#include "core/internal.h"

namespace ksim {
namespace {

constexpr Cents kMaxAdjustment = 99'999'999'999;

Outcome start(State &s, Cents adjustment) {
  if (Outcome o = coupon_is_open(s); o != Outcome::ok) return o;
  Coupon &coupon = *s.coupon;
  if (coupon.phase != Phase::selling || coupon.subtotal() <= 0) return Outcome::wrong_phase;
  // A discount leaves at least one cent to pay.
  if (-adjustment >= coupon.subtotal() || adjustment > kMaxAdjustment) return Outcome::invalid_argument;
  coupon.adjustment = adjustment;
  coupon.phase = Phase::totalled;
  if (adjustment < 0) {
    s.day_discounts -= adjustment;
  } else {
    s.day_surcharges += adjustment;
    s.day_gross += adjustment;
    s.grand_total += adjustment;
  }
  return Outcome::ok;
}

}  // namespace

Outcome ops::start_closing(State &s, Printout &, const Command &c) {
  std::int64_t adjustment = 0;
  return arg_int(c, 0, adjustment) ? start(s, adjustment) : Outcome::invalid_argument;
}

// The percentage of the subtotal, rounded half up to the cent.
Outcome ops::start_closing_percent(State &s, Printout &, const Command &c) {
  std::int64_t basis_points = 0, discount = 0;
  if (!arg_int(c, 0, basis_points) || !arg_int(c, 1, discount) || basis_points < 0 || basis_points > 99'99)
    return Outcome::invalid_argument;
  if (Outcome o = coupon_is_open(s); o != Outcome::ok) return o;
  Cents amount = (s.coupon->subtotal() * basis_points + 5000) / 10000;
  return start(s, discount ? -amount : amount);
}

Outcome Session::start_closing(Cents adjustment) { return impl_->run("start_closing", {number(adjustment)}); }

Outcome Session::start_closing_percent(int basis_points, bool discount) {
  return impl_->run("start_closing_percent", {number(basis_points), discount ? "1" : "0"});
}

}  // namespace ksim
