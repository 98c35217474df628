// kalpo as a point-of-sale developer runs it: a separate process on fresh
// virtual printers of each test's own.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>
#include <vector>

#include "kalpo.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Outcome {
  int status = -1;
  std::string output;  // standard output, and standard error unless asked apart
};

bool virtual_printer(const std::string &library) {
  const std::string list = std::string(",") + KALPO_VIRTUAL_LIBRARIES + ",";
  return list.find("," + library + ",") != std::string::npos;
}

// A shell command's output and exit status.
Outcome run_shell(const std::string &line) {
  Outcome out;
  FILE *pipe = popen(line.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.output.append(buffer, n);
  const int status = pclose(pipe);
  out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

// kalpo killed if it has not ended within ten seconds: a hang fails the test.
Outcome bounded(const std::string &command) {
  return run_shell("timeout -s KILL 10 env " + command + " </dev/null 2>&1");
}

#define NEEDS_VIRTUAL_PRINTER(library) \
  if (!virtual_printer(library)) GTEST_SKIP() << library << " has no virtual printer in this build"

bool has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// kalpo on a pseudo-terminal of its own: what it writes, read as it comes.
class Terminal {
 public:
  explicit Terminal(const std::string &command) {
    pid_ = forkpty(&fd_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char *>(nullptr));
      _exit(127);
    }
  }
  ~Terminal() {
    if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
    if (fd_ >= 0) close(fd_);
  }
  // Reads until the output holds `text`; false at the deadline or the end.
  bool wait_for(const std::string &text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!has(output, text) && std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char buffer[4096];
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      output.append(buffer, static_cast<std::size_t>(n));
    }
    return has(output, text);
  }
  void type(const std::string &text) const { EXPECT_EQ(write(fd_, text.data(), text.size()), ssize_t(text.size())); }

  std::string output;

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
};

class Tool : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kalpo-tool-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The command line running kalpo with the test's printers, drive C, state
  // folder (the copies of the counters marks) and temporary folder.
  std::string command(const std::string &args, const std::string &extra_env = "") const {
    return "KALPO_SIM_DIR='" + dir_ + "/sim' KALPO_DRIVE_C='" + dir_ + "/c' XDG_STATE_HOME='" + dir_ +
           "/state' TMPDIR='" + dir_ + "' " + extra_env + " " + KALPO_TOOL + " " + args;
  }
  // The printers and the copies of their marks gone: new printers may start.
  void start_afresh() const {
    fs::remove_all(dir_ + "/sim");
    fs::remove_all(dir_ + "/state");
  }

  // kalpo with standard input not a terminal.
  Outcome kalpo(const std::string &args, const std::string &extra_env = "", bool stdout_only = false) const {
    return run_shell(command(args, extra_env) + " </dev/null " + (stdout_only ? "2>/dev/null" : "2>&1"));
  }

  json kalpo_json(const std::string &args) const {
    const Outcome run = kalpo(args, "", true);
    return json::parse(run.output, nullptr, false);
  }

  struct Said {
    std::string args, shown;
  };
  // Each command line, in order, exits with `status` and shows its text; a
  // refusal's lists are whole, never cut short with "...".
  void expect_each(const std::vector<Said> &rows, int status) const {
    for (const Said &row : rows) {
      SCOPED_TRACE(row.args);
      const Outcome run = kalpo(row.args);
      EXPECT_EQ(run.status, status) << run.output;
      EXPECT_TRUE(has(run.output, row.shown)) << run.output;
      EXPECT_FALSE(status != 0 && has(run.output, "...")) << run.output;
    }
  }

  std::string file(const std::string &name, const std::string &contents) const {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << contents;
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
    start_afresh();
    const Outcome run = kalpo("--yes run " + path);
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
  EXPECT_TRUE(has(run.output, "line 4: KALPO_Versao_Number: versao is \"3.60\", expected \"3.61\"")) << run.output;
  EXPECT_FALSE(has(run.output, "line 2:")) << run.output;
  EXPECT_EQ(kalpo("run " + file("right.kalpo", "Versao_Number - => 0 \"3.60\"\n")).status, 0);
}

// Refused with exit status 2 before anything happens: no printer is made.
TEST_F(Tool, BadInputIsNamedAndRefusedBeforeAnythingHappens) {
  const std::string line_break = "\"$(printf 'a\\nb')\"";
  expect_each(
      {
          {"call NoSuchExport", "NoSuchExport"},
          {"call VendaItem BEMATECHMP20 1 ARROZ 01 F abc 2 1.5 '$' -", "argument 6 (quantidade)"},
          {"call VendaItem BEMATECHMP20 1 ARROZ 01 F 1 2 24,90", "(a decimal point, not a comma: 24.90)"},
          {"run " + file("comma.kalpo", "Inicia_Fechamento \"EPSON\" 1,5\n"), "not a comma: 1.5"},
          {"call VendaItem BEMATECHMP20 1 ARROZ 01 F 1e300 2 1", "between -9.2e15 and 9.2e15"},
          {"call VendaItem BEMATECHMP20 1 ARROZ 01 F 1 1e10 1", "argument 7 (casas_decimais)"},
          {"call AbreCupom BEMATECHMP20 x", "argument 2 (numero_cupom)"},
          {"call Cancela_Item BEMATECHMP20", "argument 2 (item) of KALPO_Cancela_Item is missing"},
          {"call Versao - extra", "takes 1 arguments, 2 given"},
          {"run /nonexistent/script.kalpo", "/nonexistent/script.kalpo"},
          {"run " + std::string(KALPO_EXAMPLES) + "/../README.md", "line 3: unknown export"},
          {"run " + dir_, "a folder, not a file"},
          {"run /dev/zero", "a device, not a file"},
          {"config set FOO 1", "'FOO'"},
          {"config set VELOCIDADE abc", "not a whole number of 32 bits; KALPO would read the default 115200"},
          {"config set MENSAGEM " + line_break, "no line break"},
          {"state --model NOSUCH",
           "BEMATECHMP20, BEMATECHMFD, SWEDA7000, SIGTRONFS345, DARUMA32, DIGIARTE1E, "
           "ELGINFIT, DATAREGISQUICK, DATAREGISSERIAL, EPSON"},
          {"clock --set soon", "'soon'"},
          {"clock --set 9223372036854775807d", "beyond 100 years"},
          {"clock --set 9999999999999999999999", "beyond 100 years"},
          {"fault set nothing", "'nothing'"},
          {"fault set refuse " + line_break, "no blank or line break"},
          {"fault set slow abc", "not a number of milliseconds"},
          {"fault set off 5", "takes no value"},
          {"demo --model EPSON2", "'EPSON2' is not a printer model (BEMATECHMP20, BEMATECHMFD,"},
          {"--bogus", "--bogus"},
          {"state --bogus", "--bogus"},
          {"", "a subcommand is needed"},
          {"help nope", "'nope'"},
      },
      2);
  EXPECT_FALSE(fs::exists(dir_ + "/sim"));
  EXPECT_FALSE(fs::exists(dir_ + "/c"));
}

TEST_F(Tool, VersionHelpAndExitStatuses) {
  expect_each(
      {
          {"--version", "kalpo " KALPO_VERSION_TEXT "\nKALPO_Versao: KALPO_DLL Vers\xC3\xA3o"},
          {"--help", "Exit status: 0 done; 1 "},
          {"help", "2 a bad command line"},
          {"help fault set", "Usage: kalpo fault set [OPTIONS] name [value]"},
          {"call --help", "EXPORT: with or without KALPO_"},
      },
      0);
  EXPECT_EQ(kalpo_json("--version --json")["version"], KALPO_VERSION_TEXT);
}

TEST_F(Tool, JsonAnywhereOneShapeAndJsonErrors) {
  for (const char *args : {"--json call Versao", "call --json Versao -", "call Versao - --json"}) {
    SCOPED_TRACE(args);
    const json call = kalpo_json(args);
    EXPECT_EQ(call["out"]["versao"], "KALPO_DLL Vers\xC3\xA3o 3.60");
    EXPECT_FALSE(call.contains("line"));
    EXPECT_FALSE(call.contains("failures"));
  }
  for (const char *args : {"--json call NoSuchExport", "state --model NOSUCH --json", "--json --bogus"}) {
    SCOPED_TRACE(args);
    const json error = kalpo_json(args);
    EXPECT_EQ(error["exit_status"], 2);
    EXPECT_TRUE(error["error"].is_string());
  }
  const json step = kalpo_json("run --json " + file("one.kalpo", "Versao_Number - => 0\n"))["steps"][0];
  EXPECT_EQ(step["line"], 1);
  EXPECT_EQ(step["out"]["versao"], "3.60");
}

TEST_F(Tool, AnUnknownModelIsNamedAndTheCallMadeAnyway) {
  const struct {
    const char *model, *closest;
  } cases[] = {{"bematechmp20", "BEMATECHMP20"}, {"EPSOM", "EPSON"}, {"NOTAFISCAL", nullptr}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.model);
    const Outcome run = kalpo(std::string("call Cupom_Aberto ") + c.model);
    EXPECT_TRUE(has(run.output, std::string("> Cupom_Aberto \"") + c.model)) << run.output;
    EXPECT_EQ(has(run.output, "is not a model KALPO knows"), c.closest != nullptr) << run.output;
    if (c.closest) {
      EXPECT_TRUE(has(run.output, std::string("the closest is ") + c.closest)) << run.output;
    }
  }
}

TEST_F(Tool, ConfigSaysWhatItWroteAndShowsWhatKalpoReads) {
  EXPECT_TRUE(has(kalpo("config show").output, "PORTACOM=COM1    (default)"));
  expect_each(
      {
          {"config set mensagem 'Volte sempre!'", "MENSAGEM=Volte sempre! written to "},
          {"config set PORTACOM COM2", "PORTACOM=COM2 written to "},
          {"config set PARIDADE x", "; KALPO takes any parity but n, e or o as e (even)"},
          {"config set VELOCIDADE ' -9600'", "VELOCIDADE= -9600 written to "},
      },
      0);
  const std::string shown = kalpo("config show").output;
  EXPECT_TRUE(has(shown, "MENSAGEM=Volte sempre!    ;")) << shown;
  EXPECT_TRUE(has(shown, "PORTACOM=COM2    ;")) << shown;
  EXPECT_TRUE(has(shown, "VELOCIDADE=-9600    ;")) << shown;
}

TEST_F(Tool, FaultsSaySetAndCleared) {
  NEEDS_VIRTUAL_PRINTER("interfaceepson");
  expect_each(
      {
          {"fault set refuse 0304 --once --model EPSON", "interfaceepson: refuse 0304 set, used up by the next call"},
          {"fault set paper_end --model EPSON", "interfaceepson: paper_end set until cleared"},
          {"fault list --model EPSON", "interfaceepson: paper_end"},
          {"fault clear paper_end --model EPSON", "interfaceepson: paper_end cleared"},
          {"fault clear --model EPSON", "interfaceepson: every fault cleared"},
      },
      0);
}

TEST_F(Tool, InspectingMakesNoFolder) {
  for (const char *args : {"tape", "tape --model EPSON", "state", "state --model dllg2 --json", "fault list",
                           "fault clear", "clock", "config show"}) {
    SCOPED_TRACE(args);
    const Outcome run = kalpo(args);
    EXPECT_EQ(run.status, 0) << run.output;
  }
  EXPECT_TRUE(has(kalpo("tape --model EPSON").output, "interfaceepson: no printer yet")) << dir_;
  EXPECT_FALSE(fs::exists(dir_ + "/sim"));
  EXPECT_FALSE(fs::exists(dir_ + "/c"));
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
    EXPECT_TRUE(has(paper, printed)) << printed << '\n' << paper;
  const json state = kalpo_json("state --json --model bemafi32")["bemafi32"];
  EXPECT_EQ(state["grand_total"], 20.5);
  EXPECT_EQ(state["day_totals"]["net"], 20.5);
}

// The code of a real refusal, found from the shown text alone: paper end on
// each maker family, a coupon already open, a printer that does not answer.
TEST_F(Tool, RefusalsGiveTheirMessageCode) {
  struct Row {
    std::string library;
    std::vector<std::string> before;
    std::string call, code;
  };
  const std::string open = " - '' '' ''";
  std::vector<Row> rows;
  for (const auto &[library, model] : std::vector<std::pair<std::string, std::string>>{{"bemafi32", "BEMATECHMP20"},
                                                                                       {"convecf", "SWEDA7000"},
                                                                                       {"fs345_32", "SIGTRONFS345"},
                                                                                       {"daruma32", "DARUMA32"},
                                                                                       {"ecf32m", "DIGIARTE1E"},
                                                                                       {"dllg2", "ELGINFIT"},
                                                                                       {"interfaceepson", "EPSON"}})
    rows.push_back({library, {"fault set paper_end --model " + model}, "AbreCupom " + model + open, "paper_end"});
  rows.push_back({"daruma32",
                  {"fault clear --model DARUMA32", "call AbreCupom DARUMA32" + open},
                  "AbreCupom DARUMA32" + open,
                  "coupon_open"});
  rows.push_back({"bemafi32",
                  {"fault clear --model BEMATECHMP20", "call AbreCupom BEMATECHMP20" + open},
                  "AbreCupom BEMATECHMP20" + open,
                  "coupon_open"});
  rows.push_back({"bemafi32", {"fault set off --model BEMATECHMP20"}, "AbreGaveta BEMATECHMP20", "printer_off"});
  // The command driver's error number, shown alone.
  rows.push_back({"dllg2",
                  {"fault clear --model ELGINFIT", "fault set off --model ELGINFIT"},
                  "AbreGaveta ELGINFIT",
                  "printer_off"});
  for (const Row &row : rows) {
    if (!virtual_printer(row.library)) continue;
    SCOPED_TRACE(row.call);
    for (const std::string &step : row.before) ASSERT_EQ(kalpo(step).status, 0) << step;
    const json answer = kalpo_json("--json call " + row.call);
    ASSERT_TRUE(answer.contains("messages")) << answer.dump();
    std::vector<std::string> codes;
    for (const json &m : answer["messages"]) codes.push_back(m["code"]);
    EXPECT_NE(std::find(codes.begin(), codes.end(), row.code), codes.end()) << answer.dump();
  }
}

TEST_F(Tool, TextsThatAreNotUtf8AreReadAsWindows1252) {
  NEEDS_VIRTUAL_PRINTER("bemafi32");
  const json call = kalpo_json("--json call AbreCupom BEMATECHMP20 - \"$(printf 'Jos\\351')\" '' ''");
  EXPECT_EQ(call["args"][2], "Jos\xC3\xA9");
  EXPECT_EQ(call["result"], 1);
}

TEST_F(Tool, AConfirmationAnsweredNoLeavesTheDayOpen) {
  NEEDS_VIRTUAL_PRINTER("bemafi32");
  ASSERT_EQ(kalpo("call Abredia BEMATECHMP20").status, 0);
  // --no, and no terminal with neither flag: both answer No.
  for (const char *answer : {"--no", ""}) {
    const Outcome run = kalpo(std::string(answer) + " call Reducaoz BEMATECHMP20");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_TRUE(has(run.output, "-> No")) << run.output;
  }
  const std::string state = kalpo("state --model BEMATECHMP20").output;
  EXPECT_TRUE(has(state, "CRZ 0 ")) << state;
  EXPECT_TRUE(has(state, ", open")) << state;
  EXPECT_EQ(kalpo("call Reducaoz BEMATECHMP20 - - - - --yes").status, 0);
  EXPECT_TRUE(has(kalpo("state --model BEMATECHMP20").output, "CRZ 1 "));
}

TEST_F(Tool, AConfirmationOnATerminalShowsItsLinesAndTakesSimOrYes) {
  NEEDS_VIRTUAL_PRINTER("bemafi32");
  const struct { const char *reply, *button; } cases[] = {{"s", "-> Yes"}, {"y", "-> Yes"}, {"n", "-> No"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.reply);
    start_afresh();
    Terminal terminal(command("call Reducaoz BEMATECHMP20"));
    ASSERT_TRUE(terminal.wait_for("[s/n] ")) << terminal.output;
    terminal.type(std::string(c.reply) + "\n");
    EXPECT_TRUE(terminal.wait_for(c.button)) << terminal.output;
    // Each line of the message on a line of its own: no carriage return
    // but those the terminal puts before its line feeds.
    const std::string shown = std::regex_replace(terminal.output, std::regex("\r\n"), "\n");
    EXPECT_FALSE(has(shown, "\r")) << shown;
    EXPECT_TRUE(has(shown,
                    "novas impress\xC3\xB5"
                    "es\n      de Cupons Fiscais!\n      \n      Continua ? [s/n] "))
        << shown;
  }
}

TEST_F(Tool, StateTellsTheDayAndHowToMoveOn) {
  NEEDS_VIRTUAL_PRINTER("bemafi32");
  const struct {
    const char *call, *day, *shown;
  } steps[] = {
      {"call MostraNumSerie BEMATECHMP20", "not_begun", "day: not begun (a sale"},
      {"call Abredia BEMATECHMP20", "open", ", open"},
      {"--yes call Reducaoz BEMATECHMP20", "closed",
       "day: closed by its Z reduction (CRZ 1): no sale until the next day; kalpo clock --model bemafi32 --set 1d"},
      {"clock --model bemafi32 --set 1d", "not_begun", "day: not begun"},
      {"call Abredia BEMATECHMP20", "open", ", open"},
      {"--yes call Reducaoz BEMATECHMP20", "closed",
       "(CRZ 2): no sale until the next day; kalpo clock --model "
       "bemafi32 --set 2d moves the printer's clock on to it"},
  };
  for (const auto &s : steps) {
    SCOPED_TRACE(s.call);
    kalpo(s.call);
    EXPECT_TRUE(has(kalpo("state --model bemafi32").output, s.shown)) << kalpo("state --model bemafi32").output;
    EXPECT_EQ(kalpo_json("state --json --model bemafi32")["bemafi32"]["day"], s.day);
  }
}

// Spoiled as another local user or a careless operator would: every look ends
// within its bound, makes nothing, and names the reason.
TEST_F(Tool, AnUnreadablePrinterIsSaidWithANonZeroExit) {
  NEEDS_VIRTUAL_PRINTER("interfaceepson");
  const std::string folder = dir_ + "/sim/interfaceepson";
  const std::string missing = dir_ + "/missing";
  const struct {
    const char *what;
    std::function<void()> spoil;
    const char *reason;
  } cases[] = {
      {"a damaged journal", [&] { std::ofstream(folder + "/journal", std::ios::app) << "not a record\n"; },
       "refuses its journal"},
      {"a lock that is a folder", [&] { fs::remove(folder + "/lock"), fs::create_directory(folder + "/lock"); },
       "lock is a folder"},
      {"a lock linked to a missing file",
       [&] { fs::remove(folder + "/lock"), fs::create_symlink(missing, folder + "/lock"); }, "lock is a link"},
      {"a lock that is a FIFO", [&] { fs::remove(folder + "/lock"), mkfifo((folder + "/lock").c_str(), 0600); },
       "lock is a FIFO"},
      {"a folder others may write", [&] { fs::permissions(folder, fs::perms::all); }, "others may write in the folder"},
      {"a journal others may write",
       [&] { fs::permissions(folder + "/journal", fs::perms::others_write, fs::perm_options::add); },
       "others may write the file"},
      {"a folder replaced by a file", [&] { fs::remove_all(folder), file("sim/interfaceepson", "x"); },
       "is a file, not a folder"},
      {"a data folder others may write", [&] { fs::permissions(dir_ + "/sim", fs::perms::all); },
       "above it: they could replace it"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    start_afresh();
    ASSERT_EQ(kalpo("call Abredia EPSON").status, 0);
    c.spoil();
    for (const char *inspect : {"state --model EPSON", "tape --model EPSON", "tape", "clock --model EPSON"}) {
      SCOPED_TRACE(inspect);
      const Outcome run = bounded(command(inspect));
      EXPECT_EQ(run.status, 1) << run.output;
      EXPECT_TRUE(has(run.output, c.reason)) << run.output;
      const json entry = kalpo_json(std::string(inspect) + " --json")["interfaceepson"];
      EXPECT_TRUE(has(entry.value("error", ""), c.reason)) << entry;
    }
    EXPECT_FALSE(fs::exists(missing));
  }
}

TEST_F(Tool, TapeSaysWhenThereIsNoPaperAndFollowsNewPages) {
  NEEDS_VIRTUAL_PRINTER("interfaceepson");
  ASSERT_EQ(kalpo("clock --model EPSON --set 0").status, 0);
  EXPECT_TRUE(has(kalpo("tape --model EPSON").output, "interfaceepson: no paper printed yet"));
  EXPECT_TRUE(has(kalpo("tape").output, "No paper printed yet on any virtual printer"));
  Terminal follow(command("tape --follow --model EPSON"));
  ASSERT_TRUE(follow.wait_for("no paper printed yet")) << follow.output;
  ASSERT_EQ(kalpo("call Abredia EPSON").status, 0);
  EXPECT_TRUE(follow.wait_for("ABERTURA DO DIA")) << follow.output;
}

TEST_F(Tool, TheDemoSaysWhereItsPrintersWere) {
  NEEDS_VIRTUAL_PRINTER("interfaceepson");
  const std::regex folder("Virtual printers in ([^,]+),");
  for (const bool keep : {false, true}) {
    SCOPED_TRACE(keep);
    const Outcome run = kalpo(std::string("demo --model EPSON") + (keep ? " --keep" : ""));
    ASSERT_EQ(run.status, 0) << run.output;
    std::smatch found;
    ASSERT_TRUE(std::regex_search(run.output, found, folder)) << run.output;
    EXPECT_EQ(fs::exists(found[1].str() + "/epson/interfaceepson/journal"), keep);
    EXPECT_TRUE(has(run.output, keep ? "The printers are kept in " + found[1].str()
                                     : "The printers were in " + found[1].str() + ", now removed"))
        << run.output;
  }
}

TEST_F(Tool, ATraceOfOneSaleReplaysIntoTheSameTapeAndReadsWell) {
  NEEDS_VIRTUAL_PRINTER("bemafi32");
  const std::string trace = dir_ + "/sale.jsonl";
  const Outcome sale =
      kalpo(std::string("--yes run ") + KALPO_EXAMPLES + "/bematechmp20.kalpo", "KALPO_TRACE=" + trace);
  ASSERT_EQ(sale.status, 0) << sale.output;
  kalpo("call VendaItem BEMATECHMP20 1 ARROZ 01 F 1 2 1 '$'", "KALPO_TRACE=" + trace);  // the day is closed
  const std::string recorded = kalpo("tape --json").output;
  ASSERT_TRUE(has(recorded, "CUPOM FISCAL"));

  const std::string view = kalpo("trace " + trace).output;
  for (const char *shown : {"Bematech_FI_VendeItemDepartamento(", "-> 1\n      = ACK\n", "= ACK; ST2 1: not executed\n",
                            "impress\xC3\xB5"
                            "es\n        de Cupons Fiscais!"})
    EXPECT_TRUE(has(view, shown)) << shown << '\n' << view;
  const json records = kalpo_json("trace --json " + trace);
  bool named = false;
  for (const json &r : records) named = named || (r["export"] == "KALPO_Reducaoz" && r["out"].contains("contagem"));
  EXPECT_TRUE(named);

  start_afresh();
  const Outcome replay = kalpo("run " + trace);
  ASSERT_EQ(replay.status, 0) << replay.output;
  EXPECT_EQ(timeless(kalpo("tape --json").output), timeless(recorded));
}

// make demo's build output, filtered to one line of progress.
TEST(MakeDemo, TheBuildShowsInOneLineAndANoOpBuildShowsNothing) {
  const struct {
    const char *make, *shown;
    int status;
  } cases[] = {
      {"[  2%] Building CXX object a.o\n[ 40%] Building CXX object b.o\n[ 80%] Linking CXX executable k\n"
       "[100%] Built target k\n",
       "Building KALPO, its virtual printers and the kalpo tool: 25% 50% 75% done (2 files compiled)\n", 0},
      {"[100%] Built target kalpo\n-- Configuring done\n", "", 0},
      {"[ 10%] Building CXX object a.o\nbuild failed\n",
       "Building KALPO, its virtual printers and the kalpo tool: done (1 files compiled)\n", 1},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.make);
    const std::string input = (fs::temp_directory_path() / "kalpo-make-demo-output").string();
    std::ofstream(input) << c.make;
    FILE *pipe = popen(("awk -f " KALPO_BUILD_PROGRESS " " + input).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string shown;
    char buffer[512];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) shown.append(buffer, n);
    const int status = pclose(pipe);
    fs::remove(input);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(WEXITSTATUS(status), c.status);
  }
}

}  // namespace

namespace {

std::string traces_folder() { return std::string(KALPO_EXAMPLES) + "/../tests/traces"; }

}  // namespace

// Traces and scripts from the field: whatever stands under the name, each
// reader refuses it by name, at once, with exit status 2.
TEST_F(Tool, AFileFromTheFieldIsRefusedAtOnce) {
  ASSERT_EQ(mkfifo((dir_ + "/fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir_ + "/zero");
  fs::create_directory(dir_ + "/folder");
  file("empty", "");
  file("header", "{\"kalpo_trace\":2,\"kalpo\":\"4.0.0\",\"platform\":\"posix\",\"process\":1,\"time\":\"\"}\n");
  file("long", std::string(3 << 20, '{'));
  const std::string deep = traces_folder() + "/bad/deep_nesting.jsonl";
  const struct {
    std::string file, shown;
    bool as_trace;  // kalpo trace refuses it too
  } rows[] = {
      {dir_ + "/fifo", "a FIFO, not a file", true},         {dir_ + "/zero", "a link, not a file", true},
      {"/dev/zero", "a device, not a file", true},          {dir_ + "/folder", "a folder, not a file", true},
      {dir_ + "/long", "longer than any trace line", true}, {dir_ + "/empty", "no export call", false},
      {dir_ + "/header", "no export call", false},          {deep, "nested too deep", false},
  };
  for (const auto &row : rows) {
    std::vector<std::string> commands = {"replay ", "replay --against-printer "};
    if (row.as_trace) commands.push_back("trace ");
    for (const std::string &command : commands) {
      SCOPED_TRACE(command + row.file);
      const Outcome run = bounded(this->command(command + row.file));
      EXPECT_EQ(run.status, 2) << run.output;
      EXPECT_TRUE(has(run.output, row.shown)) << run.output;
    }
  }
}

// The trace: never waited on, never through a link, readable by its owner
// alone, never the trace being replayed; a call goes on without it.
TEST_F(Tool, TracingNeverStopsACallNorLeaks) {
  ASSERT_EQ(mkfifo((dir_ + "/fifo").c_str(), 0600), 0);
  const std::string target = file("target", "kept\n");
  fs::create_symlink(target, dir_ + "/link");
  for (const char *name : {"fifo", "link"}) {
    SCOPED_TRACE(name);
    const Outcome run = bounded(command("call Versao", "KALPO_TRACE='" + dir_ + "/" + name + "'"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(has(run.output, "tracing is off")) << run.output;
  }
  std::ifstream kept(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept\n");

  const std::string trace = dir_ + "/made.jsonl";
  ASSERT_EQ(bounded(command("call Versao", "KALPO_TRACE='" + trace + "'")).status, 0);
  EXPECT_EQ(fs::status(trace).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  const std::uintmax_t size = fs::file_size(trace);
  for (const char *replay : {"replay ", "replay --against-printer "}) {
    const Outcome run = bounded(command(replay + trace, "KALPO_TRACE='" + trace + "'"));
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_TRUE(has(run.output, "KALPO_TRACE names the trace being replayed")) << run.output;
  }
  EXPECT_EQ(fs::file_size(trace), size);
}

TEST_F(Tool, AnInterruptedReplayRemovesItsFolder) {
  const auto replay_folders = [&] {
    int n = 0;
    for (const auto &entry : fs::directory_iterator(dir_))
      n += entry.path().filename().string().starts_with("kalpo-replay-");
    return n;
  };
  for (int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    const pid_t child = fork();
    if (child == 0) {
      setenv("TMPDIR", dir_.c_str(), 1);
      execl(KALPO_TOOL, "kalpo", "replay", (traces_folder() + "/day_epson.jsonl").c_str(),
            static_cast<char *>(nullptr));
      _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (replay_folders() == 0 && std::chrono::steady_clock::now() < deadline) usleep(1000);
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(replay_folders(), 0);
  }
}

// What the tool writes: checked, and never a control character it did not
// make; a count and a text it cannot use are refused.
TEST_F(Tool, TheToolsOutputIsChecked) {
  NEEDS_VIRTUAL_PRINTER("bemafi32");
  EXPECT_NE(bounded(command("call --list >/dev/full")).status, 0);
  EXPECT_NE(bounded(command("tape >&-")).status, 0);
  for (const char *count : {"-1", "99999999999999999999999"})
    EXPECT_EQ(kalpo(std::string("tape --last ") + count).status, 2) << count;
  const Outcome cjk = kalpo("call AbreCupom BEMATECHMP20 - '\xE4\xB8\xAD\xE6\x96\x87' '' ''");
  EXPECT_EQ(cjk.status, 2) << cjk.output;
  EXPECT_TRUE(has(cjk.output, "argument 3 (nome) of KALPO_AbreCupom")) << cjk.output;

  // A closing message that would forge a coupon on the paper.
  const std::string forged =
      "OBRIGADO\n" + std::string(48, '=') + "\n  CUPOM FISCAL\nCOO:000777\nTOTAL R$ 999,99\x1b[2J";
  const std::string closing = file("closing", forged);
  for (const std::string &call :
       std::vector<std::string>{"AbreCupom BEMATECHMP20 - '' '' ''", "VendaItem BEMATECHMP20 1 A 01 F 1 2 1 '$'",
                                "Inicia_Fechamento BEMATECHMP20 0", "forma_pagamento BEMATECHMP20 Dinheiro 5",
                                "fecha_cupom BEMATECHMP20 \"$(cat " + closing + ")\""}) {
    const Outcome run = kalpo("call " + call);
    ASSERT_EQ(run.status, 0) << call << '\n' << run.output;
    EXPECT_FALSE(has(run.output, "\x1b")) << run.output;
  }
  const json tape = kalpo_json("tape --json --model BEMATECHMP20");
  ASSERT_EQ(tape["bemafi32"].size(), 1u) << tape;
  EXPECT_NE(tape["bemafi32"][0]["coo"], 777);
  EXPECT_FALSE(has(kalpo("tape --model BEMATECHMP20").output, "\x1b"));
}

// kalpo check finds one byte changed anywhere in the journal, and in a file
// that follows from it.
// A faults file that is refused (a link here) makes `fault list` fail, saying why.
TEST_F(Tool, AFaultListOfARefusedFileFails) {
  NEEDS_VIRTUAL_PRINTER("interfaceepson");
  ASSERT_EQ(kalpo("call Abredia EPSON").status, 0);
  const std::string faults = dir_ + "/sim/interfaceepson/faults";
  fs::remove(faults);
  fs::create_symlink(dir_ + "/elsewhere", faults);
  const Outcome run = kalpo("fault list --model EPSON");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_TRUE(has(run.output, "the faults are not read: ")) << run.output;
  fs::remove(faults);
  EXPECT_EQ(kalpo("fault list --model EPSON").status, 0);
}

// A hostile script's bytes never reach the terminal raw (0x9b and ESC start
// terminal commands).
TEST_F(Tool, BytesEchoedFromAFileAreEscaped) {
  file("hostile.kalpo", "Nada\x9b\x1b[2J 1\n");
  const Outcome run = kalpo("run " + dir_ + "/hostile.kalpo");
  EXPECT_EQ(run.status, 2) << run.output;
  EXPECT_TRUE(has(run.output, "unknown export 'Nada\\x9b\\x1b[2J'")) << run.output;
  EXPECT_EQ(run.output.find_first_of("\x9b\x1b"), std::string::npos) << run.output;
}

// Whatever reaches the terminal is shown, never obeyed: a byte that is not
// part of valid UTF-8 is written as '?', as a control is, and valid text is
// left as it is.  The script's own name is echoed as given.
TEST_F(Tool, BytesNotValidTextReachNoTerminal) {
  NEEDS_VIRTUAL_PRINTER("interfaceepson");
  const struct {
    const char *what, *name, *shown;
  } cases[] = {
      {"a lone 0x9B", "a\x9b", "a?"},
      {"a sequence cut short",
       "a\xe2\x82"
       "b",
       "a?b"},
      {"an overlong slash",
       "a\xc0\xaf"
       "b",
       "a??b"},
      {"a C1 control as UTF-8",
       "a\xc2\x9b"
       "b",
       "a?b"},
      {"an escape sequence", "a\x1b[2J", "a?[2J"},
      {"a surrogate", "a\xed\xa0\x80", "a???"},
      {"valid text", "a\xc3\xa7\xe2\x82\xac\xf0\x9f\x98\x80", "a\xc3\xa7\xe2\x82\xac\xf0\x9f\x98\x80"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    start_afresh();
    const std::string name = std::string(c.name) + ".kalpo";
    file(name, "Abredia \"EPSON\"\n");
    const Outcome run = kalpo("--yes run '" + dir_ + "/" + name + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(has(run.output, "/" + std::string(c.shown) + ".kalpo: 1 call(s)")) << run.output;
  }
}

TEST_F(Tool, CheckFindsAByteFlippedAnywhere) {
  NEEDS_VIRTUAL_PRINTER("interfaceepson");
  ASSERT_EQ(kalpo("--yes run " + std::string(KALPO_EXAMPLES) + "/epson.kalpo").status, 0);
  ASSERT_EQ(kalpo("check --model EPSON").status, 0) << kalpo("check --model EPSON").output;
  const std::string folder = dir_ + "/sim/interfaceepson/";
  const auto flip = [&](const std::string &name, std::size_t at) {
    std::fstream f(folder + name, std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(static_cast<std::streamoff>(at));
    const char c = static_cast<char>(f.get() ^ 1);
    f.seekp(static_cast<std::streamoff>(at));
    f.put(c);
  };
  for (const char *name : {"journal", "tape.txt", "details", "reductions"}) {
    const std::size_t size = fs::file_size(folder + name);
    for (std::size_t at = 0; at < size; at += size / 7 + 1) {
      SCOPED_TRACE(std::string(name) + " byte " + std::to_string(at));
      flip(name, at);
      const Outcome run = kalpo("check --model EPSON");
      EXPECT_EQ(run.status, 1) << run.output;
      EXPECT_TRUE(has(run.output, "fault: ")) << run.output;
      flip(name, at);
    }
  }
  EXPECT_EQ(kalpo("check --model EPSON").status, 0);
  // The counters mark beside the folder: judged too.
  flip("../interfaceepson.counters", 0);
  const Outcome marked = kalpo("check --model EPSON");
  EXPECT_EQ(marked.status, 1) << marked.output;
  EXPECT_TRUE(has(marked.output, "interfaceepson.counters: not a counters mark")) << marked.output;
  flip("../interfaceepson.counters", 0);
  EXPECT_EQ(kalpo("check --model EPSON").status, 0);
}
