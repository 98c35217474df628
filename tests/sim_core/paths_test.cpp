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
  if (value) setenv(name, value, 1);
  else unsetenv(name);
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

TEST_F(PathsTest, WindowsPathsMatchExistingFilesIgnoringCase) {
  std::filesystem::create_directories(folder_ + "/Zantrello/NFP");
  setenv("KALPO_DRIVE_C", folder_.c_str(), 1);
  const std::pair<const char *, std::string> cases[] = {
      {"C:\\RETORNO.TXT", folder_ + "/RETORNO.TXT"},
      {"c:\\zantrello\\nfp\\dia.txt", folder_ + "/Zantrello/NFP/dia.txt"},
      {"C:/ZANTRELLO//Nfp/", folder_ + "/Zantrello/NFP"},
      {"relativo\\a.txt", "relativo/a.txt"},
  };
  for (const auto &[windows, local] : cases) EXPECT_EQ(windows_path(windows), local) << windows;
  unsetenv("KALPO_DRIVE_C");
}

}  // namespace
}  // namespace ksim::testing
