// The POSIX platform layer: drive-C mapping, profile reading from a real
// file, regional settings from the environment's locale.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/platform.h"
#include "platform/posix.h"

namespace {

namespace fs = std::filesystem;
using kalpo::platform::get;

class DriveC : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("kalpo-drive-c-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "Zantrello" / "Configs");
    setenv("KALPO_DRIVE_C", root_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("KALPO_DRIVE_C");
    fs::remove_all(root_);
  }
  void write(const fs::path &relative, const std::string &contents) {
    std::ofstream(root_ / relative, std::ios::binary) << contents;
  }
  fs::path root_;
};

TEST_F(DriveC, ProfileReadingFromTheMappedFile) {
  auto &p = get();
  const char *file = "c:\\zantrello\\configs\\kalpo.ini";
  EXPECT_EQ(p.profile_string(file, "ECF", "PORTACOM", "COM1"), "COM1") << "missing file gives the default";
  write("Zantrello/Configs/KALPO.INI", "[ecf]\r\nportacom=COM3\r\nMENSAGEM=\r\n");
  EXPECT_EQ(p.profile_string(file, "ECF", "PORTACOM", "COM1"), "COM3");
  EXPECT_EQ(p.profile_string(file, "ECF", "MENSAGEM", "x"), "");
  EXPECT_EQ(p.profile_string(file, "ECF", "PARIDADE", "n"), "n");
  EXPECT_EQ(p.profile_string(file, "OUTRA", "PORTACOM", "COM1"), "COM1");
}

TEST_F(DriveC, PathsShareExistingFoldersWhateverTheirCase) {
  auto &p = get();
  EXPECT_TRUE(p.create_directories("C:\\Zantrello\\NFP\\"));
  EXPECT_TRUE(fs::is_directory(root_ / "Zantrello" / "NFP"));
  EXPECT_FALSE(fs::exists(root_ / "zantrello"));
  write("Zantrello/NFP/AC07122026.txt", "abc");
  EXPECT_EQ(p.file_size("c:\\zantrello\\nfp\\ac07122026.txt"), 3);
  EXPECT_EQ(p.file_size("c:\\zantrello\\nfp\\missing.txt"), -1);
  write("canc.txt", "");
  EXPECT_TRUE(p.file_exists("c:\\canc.txt"));
  EXPECT_TRUE(p.remove_file("C:\\CANC.TXT"));
  EXPECT_FALSE(p.file_exists("c:\\canc.txt"));
  std::string contents;
  EXPECT_FALSE(p.read_file("C:\\RETORNO.TXT", contents));
}

// Folder listings are kept in memory between look-ups: a change made by
// another program is still seen, whatever the letter case, also when it keeps
// the folder's modification time (two changes within one tick).
TEST_F(DriveC, ChangesByOthersAreSeenThroughTheListingsKept) {
  auto &p = get();
  const auto earlier = fs::file_time_type::clock::now() - std::chrono::minutes(1);
  ASSERT_TRUE(p.create_directories("C:\\Zantrello\\NFP\\"));
  for (const fs::path &folder : {root_, root_ / "Zantrello", root_ / "Zantrello" / "NFP"})
    fs::last_write_time(folder, earlier);
  auto same_tick = [&](auto change) {
    const auto before = fs::last_write_time(root_);
    change();
    fs::last_write_time(root_, before);
  };
  struct Step {
    const char *what;
    std::function<void()> change;
    std::function<bool()> check;
  };
  const Step steps[] = {
      {"absent", [] {}, [&] { return !p.file_exists("c:\\canc.txt"); }},
      {"created", [&] { write("CANC.TXT", ""); }, [&] { return p.file_exists("c:\\canc.txt"); }},
      {"renamed within the tick", [&] { same_tick([&] { fs::rename(root_ / "CANC.TXT", root_ / "Canc.Txt"); }); },
       [&] { return p.remove_file("c:\\canc.txt") && !fs::exists(root_ / "Canc.Txt"); }},
      {"written by a maker", [&] { write("Zantrello/NFP/ac07122026.TXT", "abc"); },
       [&] { return p.file_size("C:\\Zantrello\\NFP\\AC07122026.txt") == 3; }},
      {"folder moved away",
       [&] {
         fs::rename(root_ / "Zantrello", root_ / "antes");
         fs::create_directories(root_ / "ZANTRELLO" / "nfp");
         write("ZANTRELLO/nfp/AC07122026.txt", "abcd");
       },
       [&] { return p.file_size("C:\\Zantrello\\NFP\\AC07122026.txt") == 4; }},
      {"report file", [&] { write("Retorno.Txt", "x"); },
       [&] {
         std::string contents;
         return p.read_file("C:\\RETORNO.TXT", contents) && contents == "x";
       }},
  };
  for (const Step &step : steps) {
    step.change();
    EXPECT_TRUE(step.check()) << step.what;
  }
}

TEST(DriveCRoot, TheVariableThenTheHomeFolderElseNone) {
  struct Row {
    const char *drive_c, *home, *user_home;
    std::optional<fs::path> root;
  };
  const Row rows[] = {
      {"/srv/c", "/home/ana", "/home/ana", fs::path("/srv/c")},
      {"", "/home/ana", "/home/bia", fs::path("/home/ana/.kalpo/drive_c")},
      {nullptr, nullptr, "/home/bia", fs::path("/home/bia/.kalpo/drive_c")},
      {nullptr, "", "", std::nullopt},
      {nullptr, nullptr, nullptr, std::nullopt},
  };
  for (const Row &r : rows) {
    EXPECT_EQ(kalpo::platform::choose_drive_c_root(r.drive_c, r.home, r.user_home), r.root)
        << (r.home ? r.home : "(no HOME)");
  }
}

TEST(Regional, ComesFromTheEnvironmentsLocaleWithoutChangingTheProcess) {
  const char *saved = getenv("LC_ALL");
  setenv("LC_ALL", "C", 1);
  auto r = get().regional();
  EXPECT_EQ(r.decimal, ".");
  EXPECT_EQ(r.short_date, "MM/dd/yy");
  setenv("LC_ALL", "no_such_locale", 1);
  EXPECT_EQ(get().regional().decimal, ".") << "an unknown locale falls back to C";
  if (saved)
    setenv("LC_ALL", saved, 1);
  else
    unsetenv("LC_ALL");
}

}  // namespace
