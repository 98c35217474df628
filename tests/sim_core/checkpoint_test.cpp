// Checkpoints: a printer opened afresh starts from the last one and finds
// the state a replay from the start gives; a checkpoint damaged or cut by a
// kill is not trusted and loses nothing.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core_fixture.h"

namespace ksim::testing {
namespace {

class CheckpointTest : public CoreTest {
 protected:
  // Days of coupons, a voucher, a report and a reduction; then a coupon
  // left open, so that records follow the last checkpoint.
  void run_days(int days, bool leave_open = true) {
    for (int day = 1; day <= days; ++day) {
      set_date(2024, 3, day);
      const std::vector<Outcome (*)(Session &)> steps = {
          [](Session &s) { return s.open_coupon("123", "NOME", "RUA"); },
          [](Session &s) { return s.sell(item("T01", 1500, 3333, 10)); },
          [](Session &s) { return s.sell(item("II", 1000, 999)); },
          [](Session &s) {
            Item shown = item("T02", 2000, 1250);
            shown.quantity_decimals = 0, shown.price_decimals = 2;
            return s.sell(shown);
          },
          [](Session &s) { return s.cancel_item(2); },
          [](Session &s) { return s.start_closing(5); },
          [](Session &s) { return s.pay(2, 5000); },
          [](Session &s) { return s.close_coupon("OBRIGADO"); },
          [](Session &s) { return s.open_voucher(2, 100); },
          [](Session &s) { return s.close_voucher(); },
          [](Session &s) { return s.open_report("CAIXA"); },
          [](Session &s) { return s.print_line("LINHA 1\nLINHA 2"); },
          [](Session &s) { return s.close_report(); },
          [](Session &s) { return s.set_value("maker.port", "COM2"); },
          [](Session &s) { return s.z_reduction(); },
      };
      for (auto step : steps) ASSERT_EQ(call(step), Outcome::ok) << day;
    }
    if (!leave_open) return;
    set_date(2024, 3, days + 1);
    ASSERT_EQ(call([](Session &s) { return s.open_coupon(); }), Outcome::ok);
    ASSERT_EQ(call([](Session &s) { return s.sell(item("T02", 2000, 1250)); }), Outcome::ok);
  }
  void remove_checkpoints() {
    for (const char *name : {"/checkpoint", "/checkpoint.old"}) std::filesystem::remove(printer_folder() + name);
  }
};

TEST_F(CheckpointTest, ACheckpointGivesTheStateAReplayFromTheStartGives) {
  run_days(3);
  State live = printer().state();
  std::vector<Page> tape = printer().tape();
  ASSERT_FALSE(file("checkpoint").empty());
  ASSERT_FALSE(file("checkpoint.old").empty());
  EXPECT_EQ(fresh_load().state(), live);
  remove_checkpoints();
  EXPECT_EQ(fresh_load().state(), live);
  EXPECT_EQ(printer().tape(), tape);
  EXPECT_FALSE(file("checkpoint").empty());  // written again by the replay
  EXPECT_EQ(fresh_load().state(), live);
  EXPECT_EQ(fresh_load().begin("x").details("2024-03-02").size(), 1u);
  std::string reductions = file("reductions");
  reductions[reductions.size() / 2] ^= 1;
  write_file("reductions", reductions);
  Printer &reloaded = fresh_load();
  EXPECT_EQ(reloaded.state(), live);  // the fiscal memory from the journal, read without the lock
  EXPECT_EQ(file("reductions"), reductions) << "the lazy reader only reads";
  reloaded.begin("x");  // and the next call says so
  EXPECT_NE(file("notice.txt").find("reductions"), std::string::npos);
}

// The last coupon's items as the checkpoint and the detail memory hold
// them, down to the decimals their paper shows.
TEST_F(CheckpointTest, ACheckpointAndTheDetailsHoldTheItemsWhole) {
  run_days(1, false);
  const State live = printer().state();
  ASSERT_TRUE(live.coupon);
  EXPECT_EQ(fresh_load().state(), live);
  const std::vector<Detail> details = printer().begin("x").details("2024-03-01");
  ASSERT_EQ(details.size(), 1u);
  EXPECT_EQ(details.front().coupon.items, live.coupon->items);
}

TEST_F(CheckpointTest, ADamagedCheckpointIsNotTrustedAndNothingIsLost) {
  run_days(2);
  State live = printer().state();
  const std::string checkpoint = file("checkpoint"), old = file("checkpoint.old");
  std::string flipped = checkpoint;
  flipped[flipped.size() / 2] ^= 4;
  struct Case {
    const char *name;
    std::string checkpoint, old, temporary;
    bool said;
  };
  const Case cases[] = {
      {"torn by a kill", checkpoint.substr(0, checkpoint.size() / 2), old, "", true},
      {"a bit flipped", flipped, old, "", true},
      {"both damaged", flipped, old.substr(0, 40), "", true},
      {"a temporary left half written", checkpoint, old, checkpoint.substr(0, 100), false},
      {"emptied", "", old, "", true},
  };
  for (const Case &c : cases) {
    write_file("checkpoint", c.checkpoint);
    write_file("checkpoint.old", c.old);
    write_file("checkpoint.new", c.temporary);
    std::filesystem::remove(printer_folder() + "/notice.txt");
    Session s = fresh_load().begin("x");
    EXPECT_FALSE(s.silent()) << c.name;
    EXPECT_EQ(s.state(), live) << c.name;
    EXPECT_EQ(file("notice.txt").find("not trusted") != std::string::npos, c.said) << c.name << file("notice.txt");
  }
}

// A child reduces day after day; killed at some moment, maybe while writing
// a checkpoint, it leaves a printer that opens with every reduction it made.
TEST_F(CheckpointTest, AKillWhileWritingACheckpointLosesNothing) {
  for (int round = 0; round < 4; ++round) {
    std::uint32_t before = printer().state().crz;
    pid_t child = fork();
    if (child == 0) {
      for (int day = 0;; ++day) {
        DateTime date = civil(from_civil({2030, 1, 1, 12, 0, 0}) + 86400LL * (1000 * round + day));
        set_date(date.year, date.month, date.day);
        auto x_reading = [](Session &s) { return s.x_reading(); };
        auto z_reduction = [](Session &s) { return s.z_reduction(); };
        if (call(x_reading) == Outcome::reduction_pending) call(z_reduction);  // the day the last kill left
        if (call(x_reading) != Outcome::ok || call(z_reduction) != Outcome::ok) _exit(1);
      }
    }
    ASSERT_GT(child, 0);
    for (int wait = 0; wait < 500 && printer().state().crz <= before + round; ++wait) usleep(10000);
    usleep(3000 * round);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << round << " " << status;
    State loaded = fresh_load().state();
    ASSERT_EQ(file("damaged.txt"), "") << round;
    EXPECT_GT(loaded.crz, before);
    remove_checkpoints();
    EXPECT_EQ(fresh_load().state(), loaded) << round;
  }
}

}  // namespace
}  // namespace ksim::testing
