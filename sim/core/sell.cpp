// Selling an item: its total is quantity x unit price rounded half up to
// the cent, less its discount.
#include "core/internal.h"

namespace ksim {
namespace {
constexpr Milli kMaxQuantity = 99'999'999;      // 99 999,999
constexpr Milli kMaxUnitPrice = 9'999'999'999;  // 9 999 999,999

// The decimals the paper shows, two optional arguments after the discount
// (absent in records written before they existed).
bool printed_decimals(const Command &c, Item &item) {
  if (c.args.size() <= 7) return true;
  std::int64_t quantity = 0, price = 0;
  if (!arg_int(c, 7, quantity) || !arg_int(c, 8, price) || quantity < 0 || quantity > 3 || price < -1 || price > 3)
    return false;
  item.quantity_decimals = static_cast<int>(quantity), item.price_decimals = static_cast<int>(price);
  return true;
}

}  // namespace

Outcome ops::sell(State &s, Printout &, const Command &c) {
  if (Outcome o = coupon_is_open(s); o != Outcome::ok) return o;
  if (s.coupon->phase != Phase::selling) return Outcome::wrong_phase;
  Item item{0, arg_text(c, 0), arg_text(c, 1), arg_text(c, 2), arg_text(c, 3)};
  if (!find_rate(s, item.rate)) return Outcome::rate_not_programmed;
  if (!arg_int(c, 4, item.quantity) || !arg_int(c, 5, item.unit_price) || !arg_int(c, 6, item.discount))
    return Outcome::invalid_argument;
  if (!printed_decimals(c, item)) return Outcome::invalid_argument;
  if (item.quantity <= 0 || item.quantity > kMaxQuantity || item.unit_price < 0 || item.unit_price > kMaxUnitPrice ||
      item.discount < 0 || item.description.empty())
    return Outcome::invalid_argument;
  Cents gross = round_half_up(item.quantity, item.unit_price);
  if (item.discount > gross) return Outcome::invalid_argument;
  item.total = gross - item.discount;
  item.number = static_cast<int>(s.coupon->items.size()) + 1;
  s.grand_total += gross;
  s.day_gross += gross;
  s.day_discounts += item.discount;
  add_to(s.day_per_rate, item.rate, item.total);
  s.coupon->items.push_back(std::move(item));
  return Outcome::ok;
}

Outcome Session::sell(Item item) {
  std::vector<std::string> args{item.code,
                                item.description,
                                item.unit,
                                item.rate,
                                number(item.quantity),
                                number(item.unit_price),
                                number(item.discount)};
  if (item.quantity_decimals != Item{}.quantity_decimals || item.price_decimals != Item{}.price_decimals) {
    args.push_back(number(item.quantity_decimals));
    args.push_back(number(item.price_decimals));
  }
  return impl_->run("sell", std::move(args));
}

}  // namespace ksim
