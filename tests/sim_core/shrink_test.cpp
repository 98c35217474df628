// A fiscal memory never shrinks: a journal holding less than the printer
// acknowledged is refused, whether a new process or the running one finds
// it; and a coupon closed is one record, its detail never lost.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/internal.h"
#include "core_fixture.h"

namespace ksim::testing {
namespace {

// The journal without its last `count` records.
std::string without(const std::string &journal, std::size_t count) {
  std::size_t at = journal.size() - 1;
  for (std::size_t i = 0; i < count; ++i) at = journal.rfind('\n', at - 1);
  return journal.substr(0, at + 1);
}

class ShrinkTest : public CoreTest {
 protected:
  // A day reduced (its checkpoint written), then a coupon of the next day.
  void work() {
    set_date(2024, 3, 10);
    ASSERT_EQ(call([](Session &s) { return s.x_reading(); }), Outcome::ok);
    ASSERT_EQ(call([](Session &s) { return s.z_reduction(); }), Outcome::ok);
    set_date(2024, 3, 11);
    sell_coupon();
  }
  void sell_coupon() {
    Session s = printer().begin("test");
    ASSERT_EQ(s.open_coupon(), Outcome::ok);
    ASSERT_EQ(s.sell(item("T01", 1000, 1000)), Outcome::ok);
    ASSERT_EQ(s.start_closing(0), Outcome::ok);
    ASSERT_EQ(s.pay(1, 100), Outcome::ok);
    ASSERT_EQ(s.close_coupon(""), Outcome::ok);
  }
};

TEST_F(ShrinkTest, AJournalHoldingLessThanAcknowledgedIsRefused) {
  struct Case {
    const char *name;
    bool in_process;  // found by the process that sold, else by a new one
    std::optional<std::string> (*damage)(const std::string &journal);  // nullopt: deleted
  };
  const Case cases[] = {
      {"last record dropped", false, [](const std::string &j) -> std::optional<std::string> { return without(j, 1); }},
      {"cut back to before the reduction", false,
       [](const std::string &j) -> std::optional<std::string> { return without(j, 7); }},
      {"emptied", false, [](const std::string &) -> std::optional<std::string> { return ""; }},
      {"deleted", false, [](const std::string &) -> std::optional<std::string> { return std::nullopt; }},
      {"deleted while selling", true, [](const std::string &) -> std::optional<std::string> { return std::nullopt; }},
      {"cut while selling", true, [](const std::string &j) -> std::optional<std::string> { return without(j, 2); }},
      {"last line end damaged", false,
       [](const std::string &j) -> std::optional<std::string> { return j.substr(0, j.size() - 1) + "x"; }},
  };
  for (const Case &c : cases) {
    start_afresh();
    work();
    std::optional<std::string> left = c.damage(file("journal"));
    if (left)
      write_file("journal", *left);
    else
      std::filesystem::remove(printer_folder() + "/journal");
    Session s = (c.in_process ? printer() : fresh_load()).begin("test");
    EXPECT_TRUE(s.silent()) << c.name;
    EXPECT_EQ(s.open_coupon(), Outcome::no_communication) << c.name;
    EXPECT_FALSE(file("damaged.txt").empty()) << c.name;
    EXPECT_EQ(file("journal"), left.value_or("")) << c.name;  // left as it is
  }
}

// A child sells whole coupons until it is killed; a new process finds the
// detail of every coupon the journal holds closed.
TEST_F(ShrinkTest, ACouponClosedIsOneRecordAndItsDetailIsNeverLost) {
  set_date(2024, 3, 10);
  auto records = [&] {
    std::string journal = file("journal");
    return std::count(journal.begin(), journal.end(), '\n');
  };
  auto before = records();
  sell_coupon();
  EXPECT_EQ(records() - before, 5);  // open, sell, total, pay, close
  for (int round = 0; round < 4; ++round) {
    pid_t child = fork();
    if (child == 0) {
      for (;;) sell_coupon();
    }
    ASSERT_GT(child, 0);
    usleep(10000 + 7000 * round);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    Session s = fresh_load().begin("after");
    ASSERT_FALSE(s.silent()) << file("damaged.txt");
    std::vector<Detail> details = s.details("2024-03-10");
    std::uint32_t closed = s.state().ccf - (s.state().open == Document::coupon ? 1 : 0);
    ASSERT_EQ(details.size(), closed) << round;
    for (const Detail &detail : details)  // the coupon the last round cancelled had no item yet
      EXPECT_EQ(detail.coupon.items.size(), detail.coupon.cancelled ? detail.coupon.items.size() : 1u);
    if (s.state().open == Document::coupon) {
      EXPECT_EQ(s.cancel_coupon(), Outcome::ok);
    }
  }
}

}  // namespace
}  // namespace ksim::testing

namespace ksim::testing {
namespace {

// A journal swapped for an older one at least as long (padded with settings,
// or holding another coupon in place of the last) is judged by its counters
// and its records, not its length: refused by the process that held the
// printer and by a new one.  A mark of the older kind (counters alone) is
// still read.
TEST_F(ShrinkTest, AJournalSwappedForAnOlderOneAtLeastAsLongIsRefused) {
  namespace fs = std::filesystem;
  const std::int64_t when = from_civil({2024, 3, 11, 12, 0, 1});
  struct Case {
    const char *name;
    bool in_process;
    bool another_coupon;  // else padded with settings
  };
  for (const Case c :
       {Case{"padded, in process", true, false}, Case{"padded, new process", false, false},
        Case{"another coupon, in process", true, true}, Case{"another coupon, new process", false, true}}) {
    SCOPED_TRACE(c.name);
    start_afresh();
    work();
    std::string other = file("journal");
    sell_coupon();
    const std::string journal = file("journal");
    if (c.another_coupon) {
      other += encode_record({"test", "open_coupon", when, {"123.456.789-09", "OUTRO CLIENTE", ""}});
      other += encode_record({"test", "sell", when, {"789", "ITEM", "UN", "T01", "1000", "1000", "0"}});
      other += encode_record({"test", "start_closing", when, {"0"}});
      other += encode_record({"test", "pay", when, {"1", "100"}});
      other += encode_record({"test", "close_coupon", when, {""}});
    }
    while (other.size() < journal.size()) other += encode_record({"test", "set_value", when, {"pad", "x"}});
    write_file("journal.swap", other);
    fs::rename(printer_folder() + "/journal.swap", printer_folder() + "/journal");
    Session s = (c.in_process ? printer() : fresh_load()).begin("test");
    EXPECT_TRUE(s.silent());
    EXPECT_FALSE(file("damaged.txt").empty());
    EXPECT_EQ(file("journal"), other);  // left as it is
  }
  start_afresh();
  work();
  const State state = printer().state();
  for (const std::uint32_t ahead : {0u, 1u}) {
    std::ofstream(folder_ + "/core_test.counters")
        << encode_fields({"kalpo counters 1", std::to_string(state.crz), std::to_string(state.coo + ahead),
                          std::to_string(state.grand_total)});
    EXPECT_EQ(fresh_load().begin("test").silent(), ahead > 0) << ahead;
  }
}

}  // namespace
}  // namespace ksim::testing

namespace ksim::testing {
namespace {

// A printer's folder copied back from a backup is refused by the mark in the
// data folder; the copy kept in the user's state folder catches what that one
// cannot: the whole data folder put back (printers and marks together), or a
// printer renamed away with its mark removed.  Each until accepted.
TEST_F(ShrinkTest, TheMarkKeptOutsideTheDataFolderCatchesARestoredDataFolder) {
  namespace fs = std::filesystem;
  struct Case {
    const char *name;
    std::function<void()> undo;  // after a backup of the data folder and one more coupon
    const char *caught_by;       // the mark the reason names; none: not refused
  };
  const std::string backup = state_ + "/backup";
  const std::string elsewhere = state_ + "/elsewhere";
  const Case cases[] = {
      {"the printer's folder restored",
       [&] {
         fs::remove_all(printer_folder());
         fs::copy(backup + "/core_test", printer_folder(), fs::copy_options::recursive);
       },
       "(core_test.counters)"},
      {"the whole data folder restored",
       [&] {
         fs::remove_all(printer_folder());
         fs::remove(folder_ + "/core_test.counters");
         fs::copy(backup, folder_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
       },
       "/kalpo/"},
      {"the folder renamed away and its mark removed",
       [&] {
         fs::rename(printer_folder(), folder_ + "/away");
         fs::remove(folder_ + "/core_test.counters");
       },
       "/kalpo/"},
      {"a fresh data folder elsewhere",
       [&] {
         fs::create_directories(elsewhere);
         fs::permissions(elsewhere, fs::perms::owner_all);
         setenv("KALPO_SIM_DIR", elsewhere.c_str(), 1);
       },
       nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    setenv("KALPO_SIM_DIR", folder_.c_str(), 1);
    start_afresh();
    fs::remove_all(folder_ + "/away");
    fs::remove_all(backup);
    work();
    fs::copy(folder_, backup, fs::copy_options::recursive);
    sell_coupon();
    c.undo();
    // A new process finds it (in the data folder the case left it in).
    Printer &found = std::getenv("KALPO_SIM_DIR") == folder_ ? fresh_load() : printer();
    EXPECT_EQ(found.begin("test").silent(), c.caught_by != nullptr);  // the owner's next call
    const Inspection look = found.inspect(1000);
    EXPECT_EQ(look.kind, c.caught_by ? Inspection::Kind::damaged : Inspection::Kind::sound) << look.reason;
    if (!c.caught_by) continue;
    EXPECT_NE(look.reason.find(c.caught_by), std::string::npos) << look.reason;
    EXPECT_NE(look.reason.find("kalpo printer restore"), std::string::npos) << look.reason;
    const CheckReport report = found.check(1000);
    EXPECT_TRUE(std::ranges::any_of(report.faults, [](const std::string &fault) {
      return fault.starts_with("its counters") && fault.find("behind the highest it issued") != std::string::npos;
    })) << ::testing::PrintToString(report.faults);
    // Accepted by the operator: both copies rewritten, and sound from then on.
    EXPECT_EQ(found.accept_restore(1000).kind, Inspection::Kind::sound);
    EXPECT_NE(file("notice.txt").find("restore accepted"), std::string::npos);
    EXPECT_EQ(fresh_load().inspect(1000).kind, Inspection::Kind::sound);
    fs::remove(folder_ + "/core_test.counters");
    EXPECT_EQ(fresh_load().inspect(1000).kind, Inspection::Kind::sound);
  }
}

// A printer refused is looked at again at the next call of the same process:
// refused while the cause stays, sound once it is gone, but never below what
// the process had applied.
TEST_F(ShrinkTest, ARefusalIsLiftedWhenItsCauseIsGone) {
  namespace fs = std::filesystem;
  struct Case {
    const char *name;
    std::function<void()> spoil, mend;  // mend empty: the cause stays
    bool reopened = false;              // found by a process that opens the printer after the spoiling
  };
  std::string journal;
  const auto drop_last = [&] {
    journal = file("journal");
    write_file("journal", without(journal, 1));
  };
  const Case cases[] = {
      {"a FIFO in the faults file's place", [&] { ASSERT_EQ(mkfifo((printer_folder() + "/faults").c_str(), 0600), 0); },
       [&] { fs::remove(printer_folder() + "/faults"); }},
      {"a counters mark ahead of the printer",
       [&] {
         const State state = printer().state();
         std::ofstream(folder_ + "/core_test.counters")
             << encode_fields({"kalpo counters 1", std::to_string(state.crz), std::to_string(state.coo + 1),
                               std::to_string(state.grand_total)});
       },
       [&] { fs::remove(folder_ + "/core_test.counters"); }, true},
      {"the journal's last record dropped, then put back", drop_last, [&] { write_file("journal", journal); }},
      {"the journal's last record dropped for good", drop_last, nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    start_afresh();
    Printer *found = &fresh_load();
    work();
    c.spoil();
    if (c.reopened) found = &fresh_load();
    Printer &p = *found;
    EXPECT_TRUE(p.begin("test").silent());
    EXPECT_TRUE(p.begin("test").silent());  // looked at again: the cause is still there
    if (c.mend) c.mend();
    EXPECT_EQ(p.begin("test").silent(), !c.mend);
    EXPECT_EQ(p.inspect(1000).kind, c.mend ? Inspection::Kind::sound : Inspection::Kind::damaged);
    EXPECT_EQ(file("damaged.txt").empty(), static_cast<bool>(c.mend)) << file("damaged.txt");
  }
}

}  // namespace
}  // namespace ksim::testing
