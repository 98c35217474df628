// The configuration file's profile semantics and the connections' readings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ini.h"
#include "frame/config.h"
#include "frame/state.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "platform/platform.h"
#include "support/fake.h"

namespace {

using kalpo::test::Fake;
namespace makers = kalpo::makers;

TEST(Profile, IniLookupFollowsTheProfileFunctions) {
  const std::string ini =
      "; configuration\r\n"
      "[Outra]\r\nPORTACOM=COM9\r\n"
      " [ ecf ] \r\n"
      "  portacom = COM2:19200,e,8,1  \r\n"
      "VAZIA=\r\n"
      "ASPAS=\"Volte sempre!\"\r\n"
      "PORTACOM=COM7\r\n"
      "SEMIGUAL\r\n"
      "[ECF]\nMENSAGEM=segunda seção\n";
  struct Row {
    const char *section, *key;
    bool found;
    const char *value;
  };
  const std::vector<Row> rows = {
      {"ECF", "PORTACOM", true, "COM2:19200,e,8,1"},  // names without regard to case, first key wins
      {"ecf", "PortaCom", true, "COM2:19200,e,8,1"},
      {"ECF", "VAZIA", true, ""},                  // present but empty is empty, not the default
      {"ECF", "ASPAS", true, "Volte sempre!"},     // one pair of quotes dropped
      {"ECF", "MENSAGEM", true, "segunda seção"},  // a repeated section is searched too
      {"ECF", "SEMIGUAL", false, ""},
      {"ECF", "FALTA", false, ""},
      {"NADA", "PORTACOM", false, ""},
      {"Outra", "PORTACOM", true, "COM9"},
  };
  // The index answers as the lookup does, the rows asked of one index in turn.
  kalpo::base::ini::Index index;
  index.reset(ini);
  for (const Row &row : rows) {
    std::string value = "(none)", indexed = "(none)";
    EXPECT_EQ(kalpo::base::ini::lookup(ini, row.section, row.key, value), row.found) << row.key;
    EXPECT_EQ(index.lookup(row.section, row.key, indexed), row.found) << row.key;
    if (row.found) {
      EXPECT_EQ(value, row.value) << row.key;
      EXPECT_EQ(indexed, row.value) << row.key;
    }
  }
}

TEST(Profile, IntegerReadingFallsBackWhenNotAnInteger) {
  struct Row {
    const char *value;  // nullptr: key missing
    int32_t expected;
  };
  const std::vector<Row> rows = {{nullptr, 115200}, {"9600", 9600},    {" 19200 ", 19200},
                                 {"", 115200},      {"fast", 115200},  {"96OO", 115200},
                                 {"-1", -1},        {"+38400", 38400}, {"99999999999", 115200}};
  for (const Row &row : rows) {
    Fake fake;
    if (row.value) fake.config["VELOCIDADE"] = row.value;
    EXPECT_EQ(kalpo::frame::config::read_int("VELOCIDADE", 115200), row.expected)
        << (row.value ? row.value : "(missing)");
  }
}

TEST(Profile, PaperHandlingNeedsExactlyUpperCaseS) {
  for (auto [value, on] : std::vector<std::pair<const char *, bool>>{
           {"S", true}, {"s", false}, {"N", false}, {"", false}, {"SIM", false}}) {
    Fake fake;
    fake.config["DESATIVAFACA"] = value;
    EXPECT_EQ(kalpo::frame::config::paper_handling_on(), on) << value;
  }
}

TEST(Connections, EpsonPortNumberIsTheRunOfDigitsAfterCom) {
  struct Row {
    const char *portacom;
    int32_t port;  // -1: none
  };
  const std::vector<Row> rows = {{"COM1", 1}, {"COM3", 3}, {"COM10", 10},        {"COM2:19200,e,8,1", 2},
                                 {"com4", 4}, {"COM", -1}, {"COMX", -1},         {"LPT1", -1},
                                 {"", -1},    {"C", -1},   {"COM1234567890", -1}};
  for (const Row &row : rows) {
    auto port = makers::epson_port_number(row.portacom);
    EXPECT_EQ(port.value_or(-1), row.port) << row.portacom;
  }
}

TEST(Connections, DriverPortNameKeepsAllItsDigits) {
  struct Row {
    const char *portacom, *name;
  };
  const std::vector<Row> rows = {{"COM1", "COM1"},  {"COM10", "COM10"}, {"COM2:19200,e,8,1", "COM2"}, {"USB", "USB"},
                                 {"USB1X", "USB1"}, {"", ""},           {"COM3,9600", "COM3"}};
  for (const Row &row : rows) EXPECT_EQ(makers::dllg2_port_name(row.portacom), row.name) << row.portacom;
}

TEST(Connections, EpsonOpensAt38400OrNamesTheBadSetting) {
  {
    Fake fake;
    fake.config_file = false;
    fake.returns("EPSON_Obter_Estado_Impressora", 1);
    makers::epson_open();
    ASSERT_FALSE(fake.lines.empty());
    EXPECT_EQ(fake.lines.front(), "EPSON_Serial_Abrir_Porta(38400, 1)");
  }
  {
    Fake fake;
    fake.config["PORTACOM"] = "COM10";
    fake.returns("EPSON_Obter_Estado_Impressora", 1);
    makers::epson_open();
    EXPECT_EQ(fake.lines.front(), "EPSON_Serial_Abrir_Porta(38400, 10)");
  }
  {
    Fake fake;
    fake.config["PORTACOM"] = "LPT1";
    EXPECT_FALSE(makers::epson_open());
    EXPECT_EQ(fake.lines, std::vector<std::string>{"notice: Porta de comunicação inválida em PORTACOM: \"LPT1\""});
  }
}

TEST(Connections, SerialOpeningReadsSpeedAndParity) {
  struct Row {
    const char *parity;  // nullptr: key missing
    char expected;
  };
  const std::vector<Row> rows = {{nullptr, 'n'}, {"n", 'n'}, {"N", 'n'}, {"E", 'e'},   {"o", 'o'},
                                 {"O", 'o'},     {"x", 'e'}, {"", 'e'},  {"none", 'e'}};
  for (const Row &row : rows) {
    Fake fake;
    if (row.parity) fake.config["PARIDADE"] = row.parity;
    fake.returns("DLLG2_IniciaDriver", 3);
    EXPECT_EQ(makers::serial_open(makers::SerialSetup::Full), 3);
    EXPECT_EQ(kalpo::frame::state().cParidade, row.expected) << (row.parity ? row.parity : "(missing)");
    EXPECT_EQ(kalpo::frame::state().iVelocidade, 115200);
    EXPECT_EQ(kalpo::frame::state().iHandleDllG2, 3);
    EXPECT_EQ(fake.lines,
              (std::vector<std::string>{"DLLG2_IniciaDriver(\"COM1\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")",
                                        "DLLG2_DefineTimeout(3, 10)"}));
  }
}

TEST(Connections, SerialSetupVariants) {
  Fake fake;
  fake.config["PORTACOM"] = "COM12:9600";
  fake.config["VELOCIDADE"] = "9600";
  fake.returns("DLLG2_IniciaDriver", -4);
  makers::serial_open(makers::SerialSetup::NoTimeout);
  EXPECT_EQ(kalpo::frame::state().iVelocidade, 9600);
  makers::serial_open(makers::SerialSetup::PortOnly);
  EXPECT_EQ(fake.lines,
            (std::vector<std::string>{"DLLG2_IniciaDriver(\"COM12\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")",
                                      "DLLG2_IniciaDriver(\"COM12\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"}));
  EXPECT_EQ(kalpo::frame::state().iHandleDllG2, -4);
}

TEST(Connections, UsbRefusalIsReported) {
  {
    Fake fake;
    fake.returns("DLLG2_IniciaDriver", 0);
    EXPECT_TRUE(makers::usb_open());
  }
  {
    Fake fake;
    fake.returns("DLLG2_IniciaDriver", -2);
    EXPECT_FALSE(makers::usb_open(makers::UsbRefusal::ErroPrefix));
    EXPECT_EQ(fake.lines.back(), "notice: erro: -2");
  }
  {
    Fake fake;
    fake.returns("DLLG2_IniciaDriver", -2);
    EXPECT_FALSE(makers::usb_open());
    EXPECT_EQ(fake.lines.back().substr(0, 8), "notice: ");
    EXPECT_NE(fake.lines.back(), "notice: ") << "a refusal is never an empty notice";
  }
}

TEST(Connections, PaperHandling) {
  struct Row {
    const char *value;
    kalpo::frame::Model model;
    std::vector<std::string> bematech, elgin;
  };
  const std::vector<Row> rows = {
      {"S",
       kalpo::frame::Model::ElginFit,
       {"Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()"},
       {"DLLG2_ExecutaComando(7, \"CortaPapel;TipoCorte=1\")"}},
      {"S",
       kalpo::frame::Model::DataregisQuick,
       {"Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()"},
       {}},
      {"s", kalpo::frame::Model::ElginFit, {}, {}},
  };
  for (const Row &row : rows) {
    Fake fake;
    fake.config["DESATIVAFACA"] = row.value;
    kalpo::frame::state().iHandleDllG2 = 7;
    makers::bematech_paper_handling();
    EXPECT_EQ(fake.lines, row.bematech);
    fake.clear();
    makers::elgin_paper_cut(row.model);
    EXPECT_EQ(fake.lines, row.elgin);
  }
}

TEST(CommandDriver, CommandOrderAndReadBack) {
  Fake fake;
  fake.returns("DLLG2_ExecutaComando", 1);
  fake.writes("DLLG2_Retorno", 4, "001234", 1);
  int32_t answer = makers::dllg2::execute(0, "LeInteiro", {{"NomeInteiro", "Coo", makers::dllg2::kText}});
  EXPECT_EQ(answer, 1);
  makers::dllg2::clear_read_back();
  EXPECT_EQ(makers::dllg2::read_back(0, "ValorInteiro"), "001234");
  EXPECT_EQ(fake.lines, (std::vector<std::string>{
                            "DLLG2_LimpaParams(0)", "DLLG2_AdicionaParam(0, \"NomeInteiro\", \"Coo\", 7)",
                            "DLLG2_ExecutaComando(0, \"LeInteiro\")",
                            "DLLG2_Retorno(0, 0, \"ValorInteiro\", 4000, \"" + std::string(50, ' ') + "\", 50)"}));
}

TEST(CommandDriver, ReadBackNeverRunsPastFiftyCharacters) {
  Fake fake;
  fake.on("DLLG2_Retorno", [](kalpo::test::Call &c) { c.write(4, std::string(50, 'X'), false); });
  EXPECT_EQ(kalpo::makers::dllg2::read_back(0, "ValorTexto"), std::string(50, 'X'));
}

}  // namespace
