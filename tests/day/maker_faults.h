// Pieces the makers' whole-day tests share: a coupon opened with a fault
// injected.
#pragma once

#include <chrono>
#include <ostream>

#include "harness.h"

namespace kalpo::day {

struct FaultCase {
  const char *fault, *value;
  bool once, succeeds;
  const char *message;  // part of one of the notices; empty: any notice
};

inline void PrintTo(const FaultCase &c, std::ostream *out) { *out << c.fault << ' ' << c.value; }

inline std::string fault_name(const ::testing::TestParamInfo<FaultCase> &info) { return info.param.fault; }

class FaultDay : public DayTest {
 protected:
  // Opens a coupon with the fault injected: the result and the notices the
  // case expects, and nothing registered before lost.  The fault is then
  // cleared and a coupon it left open cancelled.
  void open_coupon_with(const char *model, const FaultCase &c) {
    std::string library = library_of(model);
    ksim::State before = state(library);
    take_messages();
    set_fault(library, c.fault, c.value, c.once);
    const char *number = nullptr;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(KALPO_AbreCupom(model, &number, "", "", ""), c.succeeds ? 1 : 0);
    auto took = std::chrono::steady_clock::now() - start;
    std::string shown;
    for (const Message &m : take_messages()) shown += m.text + "|";
    EXPECT_EQ(shown.empty(), c.succeeds) << shown;
    EXPECT_NE(shown.find(c.message), std::string::npos) << shown;
    if (std::string_view(c.fault) == "slow") {
      EXPECT_GE(took, std::chrono::milliseconds(300));
    }
    ksim::State during = state(library);
    EXPECT_EQ(during.grand_total, before.grand_total);
    EXPECT_EQ(during.ccf, before.ccf + (during.open == ksim::Document::coupon ? 1 : 0));
    EXPECT_EQ(during.fiscal_memory, before.fiscal_memory);
    clear_faults(library);
    std::int32_t count = 0;
    if (during.open == ksim::Document::coupon) {
      EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom(model, nullptr, nullptr, &count, &number, &number), 1);
    }
  }
};

}  // namespace kalpo::day
