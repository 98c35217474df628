// The data folder and Windows paths mapped under the drive-C root.
#include <pwd.h>
#include <unistd.h>

#include <filesystem>

#include "core_fixture.h"

namespace ksim::testing {
namespace {

using PathsTest = CoreTest;

// Sets or (null) unsets an environment variable for the length of a test.
void put(const char *name, const char *value) {
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

TEST_F(PathsTest, TheDataFolderComesFromTheEnvironmentThenTheHome) {
  std::string home = getenv("HOME") ? getenv("HOME") : "";
  struct Case {
    const char *sim, *drive_c, *home;
    std::string expected;
  };
  const Case cases[] = {
      {"/s", "/d", "/h", "/s"},
      {nullptr, "/d", "/h", "/d/kalpo-sim"},
      {nullptr, nullptr, "/h", "/h/.kalpo/drive_c/kalpo-sim"},
      {nullptr, nullptr, nullptr, std::string(getpwuid(getuid())->pw_dir) + "/.kalpo/drive_c/kalpo-sim"},
  };
  for (const Case &c : cases) {
    put("KALPO_SIM_DIR", c.sim);
    put("KALPO_DRIVE_C", c.drive_c);
    put("HOME", c.home);
    EXPECT_EQ(data_dir(), c.expected);
  }
  put("HOME", home.empty() ? nullptr : home.c_str());
  unsetenv("KALPO_DRIVE_C");
}

// The mapping itself is checked against the library's in tests/posix.
TEST_F(PathsTest, ACallersFileIsAFullPathOnDriveCOutsideThePrinters) {
  const std::string c = folder_ + "/c";
  std::filesystem::create_directories(c + "/kalpo-sim/dllg2");
  std::filesystem::create_symlink(c + "/kalpo-sim", c + "/atalho");
  setenv("KALPO_DRIVE_C", c.c_str(), 1);
  setenv("KALPO_SIM_DIR", (c + "/kalpo-sim").c_str(), 1);
  const std::pair<const char *, std::string> cases[] = {
      {"C:\\NFP\\ac.txt", c + "/NFP/ac.txt"},
      {"c:\\..\\..\\ac.txt", c + "/ac.txt"},
      {"ac.txt", ""},
      {"\\NFP\\ac.txt", ""},
      {"D:\\ac.txt", ""},
      {"C:\\", ""},
      {"C:\\KALPO-SIM\\dllg2\\journal", ""},
      {"C:\\x\\..\\kalpo-sim\\dllg2\\lock", ""},
      {"C:\\kalpo-sim", ""},
      {"C:\\atalho\\dllg2\\journal", ""},  // a link into the printers' folder
  };
  for (const auto &[windows, local] : cases) EXPECT_EQ(caller_file(windows), local) << windows;
  unsetenv("KALPO_DRIVE_C");
}

}  // namespace
}  // namespace ksim::testing
