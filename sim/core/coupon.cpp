// A coupon's sums.
#include "core/internal.h"

namespace ksim {

Cents Coupon::subtotal() const {
  Cents sum = 0;
  for (const Item &item : items)
    if (!item.cancelled) sum += item.total;
  return sum;
}

Cents Coupon::total() const { return subtotal() + adjustment; }

Cents Coupon::paid() const {
  Cents sum = 0;
  for (const Payment &payment : payments) sum += payment.amount;
  return sum;
}

Cents Coupon::change() const { return paid() > total() ? paid() - total() : 0; }

}  // namespace ksim
