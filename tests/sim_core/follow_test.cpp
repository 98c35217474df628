// Following the paper: each poll gives exactly the pages printed since the
// one before, and looks at the printer only when its paper changed.
#include <filesystem>
#include <functional>
#include <future>
#include <thread>

#include "core_fixture.h"

namespace ksim::testing {
namespace {

using FollowTest = CoreTest;

TEST_F(FollowTest, AFollowerSeesEachNewPageOnce) {
  TapeFollower follower("core_test");
  const auto run = [&](Outcome (*operation)(Session &)) { ASSERT_EQ(call(operation), Outcome::ok); };
  struct Step {
    const char *what;
    std::function<void()> act;
    bool afresh = false;  // a new printer in the folder's place
  };
  const std::vector<Step> steps = {
      {"no printer yet", [] {}},
      {"the day opened", [&] { run([](Session &s) { return s.open_day(); }); }},
      {"nothing printed", [] {}},
      {"lines fed after the last page", [&] { run([](Session &s) { return s.feed(3); }); }},
      {"a coupon",
       [&] {
         run([](Session &s) { return s.open_coupon(); });
         run([](Session &s) { return s.sell(item("T01", 1000, 250)); });
         run([](Session &s) { return s.start_closing(0); });
         run([](Session &s) { return s.pay(1, 250); });
         run([](Session &s) { return s.close_coupon("COO:000777\nTOTAL R$ 999,99"); });
       }},
      {"a reading, from a process that loaded the printer afresh",
       [&] {
         fresh_load();
         run([](Session &s) { return s.x_reading(); });
       }},
      {"a new printer in the folder's place",
       [&] {
         start_afresh();
         run([](Session &s) { return s.open_day(); });
       },
       true},
  };
  std::size_t shown = 0;
  for (const Step &step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    TapeFollower::Poll polled = follower.poll(1000);
    EXPECT_NE(polled.look.kind, Inspection::Kind::busy);
    const std::vector<Page> tape = printer().tape();
    if (step.afresh) shown = 0;
    ASSERT_LE(shown, tape.size());
    EXPECT_EQ(polled.pages, std::vector<Page>(tape.begin() + static_cast<std::ptrdiff_t>(shown), tape.end()));
    shown = tape.size();
    EXPECT_TRUE(follower.poll(1000).pages.empty());
  }
}

// Skipped pages are not shown; an unchanged paper is not looked at (a
// printer held by a call answers no busy), a changed one is, and its new
// page comes once the call is over.
TEST_F(FollowTest, AFollowerLooksOnlyWhenThePaperChanged) {
  ASSERT_EQ(call([](Session &s) { return s.open_day(); }), Outcome::ok);
  TapeFollower follower("core_test");
  {
    Inspection look = printer().inspect(1000);
    ASSERT_TRUE(look.session);
    follower.skip_printed();
  }
  std::promise<void> held, go_on, printed, release;
  std::thread holder([&] {
    Session session = printer().begin("test");
    held.set_value();
    go_on.get_future().wait();
    EXPECT_EQ(session.x_reading(), Outcome::ok);
    printed.set_value();
    release.get_future().wait();
  });
  held.get_future().wait();
  const TapeFollower::Poll unchanged = follower.poll(0);
  EXPECT_EQ(unchanged.look.kind, Inspection::Kind::sound);
  EXPECT_TRUE(unchanged.pages.empty());
  go_on.set_value();
  printed.get_future().wait();
  EXPECT_EQ(follower.poll(0).look.kind, Inspection::Kind::busy);
  release.set_value();
  holder.join();
  const TapeFollower::Poll changed = follower.poll(1000);
  ASSERT_EQ(changed.pages.size(), 1u);
  EXPECT_EQ(changed.pages[0].title, "LEITURA X");
}

}  // namespace
}  // namespace ksim::testing
