// The journal: a fresh load rebuilds the state and the tape exactly; a torn
// last record goes; a damaged record elsewhere silences the printer.
#include "core_fixture.h"

#include <filesystem>

namespace ksim::testing {
namespace {

class JournalTest : public CoreTest {
 protected:
  // A day with every kind of document, one call per operation.
  void run_day() {
    set_date(2024, 3, 10);
    const std::vector<Outcome (*)(Session &)> steps = {
        [](Session &s) { return s.open_day(5000, 1); },
        [](Session &s) { return s.open_coupon("123", "NOME\tCOM TAB", "RUA\\1\n2"); },
        [](Session &s) { return s.sell(item("T01", 1500, 3333)); },
        [](Session &s) { return s.sell(item("II", 1000, 999)); },
        [](Session &s) { return s.cancel_item(1); },
        [](Session &s) { return s.start_closing(-10); },
        [](Session &s) { return s.pay(2, 5000); },
        [](Session &s) { return s.close_coupon("VOLTE\r\nSEMPRE"); },
        [](Session &s) { return s.open_voucher(2, 989); },
        [](Session &s) { return s.print_line("VIA UNICA"); },
        [](Session &s) { return s.close_voucher(); },
        [](Session &s) { return s.set_value("maker.port", "COM1"); },
        [](Session &s) { return s.feed(2); },
        [](Session &s) { return s.z_reduction(); },
    };
    for (auto step : steps) ASSERT_EQ(call(step), Outcome::ok);
  }
};

TEST_F(JournalTest, AFreshLoadRebuildsStateAndTape) {
  run_day();
  State live = printer().state();
  std::vector<Page> tape = printer().tape();
  std::string text = file("tape.txt");
  std::filesystem::remove(printer_folder() + "/tape.txt");
  Printer &loaded = fresh_load();
  EXPECT_EQ(loaded.state(), live);
  EXPECT_EQ(loaded.tape(), tape);
  EXPECT_EQ(file("tape.txt"), text);  // rebuilt from the journal
  EXPECT_EQ(loaded.tape(2).size(), 2u);
  EXPECT_EQ(loaded.begin("x").value("maker.port"), "COM1");
}

// A last record shorter than it says was never acknowledged: it goes.  One
// that lost only its line end was: it stays, its line end restored.
TEST_F(JournalTest, ATornLastRecordIsDroppedAndACompleteOneKept) {
  run_day();
  State live = printer().state();
  std::string journal = file("journal");
  std::string last = journal.substr(journal.rfind('\n', journal.size() - 2) + 1);
  for (std::size_t cut : {std::size_t(2), std::size_t(9), std::size_t(30), last.size() - 5}) {
    write_file("journal", journal + last.substr(0, last.size() - cut));
    EXPECT_EQ(fresh_load().state(), live) << cut;
    EXPECT_EQ(file("journal"), journal) << cut;
  }
  write_file("journal", journal.substr(0, journal.size() - 1));
  EXPECT_EQ(fresh_load().state(), live);
  EXPECT_EQ(file("journal"), journal);
  set_date(2024, 3, 11);
  EXPECT_EQ(call([](Session &s) { return s.x_reading(); }), Outcome::ok);
}

TEST_F(JournalTest, ADamagedRecordSilencesThePrinterAndSaysWhere) {
  run_day();
  std::string journal = file("journal");
  std::size_t third = journal.find('\n', journal.find('\n') + 1) + 1;
  struct Case {
    const char *name;
    std::string text;
  };
  std::string flipped = journal, dropped = journal, empty_line = journal;
  flipped[third + 20] ^= 1;
  dropped.erase(third + 12, 1);
  empty_line.insert(third, "\n");
  for (const Case &c : {Case{"flipped", flipped}, Case{"shorter", dropped}, Case{"empty", empty_line}}) {
    write_file("journal", c.text);
    std::filesystem::remove(printer_folder() + "/checkpoint");  // read from the start
    Printer &p = fresh_load();
    Session s = p.begin("test");
    EXPECT_TRUE(s.silent()) << c.name;
    EXPECT_EQ(s.x_reading(), Outcome::no_communication) << c.name;
    EXPECT_NE(file("damaged.txt").find("record 3"), std::string::npos) << c.name << ": " << file("damaged.txt");
    EXPECT_EQ(file("journal"), c.text) << c.name;  // never reset
  }
}

TEST_F(JournalTest, ADeletedFolderIsANewPrinter) {
  run_day();
  std::filesystem::remove_all(printer_folder());
  EXPECT_EQ(printer().state(), printer().state());
  EXPECT_EQ(printer().state().coo, 0u);
  EXPECT_TRUE(printer().tape().empty());
}

}  // namespace
}  // namespace ksim::testing
