// The fiscal day and the coupon through the core.
#include "core_fixture.h"

namespace ksim::testing {
namespace {

using DayTest = CoreTest;

TEST_F(DayTest, WholeSale) {
  set_date(2024, 3, 10);
  Session s = printer().begin("sale");
  ASSERT_EQ(s.open_coupon(), Outcome::ok);
  ASSERT_EQ(s.sell(item("T01", 1500, 3333)), Outcome::ok);  // 4,9995 -> 5,00
  ASSERT_EQ(s.sell(item("T02", 1000, 10000)), Outcome::ok);
  ASSERT_EQ(s.cancel_item(2), Outcome::ok);
  ASSERT_EQ(s.start_closing(-50), Outcome::ok);
  ASSERT_EQ(s.pay(1, 1000), Outcome::ok);
  ASSERT_EQ(s.close_coupon("OBRIGADO"), Outcome::ok);
  EXPECT_EQ(s.state().coo, 1u);
  EXPECT_EQ(s.state().coupon->total(), 450);
  EXPECT_EQ(s.state().coupon->change(), 550);
  EXPECT_EQ(s.state().grand_total, 1500);
}

}  // namespace
}  // namespace ksim::testing
