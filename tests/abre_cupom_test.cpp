#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;

struct OpenCase {
  const char *name;
  const char *model;
  std::function<void(Fake &)> script;
  bool result;
  Lines lines;
  const char *number = nullptr;                       // the coupon number handed back; nullptr: untouched
  const char *customer[3] = {"Ana", "Rua 1", "123"};  // name, address, document
  std::map<std::string, std::string> config = {};
};

void PrintTo(const OpenCase &c, std::ostream *os) { *os << c.name; }

const std::string kBlank50(50, ' ');

Lines driver_open_coupon(const std::string &h, const char *address = "\"Rua 1\"", const char *document = "\"123\"",
                         const char *name = "\"Ana\"") {
  return {"DLLG2_LimpaParams(" + h + ")",
          "DLLG2_AdicionaParam(" + h + ", \"EnderecoConsumidor\", " + address + ", 7)",
          "DLLG2_AdicionaParam(" + h + ", \"IdConsumidor\", " + document + ", 7)",
          "DLLG2_AdicionaParam(" + h + ", \"NomeConsumidor\", " + name + ", 7)",
          "DLLG2_ExecutaComando(" + h + ", \"AbreCupomFiscal\")",
          "DLLG2_ObtemCodErro(" + h + ")"};
}

Lines driver_read_coo(const std::string &h) {
  return {"DLLG2_LimpaParams(" + h + ")", "DLLG2_AdicionaParam(" + h + ", \"NomeInteiro\", \"Coo\", 7)",
          "DLLG2_ExecutaComando(" + h + ", \"LeInteiro\")", "DLLG2_ObtemCodErro(" + h + ")"};
}

std::string driver_read_back(const std::string &h) {
  return "DLLG2_Retorno(" + h + ", 0, \"ValorInteiro\", 4000, \"" + kBlank50 + "\", 50)";
}

void coo_42(Fake &fake) { fake.writes("DLLG2_Retorno", 4, "42", 1); }

const OpenCase kCases[] = {
    {"WithoutPrinter", "ECFZANTRELLO", nothing, true, {}},
    {"LowerCaseIdentifier", "bematechmp20", nothing, false, {}},
    {"BematechOpens",
     "BEMATECHMP20",
     [](Fake &f) {
       f.returns("Bematech_FI_AbreCupom", 1);
       f.writes("Bematech_FI_NumeroCupom", 0, "000123", 1);
     },
     true,
     {"Bematech_FI_AbreCupom(\"123\")", kBematechStatus, "Bematech_FI_NumeroCupom(\"      \")"},
     "000123"},
    {"BematechPaperHandlingEmptyDocument",
     "BEMATECHMFD",
     [](Fake &f) {
       f.returns("Bematech_FI_AbreCupom", 1);
       f.writes("Bematech_FI_NumeroCupom", 0, "000124", 1);
     },
     true,
     {"Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()", "Bematech_FI_AbreCupom(null)",
      kBematechStatus, "Bematech_FI_NumeroCupom(\"      \")"},
     "000124",
     {"", "", ""},
     {{"DESATIVAFACA", "S"}}},
    {"BematechRefuses", "BEMATECHMP20", [](Fake &f) { f.returns("Bematech_FI_AbreCupom", 0); }, false,
     cat({{"Bematech_FI_AbreCupom(\"123\")"}, kCommunicationError})},
    {"SwedaBlanksEmptyTexts",
     "SWEDA7000",
     [](Fake &f) {
       f.returns("ECF_AbreCupomMFD", 1);
       f.writes("ECF_NumeroCupom", 0, "000050", 1);
     },
     true,
     {"ECF_AbreCupomMFD(\" \", \" \", \" \")", kSwedaStatus, "ECF_NumeroCupom(\"      \")"},
     "000050",
     {"", "", ""}},
    {"SwedaDocumentNameAddress",
     "SWEDA7000",
     [](Fake &f) { f.returns("ECF_AbreCupomMFD", 1); },
     true,
     {"ECF_AbreCupomMFD(\"123\", \"Ana\", \" \")", kSwedaStatus, "ECF_NumeroCupom(\"      \")"},
     "      ",
     {"Ana", "", "123"}},
    {"SwedaRefuses", "SWEDA7000", [](Fake &f) { f.returns("ECF_AbreCupomMFD", 0); }, false,
     cat({{"ECF_AbreCupomMFD(\"123\", \"Ana\", \"Rua 1\")"}, kCommunicationError})},
    {"SigtronNumberFromAnswer", "SIGTRONFS345", [](Fake &f) { sigtron_answers({"0 004321 OK"})(f); }, true,
     cat({{kSigtronPort}, {"DAR_AbreCupomFiscal(49)", kSigtronAnswer}}), "004321"},
    {"SigtronShortAnswer", "SIGTRONFS345", [](Fake &f) { sigtron_answers({"AB12"})(f); }, true,
     cat({{kSigtronPort}, {"DAR_AbreCupomFiscal(49)", kSigtronAnswer}}), "12"},
    {"SigtronNoAnswer", "SIGTRONFS345", [](Fake &f) { sigtron_answers({""})(f); }, false,
     cat({{kSigtronPort}, {"DAR_AbreCupomFiscal(49)", kSigtronAnswer, kNotExecuted}})},
    {"SigtronErrorAnswer", "SIGTRONFS345", [](Fake &f) { sigtron_answers({"#E50"})(f); }, false,
     cat({{kSigtronPort},
          {"DAR_AbreCupomFiscal(49)", kSigtronAnswer, "BlockInput(FALSE)",
           "notice: Erro na ECF nº :50\\r\\nSem papel[ #E50 ]", kNotExecuted}})},
    {"DarumaOpens", "DARUMA32",
     [](Fake &f) {
       daruma_errors({"000"})(f);
       f.writes("Daruma_FI_NumeroCupom", 0, "000777", 1);
     },
     true, cat("Daruma_FI_AbreCupom(\"123\")", kDarumaStatus, "Daruma_FI_NumeroCupom(\"      \")", kDarumaStatus),
     "000777"},
    {"DarumaRefuses",
     "DARUMA32",
     [](Fake &f) { daruma_errors({"050"})(f); },
     false,
     cat("Daruma_FI_AbreCupom(null)", kDarumaStatus, kDarumaNoPaper),
     nullptr,
     {"Ana", "Rua 1", ""}},
    {"DarumaNumberUnreadable", "DARUMA32",
     [](Fake &f) {
       daruma_errors({"000", "050"})(f);
       f.writes("Daruma_FI_NumeroCupom", 0, "000778", 1);
     },
     false,
     cat({cat("Daruma_FI_AbreCupom(\"123\")", kDarumaStatus, "Daruma_FI_NumeroCupom(\"      \")", kDarumaStatus),
          kDarumaNoPaper})},
    {"DigiarteOpens",
     "DIGIARTE1E",
     [](Fake &f) {
       ecf32m_answers({"COMANDO OK", "R41:001234"}, false)(f);
     },
     true,
     {"OpenCif()", "AbreCupomFiscal()", kEcf32mFetch, "EcfPar(\"41\")", kEcf32mFetch, "CloseCif()"},
     "001234"},
    {"DigiarteRefuses",
     "DIGIARTE1E",
     [](Fake &f) { ecf32m_answers({"ERR-22"}, false)(f); },
     false,
     {"OpenCif()", "AbreCupomFiscal()", kEcf32mFetch, kDigiarteNotOpen, "CloseCif()"}},
    {"DigiarteNotConnected",
     "DIGIARTE1E",
     [](Fake &f) { f.returns("OpenCif", -99); },
     false,
     {"OpenCif()", kDigiarteTimeOut}},
    {"ElginCutsPaperFirst",
     "ELGINFIT",
     [](Fake &f) {
       driver({1}, {0}, 5)(f);
       coo_42(f);
     },
     true,
     cat({{"DLLG2_ExecutaComando(0, \"CortaPapel;TipoCorte=1\")"},
          usb_opening(),
          driver_open_coupon("0"),
          driver_read_coo("0"),
          {driver_read_back("0")}}),
     "42",
     {"Ana", "Rua 1", "123"},
     {{"DESATIVAFACA", "S"}}},
    {"QuickNoCutEmptyTextsAsNull",
     "DATAREGISQUICK",
     [](Fake &f) {
       driver({1}, {0}, 0)(f);
       coo_42(f);
     },
     true,
     cat({usb_opening(),
          driver_open_coupon("0", "null", "null", "null"),
          driver_read_coo("0"),
          {driver_read_back("0")}}),
     "42",
     {"", "", ""},
     {{"DESATIVAFACA", "S"}}},
    {"ElginDriverNotStarted", "ELGINFIT", [](Fake &f) { f.returns("DLLG2_IniciaDriver", -1); }, false,
     cat({usb_opening(), {"notice: Erro -1"}})},
    {"ElginCommandNotRun", "ELGINFIT", [](Fake &f) { driver({0}, {5}, 0)(f); }, false,
     cat({usb_opening(), driver_open_coupon("0"), {"notice: 5"}})},
    {"ElginCommandRefused", "ELGINFIT", [](Fake &f) { driver({1}, {8000}, 0)(f); }, false,
     cat({usb_opening(), driver_open_coupon("0"), {"notice: Comando fora de seqüência."}})},
    {"ElginNumberRefused", "ELGINFIT",
     [](Fake &f) {
       driver({1}, {0, 1}, 0)(f);
     },
     true,
     cat({usb_opening(),
          driver_open_coupon("0"),
          driver_read_coo("0"),
          {"notice: Não foi possível alocar mais memória.", "notice: Não Foi possível capturar o número do COO!"}})},
    {"ElginNumberNotRun", "ELGINFIT",
     [](Fake &f) {
       driver({1, 0}, {0}, 0)(f);
     },
     true, cat({usb_opening(), driver_open_coupon("0"), driver_read_coo("0"), {"notice: 0"}})},
    {"SerialOpensOnItsHandle",
     "DATAREGISSERIAL",
     [](Fake &f) {
       driver({1}, {0}, 3)(f);
       coo_42(f);
     },
     true,
     cat({serial_opening(3), driver_open_coupon("3"), driver_read_coo("3"), {driver_read_back("3")}}),
     "42",
     {"Ana", "Rua 1", "123"},
     {{"DESATIVAFACA", "S"}}},
    {"SerialRefused", "DATAREGISSERIAL", [](Fake &f) { driver({1}, {8000}, 3)(f); }, false,
     cat({serial_opening(3), driver_open_coupon("3"), {"notice: Comando fora de seqüência."}})},
    {"EpsonOpensEmptyAsEmpty",
     "EPSON",
     epson_clean,
     true,
     cat(epson_opening(), "EPSON_Fiscal_Abrir_Cupom(\"123\", \"Ana\", \"\", \"\", 1)", kEpsonState, kEpsonClose),
     nullptr,
     {"Ana", "", "123"}},
    {"EpsonPortRefused", "EPSON",
     [](Fake &f) {
       epson_clean(f);
       f.returns("EPSON_Serial_Abrir_Porta", 1);
     },
     false, cat(epson_opening(), kEpsonCommunication)},
    {"EpsonRefuses", "EPSON",
     [](Fake &f) {
       epson_clean(f);
       f.returns("EPSON_Fiscal_Abrir_Cupom", 2);
     },
     false,
     cat({epson_opening(),
          {"EPSON_Fiscal_Abrir_Cupom(\"123\", \"Ana\", \"Rua 1\", \"\", 1)", kEpsonState, kEpsonCommunication},
          {kEpsonClose}})},
};

class AbreCupom : public ::testing::TestWithParam<OpenCase> {};

TEST_P(AbreCupom, Transcript) {
  const OpenCase &c = GetParam();
  Fake fake;
  fake.config = c.config;
  c.script(fake);
  const char *number = "untouched";
  uint8_t result = KALPO_AbreCupom(c.model, &number, c.customer[0], c.customer[1], c.customer[2]);
  EXPECT_EQ(result, c.result ? 1 : 0);
  expect_transcript(fake.lines, c.lines);
  EXPECT_STREQ(number, c.number ? c.number : "untouched");
}

INSTANTIATE_TEST_SUITE_P(Models, AbreCupom, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
