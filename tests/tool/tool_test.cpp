// kalpo as a point-of-sale developer runs it: a separate process on fresh
// virtual printers of each test's own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string output;  // standard output and error
};

bool virtual_printer(const std::string &library) {
  const std::string list = std::string(",") + KALPO_VIRTUAL_LIBRARIES + ",";
  return list.find("," + library + ",") != std::string::npos;
}

#define NEEDS_VIRTUAL_PRINTER(library) \
  if (!virtual_printer(library)) GTEST_SKIP() << library << " has no virtual printer in this build"

class Tool : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kalpo-tool-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // kalpo with the test's printers and drive C, standard input not a terminal.
  Outcome kalpo(const std::string &args, const std::string &extra_env = "") const {
    const std::string command = "KALPO_SIM_DIR='" + dir_ + "/sim' KALPO_DRIVE_C='" + dir_ + "/c' " + extra_env + " " +
                                KALPO_TOOL + " " + args + " </dev/null 2>&1";
    Outcome out;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.output.append(buffer, n);
    const int status = pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
  }

  std::string file(const std::string &name, const std::string &contents) const {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path) << contents;
    return path;
  }

  std::string dir_;
};

// The paper without its clock, which moves between two runs.
std::string timeless(const std::string &tape) {
  return std::regex_replace(tape, std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d|"\d\d:\d\d:\d\d")"), "<time>");
}

TEST_F(Tool, EveryExampleScriptPasses) {
  const struct {
    const char *file, *library;
  } examples[] = {
      {"bematechmp20.kalpo", "bemafi32"}, {"bematechmfd.kalpo", "bemafi32"}, {"sweda7000.kalpo", "convecf"},
      {"sigtronfs345.kalpo", "fs345_32"}, {"daruma32.kalpo", "daruma32"},    {"digiarte1e.kalpo", "ecf32m"},
      {"elginfit.kalpo", "dllg2"},        {"dataregisquick.kalpo", "dllg2"}, {"dataregisserial.kalpo", "dllg2"},
      {"epson.kalpo", "interfaceepson"},
  };
  int run_here = 0;
  for (const auto &e : examples) {
    SCOPED_TRACE(e.file);
    const std::string path = std::string(KALPO_EXAMPLES) + "/" + e.file;
    ASSERT_TRUE(fs::exists(path));
    if (!virtual_printer(e.library)) continue;
    fs::remove_all(dir_ + "/sim");
    const Outcome run = kalpo("run " + path);
    EXPECT_EQ(run.status, 0) << run.output;
    ++run_here;
  }
  if (run_here == 0) GTEST_SKIP() << "no maker library has a virtual printer in this build";
}

TEST_F(Tool, AWrongExpectationFailsWithItsLineNumber) {
  const std::string script = file("wrong.kalpo",
                                  "# versions\n"
                                  "Versao - => 0 \"KALPO_DLL Versão 3.60\"\n"
                                  "\n"
                                  "versao_number - => 0 \"3.61\"\n"
                                  "RetListaECFS - => 0\n");
  const Outcome run = kalpo("run " + script);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("line 4: KALPO_Versao_Number: versao is \"3.60\", expected \"3.61\""), std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("line 2:"), std::string::npos) << run.output;
  EXPECT_EQ(kalpo("run " + file("right.kalpo", "Versao_Number - => 0 \"3.60\"\n")).status, 0);
}

TEST_F(Tool, BadArgumentsAreNamedWithANonZeroExit) {
  const struct {
    std::string args, named;
  } cases[] = {
      {"call NoSuchExport", "NoSuchExport"},
      {"call VendaItem BEMATECHMP20 1 ARROZ 01 F abc 2 1.5 '$' -", "argument 6 (quantidade)"},
      {"call AbreCupom BEMATECHMP20 x", "argument 2 (numero_cupom)"},
      {"call Cancela_Item BEMATECHMP20", "argument 2 (item) of KALPO_Cancela_Item is missing"},
      {"call Versao - extra", "takes 1 arguments, 2 given"},
      {"run /nonexistent/script.kalpo", "/nonexistent/script.kalpo"},
      {"run " + std::string(KALPO_EXAMPLES) + "/../README.md", "line 3: unknown export"},
      {"config set FOO 1", "'FOO'"},
      {"state --model NOSUCH", "'NOSUCH'"},
      {"clock --set soon", "'soon'"},
      {"fault set nothing", "'nothing'"},
      {"demo --model EPSON2", "'EPSON2'"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.args);
    const Outcome run = kalpo(c.args);
    EXPECT_NE(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(c.named), std::string::npos) << run.output;
  }
}

TEST_F(Tool, ConfigShowsDefaultsAndWritesWhatKalpoReads) {
  EXPECT_NE(kalpo("config show").output.find("PORTACOM=COM1    (default)"), std::string::npos);
  ASSERT_EQ(kalpo("config set mensagem 'Volte sempre!'").status, 0);
  ASSERT_EQ(kalpo("config set PORTACOM COM2").status, 0);
  const std::string shown = kalpo("config show").output;
  EXPECT_NE(shown.find("MENSAGEM=Volte sempre!    ;"), std::string::npos) << shown;
  EXPECT_NE(shown.find("PORTACOM=COM2    ;"), std::string::npos) << shown;
  EXPECT_NE(shown.find("VELOCIDADE=115200    (default)"), std::string::npos) << shown;
}

TEST_F(Tool, CallsAcrossInvocationsKeepTheSale) {
  NEEDS_VIRTUAL_PRINTER("bemafi32");
  for (const char *call : {"AbreCupom BEMATECHMP20 - '' '' ''", "VendaItem BEMATECHMP20 1001 ARROZ 01 F 2 2 10.25 '$'",
                           "Inicia_Fechamento BEMATECHMP20 0", "forma_pagamento BEMATECHMP20 Dinheiro 30",
                           "fecha_cupom BEMATECHMP20 Obrigado"}) {
    const Outcome run = kalpo(std::string("call ") + call);
    ASSERT_EQ(run.status, 0) << call << '\n' << run.output;
  }
  const std::string paper = kalpo("tape --model BEMATECHMP20 --last 1").output;
  for (const char *printed : {"ARROZ", "20,50", "TROCO", "9,50"})
    EXPECT_NE(paper.find(printed), std::string::npos) << printed << '\n' << paper;
}

TEST_F(Tool, AConfirmationAnsweredNoLeavesTheDayOpen) {
  NEEDS_VIRTUAL_PRINTER("bemafi32");
  ASSERT_EQ(kalpo("call Abredia BEMATECHMP20").status, 0);
  // --no, and no terminal with neither flag: both answer No.
  for (const char *answer : {"--no", ""}) {
    const Outcome run = kalpo(std::string(answer) + " call Reducaoz BEMATECHMP20");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("-> No"), std::string::npos) << run.output;
  }
  const std::string state = kalpo("state --model BEMATECHMP20").output;
  EXPECT_NE(state.find("CRZ 0 "), std::string::npos) << state;
  EXPECT_EQ(state.find("day: closed"), std::string::npos) << state;
  EXPECT_EQ(kalpo("--yes call Reducaoz BEMATECHMP20").status, 0);
  EXPECT_NE(kalpo("state --model BEMATECHMP20").output.find("CRZ 1 "), std::string::npos);
}

TEST_F(Tool, ATraceOfOneSaleReplaysIntoTheSameTape) {
  NEEDS_VIRTUAL_PRINTER("bemafi32");
  const std::string trace = dir_ + "/sale.jsonl";
  const Outcome sale = kalpo(std::string("run ") + KALPO_EXAMPLES + "/bematechmp20.kalpo", "KALPO_TRACE=" + trace);
  ASSERT_EQ(sale.status, 0) << sale.output;
  const std::string recorded = kalpo("tape --json").output;
  ASSERT_NE(recorded.find("CUPOM FISCAL"), std::string::npos);
  EXPECT_NE(kalpo("trace " + trace).output.find("Bematech_FI_VendeItemDepartamento("), std::string::npos);

  fs::remove_all(dir_ + "/sim");
  const Outcome replay = kalpo("run " + trace);
  ASSERT_EQ(replay.status, 0) << replay.output;
  EXPECT_EQ(timeless(kalpo("tape --json").output), timeless(recorded));
}

}  // namespace
