// kalpo on a workstation without maker libraries, or without libkalpo: what
// calls no export works, and a call says what is missing (exit 1).  With one
// maker's own library (a test double) and the virtual printer installed, that
// maker's calls reach its library and the others' the virtual printer.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Row {
  const char *args;
  int status;
  std::string shown;
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

  void expect_rows(std::initializer_list<Row> rows, const std::string &env = "") const {
    for (const Row &row : rows) {
      SCOPED_TRACE(row.args);
      const std::string command = "env -u LD_LIBRARY_PATH -u KALPO_VIRTUAL " + env + " KALPO_SIM_DIR='" +
                                  (dir_ / "sim").string() + "' KALPO_DRIVE_C='" + (dir_ / "c").string() + "' '" +
                                  (dir_ / "bin/kalpo").string() + "' " + row.args + " </dev/null 2>&1";
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

  // The maker double on the loader's path (as a maker's package installs
  // its library), the virtual printer in its package's folder when asked.
  std::string with_double(bool virtual_printer) const {
    fs::copy_file(KALPO_LIBRARY_FILE, dir_ / "lib/libkalpo.so.4");
    fs::create_directories(dir_ / "maker");
    fs::copy_file(KALPO_MAKER_DOUBLE, dir_ / "maker/libinterfaceepson.so");
    if (virtual_printer) {
      fs::create_directories(dir_ / "lib/kalpo/virtual-printer");
      for (const fs::directory_entry &e : fs::directory_iterator(KALPO_VIRTUAL_PRINTER))
        fs::copy_file(e.path(), dir_ / "lib/kalpo/virtual-printer" / e.path().filename());
    }
    return "LD_LIBRARY_PATH='" + (dir_ / "maker").string() + "' KALPO_DOUBLE_LOG='" + (dir_ / "double.log").string() +
           "'";
  }
  std::string double_log() const {
    std::ifstream in(dir_ / "double.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path dir_;
};

TEST_F(WithoutMakers, WhatCallsNoExportWorksAndACallNamesTheMissingMakerLibrary) {
  fs::copy_file(KALPO_LIBRARY_FILE, dir_ / "lib/libkalpo.so.4");
  expect_rows({
      {"--help", 0, "replay"},
      {"help replay", 0, "trace"},
      {"--version", 0, "bemafi32: missing: libbemafi32.so, looked in "},
      {"config show", 0, "PORTACOM"},
      {"call Versao", 0, "KALPO_DLL"},
      {"call LeituraX BEMATECHMP20", 1, "the maker library libbemafi32.so is missing"},
      {"call LeituraX BEMATECHMP20", 1, "Erro de comunicação. Verifique a Impressora!"},
  });
}

TEST_F(WithoutMakers, OneMakersOwnLibraryAnswersItsModelsAndTheVirtualPrinterTheOthers) {
  const std::string env = with_double(true);
  const std::string virtual_printer = (dir_ / "lib/kalpo/virtual-printer").string();
  expect_rows(
      {
          {"--version", 0, "interfaceepson: " + (dir_ / "maker/libinterfaceepson.so").string() + "\n"},
          {"--version", 0, "bemafi32: " + virtual_printer + "/libbemafi32.so (the virtual printer)"},
          {"call AbreCupom EPSON - '' '' ''", 0, "= 1"},
          {"call AbreCupom BEMATECHMP20 - '' '' ''", 0, "= 1"},
      },
      env);
  EXPECT_NE(double_log().find("EPSON_Fiscal_Abrir_Cupom"), std::string::npos) << double_log();
  EXPECT_FALSE(fs::exists(dir_ / "sim/interfaceepson"));
  EXPECT_TRUE(fs::exists(dir_ / "sim/bemafi32"));
  // Chosen, the virtual printer answers every model.
  expect_rows({{"--version", 0, "interfaceepson: " + virtual_printer + "/libinterfaceepson.so (the virtual printer)"}},
              env + " KALPO_VIRTUAL=1");
}

TEST_F(WithoutMakers, WithoutTheVirtualPrinterAnotherMakersCallNamesItsMissingLibrary) {
  const std::string env = with_double(false);
  expect_rows(
      {
          {"call AbreCupom EPSON - '' '' ''", 0, "= 1"},
          {"call AbreCupom DARUMA32 - '' '' ''", 1, "the maker library libdaruma32.so is missing"},
      },
      env);
  EXPECT_NE(double_log().find("EPSON_Fiscal_Abrir_Cupom"), std::string::npos) << double_log();
}

TEST_F(WithoutMakers, ACallWithoutLibkalpoSaysWhereItLooked) {
  expect_rows({
      {"--version", 0, "kalpo "},
      {"call Versao", 1, "libkalpo.so.4 is not found: looked in "},
  });
}

}  // namespace
