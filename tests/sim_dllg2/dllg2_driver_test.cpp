// The command driver's handles, protocol refusals, returned values, time-out
// and log, and the fiscal file generator's files and refusals, through their
// exports.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/printer.h"
#include "dllg2/driver.h"
#include "seam/maker_import.h"

namespace {

struct Param {
  const char *name, *value;
  int type;
};

class Dllg2Driver : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kalpo-dllg2-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    setenv("KALPO_SIM_DIR", (root_ + "/sim").c_str(), 1);
    setenv("KALPO_DRIVE_C", (root_ + "/drive_c").c_str(), 1);
    ksim::Session session = printer().begin("test", ksim::Call::inspect);
    const ksim::State &s = session.state();
    const std::int64_t workstation = session.now() - s.clock_offset - (s.daylight_saving ? 3600 : 0);
    ASSERT_EQ(session.set_clock_offset(ksim::from_civil({2026, 12, 7, 9, 0, 0}) - workstation), ksim::Outcome::ok);
    handle_ = DLLG2_IniciaDriver("COM1");
    ASSERT_EQ(handle_, 0);
  }
  void TearDown() override {
    DLLG2_EncerraDriver(handle_);
    std::filesystem::remove_all(root_);
  }
  static ksim::Printer &printer() { return ksim::Printer::of("dllg2"); }

  // The command's answer and error code.
  std::pair<int, int> run(const char *command, std::initializer_list<Param> params = {}) {
    DLLG2_LimpaParams(handle_);
    for (const Param &p : params) DLLG2_AdicionaParam(handle_, p.name, p.value, p.type);
    const int answer = DLLG2_ExecutaComando(handle_, command);
    return {answer, DLLG2_ObtemCodErro(handle_)};
  }

  static std::string read(const std::string &file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string root_;
  int handle_ = -1;
};

TEST_F(Dllg2Driver, TheFirstInstanceIsHandleZeroAndAHeldPortKeepsItsInstance) {
  EXPECT_EQ(DLLG2_IniciaDriver("com1"), 0);
  EXPECT_EQ(DLLG2_IniciaDriver("COM2"), 1);
  EXPECT_LT(DLLG2_IniciaDriver("LPT1"), 0);
  EXPECT_EQ(DLLG2_EncerraDriver(0), 0);
  EXPECT_EQ(DLLG2_IniciaDriver("COM3"), 0);  // the lowest free handle
  EXPECT_EQ(DLLG2_ExecutaComando(7, "AbreGaveta"), -1);
  EXPECT_EQ(DLLG2_EncerraDriver(1), 0);
}

TEST_F(Dllg2Driver, ABadCommandIsRefusedWithItsCodeAndChangesNothing) {
  const struct {
    const char *command;
    std::initializer_list<Param> params;
    int code;
  } cases[] = {
      {"Inexistente", {}, 11006},
      {"LeInteiro", {{"NomeInteiro", "Coo", 7}, {"Extra", "1", 7}}, 11000},
      {"LeInteiro", {{"NomeInteiro", "Coo", 4}}, 11001},
      {"LeInteiro", {{"", "Coo", 7}}, 11001},
      {"CortaPapel;TipoCorte", {}, 11001},
      {"AcertaHorarioVerao", {{"EntradaHV", "SIM", 9}}, 11002},
      {"VendeItem",
       {{"CodAliquota", "01", 4},
        {"CodProduto", "1", 7},
        {"NomeProduto", "A", 7},
        {"PrecoUnitario", "1.000,50", 6},
        {"Quantidade", "1", 6}},
       11002},
      {"ImprimeTexto", {{"TextoLivre", "a\x01", 7}}, 11003},
      {"LeInteiro", {{"NomeInteiro", "Coo", 7}, {"NomeInteiro", "Ccf", 7}}, 11004},
      {"LeInteiro", {}, 11005},
      {"LeInteiro", {{"NomeInteiro", "Xyz", 7}}, 11011},
      {"LeInteiro", {{"NomeInteiro", "NumeroSerieECF", 7}}, 11012},
      {"EscreveInteiro", {{"NomeInteiro", "Coo", 7}, {"ValorInteiro", "5", 5}}, 11013},
      {"EncerraDocumento", {}, 15012},
      {"PagaCupom", {{"CodMeioPagamento", "Dinheiro", 4}, {"Valor", "1", 6}}, 8000},
      {"AbreCreditoDebito", {{"CodMeioPagamento", "2", 4}, {"COO", "1", 0}}, 8066},
      {"AbreGerencial", {{"CodGerencial", "21", 4}}, 8019},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.command);
    EXPECT_EQ(run(c.command, c.params), std::make_pair(1, c.code));
  }
  EXPECT_EQ(printer().state().coo, 0u);
  EXPECT_EQ(run("CortaPapel;TipoCorte=1"), std::make_pair(1, 0));
  EXPECT_EQ(run("AvancaPapel", {{"Avanco", "250", 9}}), std::make_pair(1, 0));
  EXPECT_EQ(printer().state().fed_lines, 11u);  // 250 dot rows
}

TEST_F(Dllg2Driver, ReturnedValuesComeBackInTheirLayout) {
  ASSERT_EQ(run("LeData", {{"NomeData", "Data", 7}}), std::make_pair(1, 0));
  const std::string all = DLLG2_ObtemRetornos(handle_, "", 0);
  EXPECT_EQ(all, "ValorData=\"07/12/2026\"");
  EXPECT_EQ(all.substr(11, 10), "07/12/2026");

  ASSERT_EQ(run("LeTexto", {{"NomeTexto", "NumeroSerieECF", 7}}), std::make_pair(1, 0));
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(DLLG2_Retorno(handle_, 0, "ValorTexto", 4000, buffer, 5), 4);
  EXPECT_STREQ(buffer, "KP00");
  EXPECT_EQ(buffer[5], '#');
  EXPECT_EQ(DLLG2_Retorno(handle_, 0, "ValorInteiro", 4000, buffer, 5), -1);
  EXPECT_STREQ(buffer, "KP00");
}

TEST_F(Dllg2Driver, AnAnswerLaterThanTheTimeOutIsGivenUp) {
  ASSERT_EQ(DLLG2_DefineTimeout(handle_, 1), 0);
  printer().set_fault("slow", "1500", true);
  EXPECT_EQ(run("AbreCupomFiscal"), std::make_pair(-1, 11010));
  EXPECT_EQ(printer().state().coo, 0u);
  EXPECT_EQ(run("AbreCupomFiscal"), std::make_pair(1, 0));
  EXPECT_EQ(printer().state().coo, 1u);
}

TEST_F(Dllg2Driver, TheLogIsABareLogNameInThePrintersFolderOrAFileOnDriveC) {
  std::filesystem::create_directories(root_ + "/drive_c/Logs");
  const std::pair<const char *, std::string> names[] = {
      {"driver.LOG", printer().folder() + "/driver.LOG"},
      {"c:\\logs\\..\\..\\logs\\dllg2.log", root_ + "/drive_c/Logs/dllg2.log"},
  };
  std::filesystem::remove_all(printer().folder());  // made again by the log, owner-only
  for (const auto &[name, file] : names) {
    ASSERT_EQ(DLLG2_SetaArquivoLog(name), 0) << name;
    run("LeInteiro", {{"NomeInteiro", "Coo", 7}});
    EXPECT_NE(read(file).find("[h0] LeInteiro; NomeInteiro:7=\"Coo\" => 1 erro 0 ValorInteiro=\"0\""),
              std::string::npos)
        << name;
  }
  struct stat info {};
  ASSERT_EQ(::stat(names[1].second.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(printer().folder().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(Dllg2Driver, ALogNameThatIsAPrinterFileOrNotOnDriveCIsRefused) {
  run("AbreCupomFiscal");
  const std::string journal = read(printer().folder() + "/journal");
  for (const char *name : std::initializer_list<const char *>{
           "journal", "tape.txt", "faults", "lock", "damaged.txt", "checkpoint", "dllg2.log.1", "logs\\dllg2.log",
           "..\\dllg2.log", "\\dllg2.log", "D:\\dllg2.log", "", nullptr}) {
    EXPECT_EQ(DLLG2_SetaArquivoLog(name), -2) << (name ? name : "null");
    run("LeInteiro", {{"NomeInteiro", "Coo", 7}});
  }
  EXPECT_EQ(read(printer().folder() + "/journal"), journal);
  EXPECT_EQ(printer().state().coo, 1u);
}

TEST_F(Dllg2Driver, AFullLogIsKeptAsTheOneBeforeAndANewOneBegun) {
  const std::string log = printer().folder() + "/dllg2.log";
  ASSERT_EQ(DLLG2_SetaArquivoLog("dllg2.log"), 0);
  std::filesystem::resize_file(log, dllg2::log_limit - 10);
  run("LeInteiro", {{"NomeInteiro", "Coo", 7}});
  EXPECT_EQ(std::filesystem::file_size(log + ".1"), dllg2::log_limit - 10);
  EXPECT_LT(std::filesystem::file_size(log), 1000u);
  EXPECT_NE(read(log).find("LeInteiro"), std::string::npos);
}

TEST_F(Dllg2Driver, TheGeneratorWritesOnlyAFullPathOnDriveCAndSaysWhenItCannot) {
  const std::string drive_c = root_ + "/drive_c", elsewhere = root_ + "/elsewhere.txt";
  std::filesystem::create_directories(drive_c + "/pasta");
  std::ofstream(elsewhere) << "kept";
  std::filesystem::create_symlink(elsewhere, drive_c + "/ligado.txt.part");
  for (const char *name : {"ac.txt", "\\ac.txt", "D:\\ac.txt", "C:\\pasta", "C:\\ligado.txt"})
    EXPECT_EQ(Gera_AtoCotepe1704("COM1", "3202DT", name, "2026-12-07"), -4) << name;
  EXPECT_EQ(read(elsewhere), "kept");
  EXPECT_TRUE(std::filesystem::is_directory(drive_c + "/pasta"));
  EXPECT_FALSE(std::filesystem::exists(drive_c + "/pasta.part"));

  EXPECT_EQ(Gera_AtoCotepe1704("COM1", "3202DT", "C:\\..\\..\\ac.txt", "2026-12-07"), 1);
  struct stat info {};
  ASSERT_EQ(::stat((drive_c + "/ac.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(Dllg2Driver, TheGeneratorRefusesWhatItCannotReadAndWritesNothing) {
  const std::string file = "C:\\ac.txt", local = ksim::windows_path(file);
  std::filesystem::create_directories(std::filesystem::path(local).parent_path());
  EXPECT_EQ(Gera_AtoCotepe1704("LPT1", "3202DT", file.c_str(), "2026-12-07"), -1);
  EXPECT_EQ(Gera_AtoCotepe1704("COM1", "3202DT", file.c_str(), "2026-02-30"), -2);
  EXPECT_EQ(Gera_AtoCotepe1704("COM1", "3202DT", file.c_str(), nullptr), -2);
  printer().set_fault("off", "", true);
  EXPECT_EQ(Gera_AtoCotepe1704("COM1", "3202DT", file.c_str(), "2026-12-07"), -3);
  EXPECT_FALSE(std::filesystem::exists(local));

  EXPECT_EQ(Gera_AtoCotepe1704("COM1", "3202DT", file.c_str(), "2026-12-07"), 1);
  const std::string text = read(local);
  EXPECT_EQ(text.substr(0, 3), "E01");
  EXPECT_EQ(text.find("\r\nE02"), 102u);  // a day without movement: the two identification registers
  EXPECT_EQ(text.find("\r\nE", 104), std::string::npos);
}

}  // namespace
