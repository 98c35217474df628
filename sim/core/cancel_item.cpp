// Cancelling an item of the open coupon, by number or the last one sold.
#include "core/internal.h"

namespace ksim {
namespace {

Outcome cancel(State &s, std::int64_t number) {
  if (Outcome o = coupon_is_open(s); o != Outcome::ok) return o;
  if (s.coupon->phase != Phase::selling) return Outcome::wrong_phase;
  std::vector<Item> &items = s.coupon->items;
  if (number < 1 || number > static_cast<std::int64_t>(items.size())) return Outcome::item_not_found;
  Item &item = items[static_cast<std::size_t>(number - 1)];
  if (item.cancelled) return Outcome::item_not_found;
  item.cancelled = true;
  s.day_cancellations += item.total;
  add_to(s.day_per_rate, item.rate, -item.total);
  return Outcome::ok;
}

}  // namespace

Outcome ops::cancel_item(State &s, Printout &, const Command &c) {
  std::int64_t number = 0;
  return arg_int(c, 0, number) ? cancel(s, number) : Outcome::invalid_argument;
}

Outcome ops::cancel_last_item(State &s, Printout &, const Command &) {
  return cancel(s, s.open == Document::coupon ? static_cast<std::int64_t>(s.coupon->items.size()) : 0);
}

Outcome Session::cancel_item(int number) { return impl_->run("cancel_item", {ksim::number(number)}); }

Outcome Session::cancel_last_item() { return impl_->run("cancel_last_item", {}); }

}  // namespace ksim
