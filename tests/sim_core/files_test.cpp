// The printer's files are its own: links and special files planted in its
// folder are refused unread, files are owner-only, and a disk that will not
// take a record fails the command and says why.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core_fixture.h"

namespace ksim::testing {
namespace {

namespace fs = std::filesystem;
using FilesTest = CoreTest;

TEST_F(FilesTest, PlantedLinksAndSpecialFilesAreRefusedUnread) {
  struct Case {
    const char *name;
    void (*plant)(const std::string &where, const std::string &outside);
  };
  const Case cases[] = {
      {"tape.txt", [](const std::string &w, const std::string &o) { fs::create_symlink(o, w); }},
      {"journal", [](const std::string &w, const std::string &) { fs::create_symlink("/dev/zero", w); }},
      {"faults", [](const std::string &w, const std::string &) { mkfifo(w.c_str(), 0600); }},
      {"journal", [](const std::string &w, const std::string &) { mkfifo(w.c_str(), 0600); }},
      {"lock", [](const std::string &w, const std::string &o) { fs::create_symlink(o, w); }},
  };
  const std::string outside = folder_ + "/outside.txt";
  for (const Case &c : cases) {
    fs::remove_all(printer_folder());
    set_date(2024, 3, 10);
    std::ofstream(outside) << "not the printer's";
    std::string where = printer_folder() + "/" + c.name;
    std::error_code ignored;
    fs::remove(where, ignored);
    c.plant(where, outside);
    Session s = fresh_load().begin("test");
    EXPECT_TRUE(s.silent()) << c.name;
    EXPECT_EQ(s.x_reading(), Outcome::no_communication) << c.name;
    EXPECT_NE(file("damaged.txt").find(c.name), std::string::npos) << c.name << ": " << file("damaged.txt");
    std::ifstream in(outside);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not the printer's") << c.name;
  }
}

TEST_F(FilesTest, FilesAndFolderAreOwnerOnly) {
  set_date(2024, 3, 10);
  ASSERT_EQ(call([](Session &s) { return s.z_reduction(); }), Outcome::ok);
  printer().set_fault("slow", "1", true);
  for (const char *name : {"", "/journal", "/tape.txt", "/lock", "/faults", "/checkpoint", "/details"}) {
    struct stat st {};
    ASSERT_EQ(stat((printer_folder() + name).c_str(), &st), 0) << name;
    EXPECT_EQ(st.st_mode & 077, 0u) << name;
  }
}

TEST_F(FilesTest, AFolderOfAnotherUserIsNotUsed) {
  if (geteuid() != 0) GTEST_SKIP() << "needs to give a folder away";
  set_date(2024, 3, 10);
  ASSERT_EQ(chown(printer_folder().c_str(), 12345, 12345), 0);
  EXPECT_TRUE(fresh_load().begin("test").silent());
}

// The data folder above the printer's: others who may write in it could
// rename the printer away; a sticky one keeps the user's own entries.
TEST_F(FilesTest, AFolderAboveThatOthersMayChangeIsNotUsed) {
  set_date(2024, 3, 10);
  const std::string data = printer_folder().substr(0, printer_folder().find_last_of('/'));
  const struct {
    mode_t mode;
    bool used;
  } cases[] = {{0700, true}, {0777, false}, {0770, false}, {01777, true}};
  for (const auto &c : cases) {
    ASSERT_EQ(chmod(data.c_str(), c.mode), 0);
    Session s = fresh_load().begin("test");
    EXPECT_EQ(s.silent(), !c.used) << std::oct << c.mode;
  }
  chmod(data.c_str(), 0700);
}

TEST_F(FilesTest, TheFaultsFileIsReadUpToItsLimit) {
  set_date(2024, 3, 10);
  write_file("faults", std::string(100000, '#') + "\noff\n");
  EXPECT_FALSE(printer().begin("test").silent());
  write_file("faults", "# a comment\noff\n");
  EXPECT_TRUE(printer().begin("test").silent());
}

// A child whose files may not grow sells until a record does not fit: that
// command fails, changes nothing, and the cause is written down.
TEST_F(FilesTest, AFullDiskFailsTheCommandAndSaysWhy) {
  set_date(2024, 3, 10);
  ASSERT_EQ(call([](Session &s) { return s.open_coupon(); }), Outcome::ok);
  pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{fs::file_size(printer_folder() + "/journal") + 2000, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
    for (int i = 1; i < 1000; ++i) {
      Session s = printer().begin("child");
      std::size_t items = s.state().coupon->items.size();
      Outcome sold = s.sell(item("T01", 1000, i));
      if (sold == Outcome::ok) continue;
      bool unchanged = s.state().coupon->items.size() == items;
      _exit(sold == Outcome::no_communication && unchanged ? 0 : 2);
    }
    _exit(3);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(file("notice.txt").find("journal: File too large"), std::string::npos) << file("notice.txt");
  Session s = fresh_load().begin("after");
  ASSERT_FALSE(s.silent());
  const std::vector<Item> &items = s.state().coupon->items;
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].unit_price, static_cast<Milli>(i + 1));
  EXPECT_EQ(s.sell(item("T01", 1000, 1)), Outcome::ok);
}

}  // namespace
}  // namespace ksim::testing
