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
    start_afresh();
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

// The safe opener: whatever stands under the name is refused by its kind,
// at once, and a file is read only when it is whose it must be.
TEST_F(FilesTest, TheSafeOpenerRefusesWhatIsNotTheUsersOwnFile) {
  const std::string file = folder_ + "/file";
  std::ofstream(file) << "text";
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(file, folder_ + "/link");
  mkfifo((folder_ + "/fifo").c_str(), 0600);
  const std::string shared = folder_ + "/shared";
  std::ofstream(shared) << "text";
  fs::permissions(shared, fs::perms::owner_all | fs::perms::others_write);
  const std::string readable = folder_ + "/readable";
  std::ofstream(readable) << "text";
  fs::permissions(readable, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
  const struct {
    std::string path;
    Whose whose;
    std::uint64_t limit;
    const char *refused;  // empty: read; null: absent
  } rows[] = {
      {file, Whose::own, 4, ""},
      {file, Whose::secret, 4, ""},
      {file, Whose::own, 3, "larger than 3 bytes"},
      {folder_ + "/link", Whose::anyone, 99, "a link, not a file"},
      {folder_ + "/fifo", Whose::anyone, 99, "a FIFO, not a file"},
      {"/dev/zero", Whose::anyone, 99, "a device, not a file"},
      {folder_, Whose::anyone, 99, "a folder, not a file"},
      {shared, Whose::own, 99, "others may write the file"},
      {shared, Whose::anyone, 99, ""},
      {readable, Whose::own, 99, ""},
      {readable, Whose::secret, 99, "may be read by other users"},
      {folder_ + "/absent", Whose::own, 99, nullptr},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.path);
    std::string text;
    const bool read = read_whole_file(row.path, row.whose, row.limit, text);
    EXPECT_EQ(read, row.refused && !*row.refused);
    if (read) {
      EXPECT_EQ(text, "text");
    } else {
      const std::string expected = row.refused ? row.refused : "";
      EXPECT_EQ(expected.empty(), last_file_error().empty()) << last_file_error();
      EXPECT_NE(last_file_error().find(expected), std::string::npos) << last_file_error();
    }
  }

  // Made owner-only, once; appended; replaced whole.
  const std::string made = folder_ + "/made";
  bool exists = true;
  ASSERT_TRUE(create_own_file(made, "one\n", exists));
  EXPECT_FALSE(create_own_file(made, "two\n", exists));
  EXPECT_TRUE(exists);
  EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(append_own_file(made, "two\n"));
  std::string text;
  ASSERT_TRUE(read_whole_file(made, Whose::secret, 99, text));
  EXPECT_EQ(text, "one\ntwo\n");
  EXPECT_FALSE(append_own_file(folder_ + "/link", "x"));
  ASSERT_TRUE(write_caller_file(made, "whole\n"));
  ASSERT_TRUE(read_whole_file(made, Whose::secret, 99, text));
  EXPECT_EQ(text, "whole\n");
  EXPECT_FALSE(fs::exists(made + ".part"));
}

}  // namespace
}  // namespace ksim::testing
