// Faults from the control file: which calls they touch, one-shot or lasting.
#include "core_fixture.h"

namespace ksim::testing {
namespace {

using FaultsTest = CoreTest;

struct Step {
  Call call;
  bool printing;  // an X reading, else the drawer
  Outcome expected;
};

struct Case {
  const char *line;
  std::vector<Step> steps;
  std::string left;  // the faults file afterwards
};

TEST_F(FaultsTest, EachFaultTouchesItsCallsOnceOrForGood) {
  const Case cases[] = {
      {"once off", {{Call::query, false, Outcome::no_communication}, {Call::command, true, Outcome::ok}}, ""},
      {"off", {{Call::query, false, Outcome::no_communication}, {Call::start, true, Outcome::no_communication}}, "off\n"},
      {"once paper_end",
       {{Call::command, false, Outcome::ok}, {Call::command, true, Outcome::paper_end}, {Call::command, true, Outcome::ok}},
       ""},
      {"paper_end", {{Call::command, true, Outcome::paper_end}, {Call::command, true, Outcome::paper_end}}, "paper_end\n"},
      {"once refuse 42",
       {{Call::query, true, Outcome::ok}, {Call::command, false, Outcome::refused}, {Call::command, false, Outcome::ok}},
       ""},
      {"refuse 42", {{Call::command, true, Outcome::refused}, {Call::command, false, Outcome::refused}}, "refuse 42\n"},
      {"once paper_near_end", {{Call::command, true, Outcome::ok}}, ""},
      {"once driver_start", {{Call::command, true, Outcome::ok}, {Call::query, true, Outcome::ok}}, "once driver_start\n"},
      {"# a comment\nslow 250", {{Call::query, false, Outcome::ok}}, "# a comment\nslow 250\n"},
  };
  for (const Case &c : cases) {
    set_date(2024, 3, 10);
    write_file("faults", std::string(c.line) + "\n");
    for (const Step &step : c.steps) {
      Session s = printer().begin("test", step.call);
      EXPECT_EQ(step.printing ? s.x_reading() : s.open_drawer(), step.expected) << c.line;
    }
    EXPECT_EQ(file("faults"), c.left) << c.line;
    printer().clear_faults();
  }
}

TEST_F(FaultsTest, TheMakerLibrarySeesTheFaultsItApplies) {
  printer().set_fault("slow", "250", false);
  printer().set_fault("unreadable", "", true);
  printer().set_fault("driver_start", "", true);
  printer().set_fault("paper_near_end", "", false);
  EXPECT_EQ(file("faults"), "slow 250\nonce unreadable\nonce driver_start\npaper_near_end\n");
  {
    Session s = printer().begin("open", Call::start);
    EXPECT_EQ(s.faults().slow_ms, 250);
    EXPECT_TRUE(s.faults().unreadable);
    EXPECT_TRUE(s.faults().driver_start_refused);
    EXPECT_TRUE(s.faults().paper_near_end);
    EXPECT_FALSE(s.silent());
  }
  Session s = printer().begin("next", Call::start);
  EXPECT_FALSE(s.faults().unreadable);
  EXPECT_FALSE(s.faults().driver_start_refused);
  EXPECT_EQ(printer().faults().slow_ms, 250);
}

}  // namespace
}  // namespace ksim::testing
