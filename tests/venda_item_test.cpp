#include <gtest/gtest.h>

#include <functional>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;

struct Item {
  const char *code = "789";
  const char *description = "Arroz tipo 1";
  double quantity = 1.5;
  int32_t decimals = 2;
  double price = 2.99;
  const char *discount_type = "P";
};

struct SaleCase {
  const char *name;
  const char *model;
  std::function<void(Fake &)> script;
  bool result;
  Lines lines;
  Item item = {};
  bool united_states = false;
};

void PrintTo(const SaleCase &c, std::ostream *os) { *os << c.name; }

const char *const k40 = "1234567890123456789012345678901234567890";

Lines driver_sale(const std::string &h, const char *price, const char *quantity) {
  return {"DLLG2_LimpaParams(" + h + ")",
          "DLLG2_AdicionaParam(" + h + ", \"CodAliquota\", \"T01\", 4)",
          "DLLG2_AdicionaParam(" + h + ", \"CodProduto\", \"789\", 7)",
          "DLLG2_AdicionaParam(" + h + ", \"NomeProduto\", \"Arroz tipo 1\", 7)",
          "DLLG2_AdicionaParam(" + h + ", \"PrecoUnitario\", \"" + price + "\", 6)",
          "DLLG2_AdicionaParam(" + h + ", \"Quantidade\", \"" + quantity + "\", 6)",
          "DLLG2_AdicionaParam(" + h + ", \"Unidade\", \"UN\", 7)",
          "DLLG2_ExecutaComando(" + h + ", \"VendeItem\")",
          "DLLG2_ObtemCodErro(" + h + ")"};
}

std::string digiarte_sale(const char *code, const char *description) {
  return std::string("VendaItem(68, \"001500\", \"00000002990\", \"T01\", 37, \"0000\", \"UN\", \"") + code +
         "\", 48, \"" + description + "\", \"\")";
}

const SaleCase kCases[] = {
    {"WithoutPrinter", "NOTAFISCAL", nothing, true, {}},
    {"BematechThousandths",
     "BEMATECHMFD",
     [](Fake &f) { f.returns("Bematech_FI_VendeItemDepartamento", 1); },
     true,
     {"Bematech_FI_VendeItemDepartamento(\"789\", \"Arroz tipo 1\", \"T01\", \"2990\", \"1500\", \"0000\", \"0000\", "
      "\"1\", \"UN\")",
      kBematechStatus}},
    {"BematechCutsTo29AndRefuses",
     "BEMATECHMP20",
     nothing,
     false,
     cat({{"Bematech_FI_VendeItemDepartamento(\"789\", \"12345678901234567890123456789\", \"T01\", \"2990\", "
           "\"1500\", \"0000\", \"0000\", \"1\", \"UN\")"},
          kCommunicationError}),
     {.description = k40}},
    {"SwedaPercent",
     "SWEDA7000",
     [](Fake &f) { f.returns("ECF_VendeItem", 1); },
     true,
     {"ECF_VendeItem(\"789\", \"12345678901234567890123456789\", \"T01\", \"I\", \"1500\", 3, \"2990\", \"%\", "
      "\"0000\")",
      kSwedaStatus},
     {.description = k40}},
    {"SwedaLowerCaseNoDiscountTypeHalvesToEven",
     "SWEDA7000",
     [](Fake &f) { f.returns("ECF_VendeItem", 1); },
     true,
     {"ECF_VendeItem(\"789\", \"Arroz tipo 1\", \"T01\", \"I\", \"62\", 3, \"188\", null, \"0000\")", kSwedaStatus},
     {.quantity = 0.0625, .price = 0.1875, .discount_type = "p"}},
    {"SigtronPadded",
     "SIGTRONFS345",
     [](Fake &f) { sigtron_answers({"OK"})(f); },
     true,
     cat({{kSigtronPort},
          {"DAR_DescPreUn3dF53(\"T01\", \"789\", 48, \"0000\", \"0000002990\", \"00001500\", \"UN\", "
           "\"1234567890123456789012345678901234567890\", 49)",
           kSigtronAnswer}}),
     {.description = k40}},
    {"SigtronNoAnswer", "SIGTRONFS345", [](Fake &f) { sigtron_answers({""})(f); }, false,
     cat({{kSigtronPort},
          {"DAR_DescPreUn3dF53(\"T01\", \"789\", 48, \"0000\", \"0000002990\", \"00001500\", \"UN\", "
           "\"Arroz tipo 1\", 49)",
           kSigtronAnswer, kNotExecuted}})},
    {"DarumaRegional", "DARUMA32", [](Fake &f) { daruma_errors({"000"})(f); }, true,
     cat("Daruma_FI_VendeItem(\"789\", \"Arroz tipo 1\", \"T01\", \"F\", \"1,500\", 2, \"2,99\", \"$\", \"0,00\")",
         kDarumaStatus)},
    {"DarumaUnitedStatesRefused",
     "DARUMA32",
     [](Fake &f) { daruma_errors({"050"})(f); },
     false,
     cat({{"Daruma_FI_VendeItem(\"789\", \"Arroz tipo 1\", \"T01\", \"F\", \"1,000.500\", 3, \"1,234.500\", \"$\", "
           "\"0,00\")"},
          kDarumaStatus,
          kDarumaNoPaper}),
     {.quantity = 1000.5, .decimals = 3, .price = 1234.5},
     true},
    {"DigiartePadsDescription",
     "DIGIARTE1E",
     [](Fake &f) { ecf32m_answers({"COMANDO OK"}, false)(f); },
     true,
     {"OpenCif()", digiarte_sale("0000000000789", "Arroz tipo 1        "), kEcf32mFetch, "CloseCif()"}},
    {"DigiarteCutsDescriptionRefused",
     "DIGIARTE1E",
     [](Fake &f) { ecf32m_answers({"ERR-22"}, false)(f); },
     false,
     {"OpenCif()", digiarte_sale("0000000000789", "12345678901234567890"), kEcf32mFetch, kDigiarteNotOpen,
      "CloseCif()"},
     {.description = k40}},
    {"DigiarteLettersInCode",
     "DIGIARTE1E",
     nothing,
     false,
     {"OpenCif()",
      "notice: Código de produto inválido para a ECF (deve ser um número inteiro de até 13 dígitos): \"78A\"",
      "CloseCif()"},
     {.code = "78A"}},
    {"DigiarteSignedCode",
     "DIGIARTE1E",
     nothing,
     false,
     {"OpenCif()",
      "notice: Código de produto inválido para a ECF (deve ser um número inteiro de até 13 dígitos): \"+789\"",
      "CloseCif()"},
     {.code = "+789"}},
    {"DigiarteEmptyCode",
     "DIGIARTE1E",
     nothing,
     false,
     {"OpenCif()", "notice: Código de produto inválido para a ECF (deve ser um número inteiro de até 13 dígitos): \"\"",
      "CloseCif()"},
     {.code = ""}},
    {"DigiarteCodeBeyond13Digits",
     "DIGIARTE1E",
     nothing,
     false,
     {"OpenCif()",
      "notice: Código de produto inválido para a ECF (deve ser um número inteiro de até 13 dígitos): "
      "\"10000000000000\"",
      "CloseCif()"},
     {.code = "10000000000000"}},
    {"DigiarteCodeBeyond64Bits",
     "DIGIARTE1E",
     nothing,
     false,
     {"OpenCif()",
      "notice: Código de produto inválido para a ECF (deve ser um número inteiro de até 13 dígitos): "
      "\"99999999999999999999\"",
      "CloseCif()"},
     {.code = "99999999999999999999"}},
    {"DigiarteEan13",
     "DIGIARTE1E",
     [](Fake &f) { ecf32m_answers({"COMANDO OK"}, false)(f); },
     true,
     {"OpenCif()", digiarte_sale("7891000100103", "Arroz tipo 1        "), kEcf32mFetch, "CloseCif()"},
     {.code = "7891000100103"}},
    {"DigiarteLargest13Digits",
     "DIGIARTE1E",
     [](Fake &f) { ecf32m_answers({"COMANDO OK"}, false)(f); },
     true,
     {"OpenCif()", digiarte_sale("9999999999999", "Arroz tipo 1        "), kEcf32mFetch, "CloseCif()"},
     {.code = "9999999999999"}},
    {"DigiarteLeadingZeros",
     "DIGIARTE1E",
     [](Fake &f) { ecf32m_answers({"COMANDO OK"}, false)(f); },
     true,
     {"OpenCif()", digiarte_sale("0000000000789", "Arroz tipo 1        "), kEcf32mFetch, "CloseCif()"},
     {.code = "000000000000000789"}},
    {"DigiarteNotConnected",
     "DIGIARTE1E",
     [](Fake &f) { f.returns("OpenCif", -99); },
     false,
     {"OpenCif()", kDigiarteTimeOut}},
    {"ElginGeneral", "ELGINFIT", [](Fake &f) { driver({1}, {0}, 0)(f); }, true,
     cat({usb_opening(), driver_sale("0", "2,99", "1,5")})},
    {"QuickNotRun", "DATAREGISQUICK", [](Fake &f) { driver({0}, {0}, 0)(f); }, false,
     cat({usb_opening(), driver_sale("0", "2,99", "1,5"), {"notice: 0"}})},
    {"QuickRefused", "DATAREGISQUICK", [](Fake &f) { driver({1}, {8003}, 0)(f); }, false,
     cat({usb_opening(), driver_sale("0", "2,99", "1,5"), {"notice: Quantidade inválida."}})},
    {"SerialUnitedStates",
     "DATAREGISSERIAL",
     [](Fake &f) { driver({1}, {0}, 3)(f); },
     true,
     cat({serial_opening(3), driver_sale("3", "2.99", "1.5")}),
     {},
     true},
    {"EpsonThousandthsWithDecimals", "EPSON", epson_clean, true,
     cat({epson_opening(),
          {"EPSON_Fiscal_Vender_Item(\"789\", \"Arroz tipo 1\", \"001500\", 2, \"UN\", \"002990\", 2, \"T01\", 1)",
           kEpsonState},
          {kEpsonClose}})},
    {"EpsonRefused", "EPSON",
     [](Fake &f) {
       epson_clean(f);
       f.returns("EPSON_Fiscal_Vender_Item", 1);
     },
     false,
     cat({epson_opening(),
          {"EPSON_Fiscal_Vender_Item(\"789\", \"Arroz tipo 1\", \"001500\", 2, \"UN\", \"002990\", 2, \"T01\", 1)",
           kEpsonState, kEpsonCommunication},
          {kEpsonClose}})},
    {"EpsonPortRefused", "EPSON",
     [](Fake &f) {
       epson_clean(f);
       f.returns("EPSON_Serial_Abrir_Porta", 4);
     },
     false, cat(epson_opening(), kEpsonCommunication)},
};

class VendaItem : public ::testing::TestWithParam<SaleCase> {};

TEST_P(VendaItem, Transcript) {
  const SaleCase &c = GetParam();
  Fake fake;
  if (c.united_states) fake.settings = Fake::united_states();
  c.script(fake);
  const Item &i = c.item;
  uint8_t result =
      KALPO_VendaItem(c.model, i.code, i.description, "T01", "I", i.quantity, i.decimals, i.price, i.discount_type, 0);
  EXPECT_EQ(result, c.result ? 1 : 0);
  expect_transcript(fake.lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(Models, VendaItem, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
