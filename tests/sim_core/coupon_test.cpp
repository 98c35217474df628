// The coupon: item rounding, the totals of the day, cancellations,
// vouchers, and refusals that change nothing.
#include "core_fixture.h"

#include <algorithm>
#include <filesystem>

namespace ksim::testing {
namespace {

using CouponTest = CoreTest;

TEST_F(CouponTest, ItemTotalIsQuantityTimesPriceRoundedHalfUpToTheCent) {
  struct Case {
    Milli quantity, unit_price;
    Cents total;
  };
  const Case cases[] = {
      {1500, 3333, 500},                                // 4,9995
      {1000, 1005, 101},                                // 1,005
      {1000, 1004, 100},                                // 1,004
      {5000, 1, 1},                                     // 0,005
      {4999, 1, 0},                                     // 0,004999
      {333, 1000, 33},                                  // 0,333
      {99'999'999, 9'999'999'999, 99'999'998'990'000},  // the largest
  };
  set_date(2024, 3, 10);
  Session s = printer().begin("test");
  ASSERT_EQ(s.open_coupon(), Outcome::ok);
  for (const Case &c : cases) {
    ASSERT_EQ(s.sell(item("T01", c.quantity, c.unit_price)), Outcome::ok);
    EXPECT_EQ(s.state().coupon->items.back().total, c.total) << c.quantity << " x " << c.unit_price;
  }
}

TEST_F(CouponTest, TheDayKeepsGrossCancellationsDiscountsAndRates) {
  set_date(2024, 3, 10);
  Session s = printer().begin("test");
  ASSERT_EQ(s.open_coupon(), Outcome::ok);
  ASSERT_EQ(s.sell(item("T01", 2000, 10000)), Outcome::ok);      // 20,00
  ASSERT_EQ(s.sell(item("T02", 1000, 5000, 100)), Outcome::ok);  // 5,00 less 1,00
  ASSERT_EQ(s.sell(item("FF", 1000, 3000)), Outcome::ok);        // 3,00, cancelled
  ASSERT_EQ(s.cancel_last_item(), Outcome::ok);
  ASSERT_EQ(s.start_closing_percent(1000, true), Outcome::ok);  // 10 % of 24,00
  EXPECT_EQ(s.state().coupon->total(), 2160);
  ASSERT_EQ(s.pay(1, 2000), Outcome::ok);
  EXPECT_EQ(s.close_coupon("x"), Outcome::payment_short);
  ASSERT_EQ(s.pay(3, 500), Outcome::ok);
  ASSERT_EQ(s.close_coupon("OBRIGADO"), Outcome::ok);
  EXPECT_EQ(s.state().coupon->change(), 340);
  ASSERT_EQ(s.open_coupon(), Outcome::ok);
  ASSERT_EQ(s.sell(item("T03", 1000, 1000)), Outcome::ok);  // 1,00
  ASSERT_EQ(s.start_closing(50), Outcome::ok);              // surcharge
  ASSERT_EQ(s.pay(1, 1050), Outcome::ok);
  ASSERT_EQ(s.close_coupon(""), Outcome::ok);
  ASSERT_EQ(s.cancel_coupon(), Outcome::ok);  // the last coupon, closed
  const State &st = s.state();
  EXPECT_EQ(st.grand_total, 2000 + 500 + 300 + 100 + 50);  // never decreases
  EXPECT_EQ(st.day_gross, st.grand_total);
  EXPECT_EQ(st.day_cancellations, 300 + 150);
  EXPECT_EQ(st.day_discounts, 100 + 240);
  EXPECT_EQ(st.day_surcharges, 50);
  EXPECT_EQ(st.day_per_rate,
            (std::vector<std::pair<std::string, Cents>>{{"T01", 2000}, {"T02", 400}, {"FF", 0}, {"T03", 0}}));
  EXPECT_EQ(st.coo, 3u);
  EXPECT_EQ(st.ccf, 2u);
  const Page coupon = printer().tape()[0];
  EXPECT_EQ(coupon.title, "CUPOM FISCAL");
  EXPECT_NE(std::find(coupon.lines.begin(), coupon.lines.end(), "TOTAL R$                                   21,60"),
            coupon.lines.end());
}

TEST_F(CouponTest, TheLastCouponCanBeCancelledOnlyWhileItIsTheLastDocument) {
  set_date(2024, 3, 10);
  Session s = printer().begin("test");
  EXPECT_EQ(s.cancel_coupon(), Outcome::cancel_not_allowed);
  ASSERT_EQ(s.open_coupon(), Outcome::ok);
  ASSERT_EQ(s.sell(item("T01", 1000, 1000)), Outcome::ok);
  ASSERT_EQ(s.start_closing(0), Outcome::ok);
  ASSERT_EQ(s.pay(1, 1000), Outcome::ok);
  ASSERT_EQ(s.close_coupon(""), Outcome::ok);
  ASSERT_EQ(s.x_reading(), Outcome::ok);
  EXPECT_EQ(s.cancel_coupon(), Outcome::cancel_not_allowed);
}

TEST_F(CouponTest, AVoucherTakesNoMoreThanItsPaymentHasLeft) {
  set_date(2024, 3, 10);
  Session s = printer().begin("test");
  ASSERT_EQ(s.open_coupon(), Outcome::ok);
  ASSERT_EQ(s.sell(item("T01", 1000, 30000)), Outcome::ok);
  ASSERT_EQ(s.start_closing(0), Outcome::ok);
  ASSERT_EQ(s.pay(2, 1000), Outcome::ok);
  ASSERT_EQ(s.pay(1, 2000), Outcome::ok);
  ASSERT_EQ(s.close_coupon(""), Outcome::ok);
  EXPECT_EQ(s.open_voucher(3, 100), Outcome::voucher_not_allowed);      // no such payment
  EXPECT_EQ(s.open_voucher(2, 1001), Outcome::voucher_not_allowed);     // above it
  EXPECT_EQ(s.open_voucher(2, 600, 99), Outcome::voucher_not_allowed);  // another coupon
  EXPECT_EQ(s.open_voucher(9, 600), Outcome::form_not_programmed);
  ASSERT_EQ(s.open_voucher(2, 600, 1), Outcome::ok);
  EXPECT_EQ(s.open_voucher(2, 100), Outcome::wrong_document);
  ASSERT_EQ(s.close_voucher(), Outcome::ok);
  EXPECT_EQ(s.open_voucher(2, 401), Outcome::voucher_not_allowed);
  ASSERT_EQ(s.open_voucher(2, 400), Outcome::ok);
  ASSERT_EQ(s.close_voucher(), Outcome::ok);
  const Page voucher = printer().tape().back();
  EXPECT_EQ(voucher.title, "COMPROVANTE CREDITO OU DEBITO");
  EXPECT_EQ(voucher.coo, 3u);
}

// Each refused operation leaves the state, the journal and the tape as they were.
TEST_F(CouponTest, EveryRefusalChangesNothing) {
  using Step = void (*)(Session &);
  const Step none = [](Session &) {};
  const Step coupon = [](Session &s) { s.open_coupon(); };
  const Step one_item = [](Session &s) { s.open_coupon(), s.sell(item("T01", 1000, 1000)); };
  const Step totalled = [](Session &s) { s.open_coupon(), s.sell(item("T01", 1000, 1000)), s.start_closing(0); };
  struct Case {
    const char *name;
    Outcome expected;
    Step setup;
    Outcome (*run)(Session &);
  };
  const Case cases[] = {
      {"sell without coupon", Outcome::no_coupon_open, none, [](Session &s) { return s.sell(item("T01", 1000, 100)); }},
      {"pay without coupon", Outcome::no_coupon_open, none, [](Session &s) { return s.pay(1, 100); }},
      {"coupon twice", Outcome::coupon_open, coupon, [](Session &s) { return s.open_coupon(); }},
      {"unknown rate", Outcome::rate_not_programmed, coupon, [](Session &s) { return s.sell(item("T09", 1000, 100)); }},
      {"zero quantity", Outcome::invalid_argument, coupon, [](Session &s) { return s.sell(item("T01", 0, 100)); }},
      {"discount above item", Outcome::invalid_argument, coupon,
       [](Session &s) { return s.sell(item("T01", 1000, 100, 11)); }},
      {"pay before closing", Outcome::wrong_phase, one_item, [](Session &s) { return s.pay(1, 100); }},
      {"unknown form", Outcome::form_not_programmed, totalled, [](Session &s) { return s.pay(7, 100); }},
      {"close unpaid", Outcome::payment_short, totalled, [](Session &s) { return s.close_coupon(""); }},
      {"discount of it all", Outcome::invalid_argument, one_item, [](Session &s) { return s.start_closing(-1000); }},
      {"closing nothing", Outcome::wrong_phase, coupon, [](Session &s) { return s.start_closing(0); }},
      {"item after closing", Outcome::wrong_phase, totalled, [](Session &s) { return s.sell(item("T01", 1000, 1)); }},
      {"cancel missing item", Outcome::item_not_found, one_item, [](Session &s) { return s.cancel_item(2); }},
      {"x with coupon", Outcome::coupon_open, coupon, [](Session &s) { return s.x_reading(); }},
      {"z with report", Outcome::wrong_document, [](Session &s) { s.open_report(); },
       [](Session &s) { return s.z_reduction(); }},
      {"line with coupon", Outcome::wrong_document, coupon, [](Session &s) { return s.print_line("x"); }},
      {"close absent voucher", Outcome::no_coupon_open, none, [](Session &s) { return s.close_voucher(); }},
      {"memory empty", Outcome::nothing_to_report, none, [](Session &s) { return s.memory_by_crz(1, 5); }},
      {"memory bad date", Outcome::invalid_argument, none,
       [](Session &s) { return s.memory_by_date("2024-02-30", "2024-03-01"); }},
      {"feed too far", Outcome::invalid_argument, none, [](Session &s) { return s.feed(100); }},
  };
  for (const Case &c : cases) {
    start_afresh();
    set_date(2024, 3, 10);
    call([&](Session &s) {
      c.setup(s);
      return Outcome::ok;
    });
    State before = printer().state();
    std::string journal = file("journal"), tape = file("tape.txt");
    EXPECT_EQ(call(c.run), c.expected) << c.name;
    EXPECT_EQ(printer().state(), before) << c.name;
    EXPECT_EQ(file("journal"), journal) << c.name;
    EXPECT_EQ(file("tape.txt"), tape) << c.name;
  }
}

}  // namespace
}  // namespace ksim::testing
