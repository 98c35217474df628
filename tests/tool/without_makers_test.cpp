// kalpo on a workstation without maker libraries, or without libkalpo: what
// calls no export works, and a call says what is missing (exit 1).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Row {
  const char *args;
  int status;
  const char *shown;
};

class WithoutMakers : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kalpo-no-makers-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "lib");
    fs::copy_file(KALPO_TOOL, dir_ / "bin/kalpo");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void expect_rows(std::initializer_list<Row> rows) const {
    for (const Row &row : rows) {
      SCOPED_TRACE(row.args);
      const std::string command = "env -u LD_LIBRARY_PATH KALPO_SIM_DIR='" + (dir_ / "sim").string() +
                                  "' KALPO_DRIVE_C='" + (dir_ / "c").string() + "' '" + (dir_ / "bin/kalpo").string() +
                                  "' " + row.args + " </dev/null 2>&1";
      std::string output;
      FILE *pipe = popen(command.c_str(), "r");
      ASSERT_NE(pipe, nullptr);
      char buffer[4096];
      for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
      const int status = pclose(pipe);
      EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, row.status) << output;
      EXPECT_NE(output.find(row.shown), std::string::npos) << output;
    }
  }

  fs::path dir_;
};

TEST_F(WithoutMakers, WhatCallsNoExportWorksAndACallNamesTheMissingMakerLibrary) {
  fs::copy_file(KALPO_LIBRARY_FILE, dir_ / "lib/libkalpo.so.4");
  expect_rows({
      {"--help", 0, "replay"},
      {"help replay", 0, "trace"},
      {"--version", 0, "libbemafi32.so is missing"},
      {"config show", 0, "PORTACOM"},
      {"call Versao", 1, "the maker library libbemafi32.so is missing"},
      {"call Versao", 1, "kalpo-virtual-printer"},
  });
}

TEST_F(WithoutMakers, ACallWithoutLibkalpoSaysWhereItLooked) {
  expect_rows({
      {"--version", 0, "kalpo "},
      {"call Versao", 1, "libkalpo.so.4 is not found: looked in "},
  });
}

}  // namespace
