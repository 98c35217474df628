// The fiscal day: what the day allows before, during and after its
// reduction, and the counters of its documents.
#include "core_fixture.h"

namespace ksim::testing {
namespace {

using DayTest = CoreTest;

// Every document kind, each in its own call.
struct Attempt {
  const char *name;
  Outcome (*run)(Session &);
};
const Attempt kDocuments[] = {
    {"coupon", [](Session &s) { return s.open_coupon(); }},
    {"x reading", [](Session &s) { return s.x_reading(); }},
    {"report", [](Session &s) { return s.open_report(); }},
    {"opening", [](Session &s) { return s.open_day(); }},
};

TEST_F(DayTest, AfterTheReductionOnlyFiscalMemoryUntilTheNextDay) {
  set_date(2024, 3, 10);
  ASSERT_EQ(call([](Session &s) { return s.x_reading(); }), Outcome::ok);
  ASSERT_EQ(call([](Session &s) { return s.z_reduction(); }), Outcome::ok);
  for (const Attempt &a : kDocuments) EXPECT_EQ(call(a.run), Outcome::day_closed) << a.name;
  EXPECT_EQ(call([](Session &s) { return s.z_reduction(); }), Outcome::day_closed);
  EXPECT_EQ(call([](Session &s) { return s.memory_by_crz(1, 1); }), Outcome::ok);
  EXPECT_EQ(call([](Session &s) { return s.memory_by_date("2024-03-10", "2024-03-10"); }), Outcome::ok);
  set_date(2024, 3, 11);
  for (const Attempt &a : kDocuments) {
    EXPECT_EQ(call(a.run), Outcome::ok) << a.name;
    call([](Session &s) { return s.state().open == Document::coupon ? s.cancel_coupon() : s.close_report(); });
  }
}

TEST_F(DayTest, ADayLeftOpenPastMidnightWantsItsReductionFirst) {
  set_date(2024, 3, 10);
  ASSERT_EQ(call([](Session &s) { return s.open_coupon(); }), Outcome::ok);
  ASSERT_EQ(call([](Session &s) { return s.cancel_coupon(); }), Outcome::ok);
  set_date(2024, 3, 11);
  for (const Attempt &a : kDocuments) EXPECT_EQ(call(a.run), Outcome::reduction_pending) << a.name;
  ASSERT_EQ(call([](Session &s) { return s.z_reduction(); }), Outcome::ok);
  State state = printer().state();
  ASSERT_EQ(state.fiscal_memory.size(), 1u);
  EXPECT_EQ(state.fiscal_memory[0].date, "2024-03-10");
  EXPECT_EQ(call([](Session &s) { return s.open_coupon(); }), Outcome::ok);
  EXPECT_EQ(printer().state().day, "2024-03-11");
}

TEST_F(DayTest, AReductionWithNoMovementIsRecordedUnderToday) {
  set_date(2024, 3, 10);
  ASSERT_EQ(call([](Session &s) { return s.z_reduction(); }), Outcome::ok);
  State state = printer().state();
  ASSERT_EQ(state.fiscal_memory.size(), 1u);
  const Reduction &z = state.fiscal_memory[0];
  EXPECT_EQ(z.date, "2024-03-10");
  EXPECT_EQ(z.crz, 1u);
  EXPECT_EQ(z.coo, 1u);
  EXPECT_EQ(z.gross, 0);
  EXPECT_EQ(state.last_reduction_day, "2024-03-10");
}

TEST_F(DayTest, EveryDocumentTakesACooAndItsOwnCounter) {
  set_date(2024, 3, 10);
  Session s = printer().begin("test");
  ASSERT_EQ(s.open_day(1000, 1), Outcome::ok);  // COO 1, GNF 1
  ASSERT_EQ(s.open_coupon(), Outcome::ok);      // COO 2, CCF 1
  ASSERT_EQ(s.sell(item("T01", 1000, 5000)), Outcome::ok);
  ASSERT_EQ(s.start_closing(0), Outcome::ok);
  ASSERT_EQ(s.pay(2, 500), Outcome::ok);
  ASSERT_EQ(s.close_coupon(""), Outcome::ok);
  ASSERT_EQ(s.open_voucher(2, 500, 2), Outcome::ok);  // COO 3, GNF 2, CCDC 1
  ASSERT_EQ(s.print_line("VIA CLIENTE"), Outcome::ok);
  ASSERT_EQ(s.close_voucher(), Outcome::ok);
  ASSERT_EQ(s.open_report("FECHAMENTO"), Outcome::ok);  // COO 4, GNF 3, GRG 1
  ASSERT_EQ(s.close_report(), Outcome::ok);
  ASSERT_EQ(s.x_reading(), Outcome::ok);          // COO 5, GNF 4
  ASSERT_EQ(s.z_reduction(), Outcome::ok);        // COO 6, CRZ 1
  ASSERT_EQ(s.memory_by_crz(1, 1), Outcome::ok);  // COO 7, GNF 5
  const State &st = s.state();
  EXPECT_EQ(std::vector<std::uint32_t>({st.coo, st.ccf, st.gnf, st.ccdc, st.grg, st.crz, st.cro}),
            std::vector<std::uint32_t>({7, 1, 5, 1, 1, 1, 1}));
  EXPECT_EQ(st.fiscal_memory[0].coo, 6u);
  EXPECT_EQ(st.fiscal_memory[0].per_rate, (std::vector<std::pair<std::string, Cents>>{{"T01", 500}}));
}

TEST_F(DayTest, DaylightSavingMovesTheClockAnHourBetweenDocuments) {
  set_date(2024, 3, 10);
  Session s = printer().begin("test");
  std::int64_t noon = from_civil({2024, 3, 10, 12, 0, 0});
  EXPECT_NEAR(static_cast<double>(s.now()), static_cast<double>(noon), 5);
  ASSERT_EQ(s.set_daylight_saving(true), Outcome::ok);
  EXPECT_NEAR(static_cast<double>(s.now()), static_cast<double>(noon + 3600), 5);
  ASSERT_EQ(s.open_coupon(), Outcome::ok);
  EXPECT_EQ(s.set_daylight_saving(false), Outcome::coupon_open);
  EXPECT_TRUE(s.state().daylight_saving);
}

TEST_F(DayTest, FeedCutAndSpacingEndThePaper) {
  set_date(2024, 3, 10);
  Session s = printer().begin("test");
  ASSERT_EQ(s.toggle_cut_next(), Outcome::ok);
  ASSERT_EQ(s.set_lines_between_documents(1), Outcome::ok);
  ASSERT_EQ(s.x_reading(), Outcome::ok);
  ASSERT_EQ(s.feed(2), Outcome::ok);
  ASSERT_EQ(s.cut(), Outcome::ok);
  ASSERT_EQ(s.open_drawer(), Outcome::ok);
  std::vector<std::string> lines = printer().tape().back().lines;
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
            (std::vector<std::string>{lines[lines.size() - 5], "", "", "", lines.back()}));
  EXPECT_NE(lines[lines.size() - 6].find("FAB:"), std::string::npos);
  EXPECT_NE(lines[lines.size() - 5].find("NAO E DOCUMENTO FISCAL"), std::string::npos);
  EXPECT_NE(lines.back().find("corte"), std::string::npos);
  EXPECT_EQ(s.state().drawer_openings, 1u);
  EXPECT_EQ(s.state().coo, 1u);
}

}  // namespace
}  // namespace ksim::testing
