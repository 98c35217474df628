// SWEDA7000 through CONVECF: the whole day, the day with each fault, and
// the fourth status byte.
#include <dlfcn.h>

#include "bematech_day.h"

namespace kalpo::day {
namespace {

class SwedaDay : public BematechDay {};

TEST_F(SwedaDay, AWholeDayWithoutAMessage) { run_day("SWEDA7000"); }

class SwedaFaultDay : public BematechDay, public ::testing::WithParamInterface<FaultRun> {};

TEST_P(SwedaFaultDay, TheFaultShowsTheMakersMessageAndLosesNothing) { run_day_with("SWEDA7000", GetParam()); }

INSTANTIATE_TEST_SUITE_P(Faults, SwedaFaultDay, ::testing::ValuesIn(fault_runs()),
                         [](const auto &info) { return fault_name(info.param); });

// ST3 numbers the refusal; the first status read takes the outcome, later
// ones and the one after the port's closing report the state.
TEST_F(SwedaDay, TheFourthByteAndThePortClosing) {
  using Status = std::int32_t (*)(std::int32_t *, std::int32_t *, std::int32_t *, std::int32_t *);
  using Sell = std::int32_t (*)(const char *, const char *, const char *, const char *, const char *, std::int32_t,
                                const char *, const char *, const char *);
  auto status = reinterpret_cast<Status>(dlsym(maker_library("libconvecf.so"), "ECF_RetornoImpressoraMFD"));
  auto sell_call = reinterpret_cast<Sell>(dlsym(maker_library("libconvecf.so"), "ECF_VendeItem"));
  ASSERT_TRUE(status && sell_call);
  model_ = "SWEDA7000";
  set_clock(lib(), 2026, 12, 7, 10, 0);
  open_coupon();
  auto unprogrammed_sale = [&] { EXPECT_EQ(sell_call("1", "PAO", "09", "F", "1000", 3, "1000", nullptr, "0000"), 1); };
  struct Read {
    const char *after;
    std::function<void()> action;
    std::int32_t st1, st2, st3;
  } reads[] = {
      {"a sale at an unprogrammed rate", unprogrammed_sale, 0, 17, 6},
      {"a second read", [] {}, 2, 0, 0},
      {"the port's closing", [&] { unprogrammed_sale(), KALPO_FechaDriver("SWEDA7000"); }, 2, 0, 0},
  };
  for (const Read &read : reads) {
    read.action();
    std::int32_t ack = 0, st1 = -1, st2 = -1, st3 = -1;
    EXPECT_EQ(status(&ack, &st1, &st2, &st3), 1) << read.after;
    EXPECT_EQ(ack, 6) << read.after;
    EXPECT_EQ(st1, read.st1) << read.after;
    EXPECT_EQ(st2, read.st2) << read.after;
    EXPECT_EQ(st3, read.st3) << read.after;
  }
  EXPECT_TRUE(take_messages().empty());
}

}  // namespace
}  // namespace kalpo::day
