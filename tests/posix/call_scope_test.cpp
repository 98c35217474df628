// One reading of the configuration file per export call, a fresh one in the
// next; regional settings kept until a locale variable changes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;
using kalpo::platform::get;

constexpr const char *kFile = "c:\\zantrello\\configs\\kalpo.ini";

TEST(CallScope, OneReadingPerCallAndAFreshOneInTheNext) {
  const fs::path root = fs::temp_directory_path() / ("kalpo-call-scope-" + std::to_string(::getpid()));
  fs::create_directories(root / "zantrello" / "configs");
  setenv("KALPO_DRIVE_C", root.c_str(), 1);
  auto write = [&](const char *contents) {
    std::ofstream(root / "zantrello" / "configs" / "kalpo.ini", std::ios::binary | std::ios::trunc) << contents;
  };
  // A reading outside any call is not carried into the next call.
  write("[ECF]\r\nPORTACOM=COM2\r\n");
  EXPECT_EQ(get().profile_string(kFile, "ECF", "PORTACOM", "COM1"), "COM2");
  write("[ECF]\r\nPORTACOM=COM3\r\n");
  {
    kalpo::platform::CallScope call;
    EXPECT_EQ(get().profile_string(kFile, "ECF", "PORTACOM", "COM1"), "COM3");
    write("[ECF]\r\nPORTACOM=COM4\r\n");
    EXPECT_EQ(get().profile_string(kFile, "ECF", "PORTACOM", "COM1"), "COM3") << "the call's one reading";
  }
  kalpo::platform::CallScope next;
  EXPECT_EQ(get().profile_string(kFile, "ECF", "PORTACOM", "COM1"), "COM4") << "an edit takes effect at once";
  unsetenv("KALPO_DRIVE_C");
  fs::remove_all(root);
}

TEST(CallScope, RegionalSettingsFollowTheLocaleVariables) {
  const char *saved = getenv("LC_ALL");
  const std::string kept = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(get().regional().decimal, ".");
  setenv("LC_ALL", "pt_BR.UTF-8", 1);
  EXPECT_EQ(get().regional().decimal, ",");
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(get().regional().decimal, ".");
  if (saved)
    setenv("LC_ALL", kept.c_str(), 1);
  else
    unsetenv("LC_ALL");
}

}  // namespace
