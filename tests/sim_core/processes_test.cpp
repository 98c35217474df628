// Two processes on one printer, and a process killed in the middle of a day.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "core_fixture.h"

namespace ksim::testing {
namespace {

using ProcessesTest = CoreTest;

// Whole coupons, each in one call, from a child process.
pid_t sell_coupons(int count) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    Session s = Printer::of("core_test").begin("child");
    ok = ok && s.open_coupon() == Outcome::ok && s.sell(item("T01", 1000, 1000)) == Outcome::ok &&
         s.start_closing(0) == Outcome::ok && s.pay(1, 100) == Outcome::ok && s.close_coupon("") == Outcome::ok;
  }
  _exit(ok ? 0 : 1);
}

TEST_F(ProcessesTest, TwoProcessesShareOnePrinterCommandByCommand) {
  set_date(2024, 3, 10);
  pid_t a = sell_coupons(15), b = sell_coupons(15);
  int status_a = 0, status_b = 0;
  waitpid(a, &status_a, 0);
  waitpid(b, &status_b, 0);
  EXPECT_EQ(status_a, 0);
  EXPECT_EQ(status_b, 0);
  State state = printer().state();
  EXPECT_EQ(state.ccf, 30u);
  EXPECT_EQ(state.grand_total, 3000);
  std::vector<Page> tape = printer().tape();
  ASSERT_EQ(tape.size(), 30u);
  for (std::uint32_t i = 0; i < 30; ++i) EXPECT_EQ(tape[i].coo, i + 1);
}

// The child sells item after item, telling the parent of each one done;
// the parent kills it mid-day and a fresh load finds every one it was told of.
TEST_F(ProcessesTest, AKilledProcessLosesNoAcknowledgedCommand) {
  set_date(2024, 3, 10);
  ASSERT_EQ(call([](Session &s) { return s.open_coupon(); }), Outcome::ok);
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  pid_t child = fork();
  if (child == 0) {
    close(pipe_fds[0]);
    for (int i = 1;; ++i) {
      if (call([i](Session &s) { return s.sell(item("T01", 1000, i)); }) != Outcome::ok) _exit(1);
      if (write(pipe_fds[1], &i, sizeof i) != sizeof i) _exit(1);
    }
  }
  close(pipe_fds[1]);
  int acknowledged = 0;
  while (acknowledged < 200 && read(pipe_fds[0], &acknowledged, sizeof acknowledged) == sizeof acknowledged) {
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(pipe_fds[0]);
  Session s = fresh_load().begin("after");
  ASSERT_FALSE(s.silent());
  const std::vector<Item> &items = s.state().coupon->items;
  ASSERT_GE(items.size(), static_cast<std::size_t>(acknowledged));
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].unit_price, static_cast<Milli>(i + 1));
  EXPECT_EQ(s.sell(item("T01", 1000, 1)), Outcome::ok);
}

}  // namespace
}  // namespace ksim::testing
