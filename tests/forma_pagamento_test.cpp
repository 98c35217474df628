#include <gtest/gtest.h>

#include <functional>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

struct PaymentRow {
  const char *name;
  const char *model;
  std::string forma;  // UTF-8
  double valor;
  std::function<void(Fake &)> script;
  bool result;
  Lines lines;
};

Lines pays(int handle, const std::string &forma, const std::string &valor) {
  std::string h = std::to_string(handle);
  return {"DLLG2_LimpaParams(" + h + ")",
          "DLLG2_AdicionaParam(" + h + ", \"CodMeioPagamento\", " + forma + ", 4)",
          "DLLG2_AdicionaParam(" + h + ", \"NomeMeioPagamento\", " + forma + ", 7)",
          "DLLG2_AdicionaParam(" + h + ", \"Valor\", \"" + valor + "\", 6)",
          "DLLG2_ExecutaComando(" + h + ", \"PagaCupom\")",
          "DLLG2_ObtemCodErro(" + h + ")"};
}

TEST(FormaPagamento, TranscriptPerModelAndPath) {
  const std::vector<PaymentRow> rows = {
      {"bematech pays",
       "BEMATECHMP20",
       "Dinheiro",
       1.5,
       [](Fake &f) { f.returns("Bematech_FI_EfetuaFormaPagamento", 1); },
       true,
       {"Bematech_FI_EfetuaFormaPagamento(\"Dinheiro\", \"000000000150\")", kBematechStatus}},
      {"bematech refused", "BEMATECHMFD", "Cartão", 10, nothing, false,
       cat({{"Bematech_FI_EfetuaFormaPagamento(\"Cartão\", \"000000001000\")"}, kCommunicationError})},
      {"bematech empty form as null",
       "BEMATECHMFD",
       "",
       2,
       [](Fake &f) { f.returns("Bematech_FI_EfetuaFormaPagamento", 1); },
       true,
       {"Bematech_FI_EfetuaFormaPagamento(null, \"000000000200\")", kBematechStatus}},
      {"sweda pays",
       "SWEDA7000",
       "Dinheiro",
       1.5,
       [](Fake &f) { f.returns("ECF_EfetuaFormaPagamento", 1); },
       true,
       {"ECF_EfetuaFormaPagamento(\"Dinheiro\", \"000000000150\")", kSwedaStatus}},
      {"sweda refused", "SWEDA7000", "", 1.5, nothing, false,
       cat({{"ECF_EfetuaFormaPagamento(null, \"000000000150\")"}, kCommunicationError})},
      {"sigtron sends the first character",
       "SIGTRONFS345",
       "Dinheiro",
       1.5,
       [](Fake &f) { sigtron_answers({".+0000"})(f); },
       true,
       {"DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_DescFormPag('D', \"150\", \" \", 49)", kSigtronAnswer}},
      {"sigtron without an answer still succeeds",
       "SIGTRONFS345",
       "Cheque",
       1.5,
       nothing,
       true,
       {"DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_DescFormPag('C', \"150\", \" \", 49)", kSigtronAnswer}},
      {"sigtron error answer",
       "SIGTRONFS345",
       "Xis",
       3,
       [](Fake &f) { sigtron_answers({".E38"})(f); },
       false,
       {"DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_DescFormPag('X', \"300\", \" \", 49)", kSigtronAnswer,
        "BlockInput(FALSE)", "notice: Erro na ECF nº :38\\r\\nForma de pagamento selecionada não é válida[ .E38 ]"}},
      {"sigtron empty form sends nothing",
       "SIGTRONFS345",
       "",
       1.5,
       nothing,
       false,
       {"notice: Forma de pagamento não informada!"}},
      {"daruma pays", "DARUMA32", "Dinheiro", 1.5, [](Fake &f) { daruma_errors({"000"})(f); }, true,
       cat({{"Daruma_FI_EfetuaFormaPagamento(\"Dinheiro\", \"1,50\")"}, kDarumaStatus})},
      {"daruma refused", "DARUMA32", "", 1.5, [](Fake &f) { daruma_errors({"038"})(f); }, false,
       cat({{"Daruma_FI_EfetuaFormaPagamento(null, \"1,50\")"},
            kDarumaStatus,
            {"BlockInput(FALSE)", "notice: Erro na ECF nº :38\\r\\nForma de pagamento selecionada não é válida"}})},
      {"digiarte pays",
       "DIGIARTE1E",
       "01",
       1.5,
       [](Fake &f) { ecf32m_answers({"COMANDO OK"})(f); },
       true,
       {"OpenCif()", "Pagamento(\"01\", \"000000000000150\", 48)", kEcf32mFetch, "CloseCif()"}},
      {"digiarte empty form as empty text, refused",
       "DIGIARTE1E",
       "",
       1.5,
       [](Fake &f) { ecf32m_answers({"ERR-22"})(f); },
       false,
       {"OpenCif()", "Pagamento(\"\", \"000000000000150\", 48)", kEcf32mFetch,
        "notice: (-22) Necessário abrir cupom fiscal", "CloseCif()"}},
      {"digiarte not opened",
       "DIGIARTE1E",
       "01",
       1.5,
       [](Fake &f) { f.returns("OpenCif", -87); },
       false,
       {"OpenCif()", "notice: Falha do serial do ECF!"}},
      {"elgin pays", "ELGINFIT", "Dinheiro", 1.5, driver(1, 0), true,
       cat({usb_opening(), pays(0, "\"Dinheiro\"", "1,5")})},
      {"quick empty form as null", "DATAREGISQUICK", "", 1.5, driver(1, 0), true,
       cat({usb_opening(), pays(0, "null", "1,5")})},
      {"elgin error code refuses", "ELGINFIT", "Vale", 1.5, driver(1, 8014), false,
       cat({usb_opening(), pays(0, "\"Vale\"", "1,5"), {"notice: Meio de Pagamento não definido."}})},
      {"quick command not run refuses", "DATAREGISQUICK", "Vale", 1.5, driver(0, 0), false,
       cat({usb_opening(), pays(0, "\"Vale\"", "1,5"), {"notice: Retorno OK."}})},
      {"elgin driver not started", "ELGINFIT", "Vale", 1.5, driver(1, 0, -2), false,
       cat({usb_opening(), {"notice: Erro -2"}})},
      {"serial pays on its handle", "DATAREGISSERIAL", "Dinheiro", 1.5, driver(1, 0, 3), true,
       cat({serial_opening(3), pays(3, "\"Dinheiro\"", "1,5")})},
      {"serial negative answer refuses", "DATAREGISSERIAL", "Dinheiro", 1.5, driver(-1, 11007, 3), false,
       cat({serial_opening(3),
            pays(3, "\"Dinheiro\"", "1,5"),
            {"notice: Estado atual não permite a execução deste comando."}})},
      {"epson pays", "EPSON", "Dinheiro", 1.5, epson_clean, true,
       cat({epson_opening(),
            {"EPSON_Fiscal_Pagamento(\"Dinheiro\", \"001500\", 3, \"\", \"\")", kEpsonState,
             "EPSON_Serial_Fechar_Porta()"}})},
      {"epson refused, empty form as empty text", "EPSON", "", 1.5,
       [](Fake &f) {
         epson_clean(f);
         f.returns("EPSON_Fiscal_Pagamento", 1);
       },
       false,
       cat({epson_opening(),
            {"EPSON_Fiscal_Pagamento(\"\", \"001500\", 3, \"\", \"\")", kEpsonState, kEpsonCommunication,
             "EPSON_Serial_Fechar_Porta()"}})},
      {"epson port refused", "EPSON", "Dinheiro", 1.5,
       [](Fake &f) {
         epson_clean(f);
         f.returns("EPSON_Serial_Abrir_Porta", 5);
       },
       false, cat({epson_opening(), {kEpsonCommunication}})},
      {"without printer", "ECFZANTRELLO", "Dinheiro", 1.5, nothing, true, {}},
      {"invoice", "NOTAFISCAL", "Dinheiro", 1.5, nothing, true, {}},
      {"unknown identifier", "epson", "Dinheiro", 1.5, nothing, false, {}},
  };
  for (const PaymentRow &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    row.script(fake);
    std::string forma = cp(row.forma);
    EXPECT_EQ(KALPO_forma_pagamento(row.model, forma.c_str(), row.valor), row.result ? 1 : 0);
    EXPECT_EQ(fake.lines, row.lines);
  }
}

// The amount texts under Brazilian and United States regional settings.
TEST(FormaPagamento, AmountConversions) {
  struct Row {
    const char *model;
    double valor;
    bool united_states;
    std::string call;
  };
  const std::vector<Row> rows = {
      {"BEMATECHMP20", 1.5, false, "Bematech_FI_EfetuaFormaPagamento(\"F\", \"000000000150\")"},
      {"BEMATECHMP20", 1000.5, true, "Bematech_FI_EfetuaFormaPagamento(\"F\", \"000000100050\")"},
      {"BEMATECHMFD", 0.125, false, "Bematech_FI_EfetuaFormaPagamento(\"F\", \"000000000012\")"},
      {"SWEDA7000", 1000.5, false, "ECF_EfetuaFormaPagamento(\"F\", \"000000100050\")"},
      {"SIGTRONFS345", 1.5, true, "DAR_DescFormPag('F', \"150\", \" \", 49)"},
      {"SIGTRONFS345", 1000.5, false, "DAR_DescFormPag('F', \"100050\", \" \", 49)"},
      {"DARUMA32", 1.5, false, "Daruma_FI_EfetuaFormaPagamento(\"F\", \"1,50\")"},
      {"DARUMA32", 1000.5, false, "Daruma_FI_EfetuaFormaPagamento(\"F\", \"1.000,50\")"},
      {"DARUMA32", 1.5, true, "Daruma_FI_EfetuaFormaPagamento(\"F\", \"1.50\")"},
      {"DARUMA32", 1000.5, true, "Daruma_FI_EfetuaFormaPagamento(\"F\", \"1,000.50\")"},
      {"DIGIARTE1E", 1.5, true, "Pagamento(\"F\", \"000000000000150\", 48)"},
      {"DIGIARTE1E", 1000.5, false, "Pagamento(\"F\", \"000000000100050\", 48)"},
      {"ELGINFIT", 1.5, false, "DLLG2_AdicionaParam(0, \"Valor\", \"1,5\", 6)"},
      {"ELGINFIT", 1000.5, false, "DLLG2_AdicionaParam(0, \"Valor\", \"1000,5\", 6)"},
      {"DATAREGISQUICK", 1.5, true, "DLLG2_AdicionaParam(0, \"Valor\", \"1.5\", 6)"},
      {"DATAREGISSERIAL", 1000.5, true, "DLLG2_AdicionaParam(0, \"Valor\", \"1000.5\", 6)"},
      {"DATAREGISSERIAL", 2, false, "DLLG2_AdicionaParam(0, \"Valor\", \"2\", 6)"},
      {"EPSON", 1.5, false, "EPSON_Fiscal_Pagamento(\"F\", \"001500\", 3, \"\", \"\")"},
      {"EPSON", 1000.5, true, "EPSON_Fiscal_Pagamento(\"F\", \"1000500\", 3, \"\", \"\")"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(std::string(row.model) + " " + std::to_string(row.valor) + (row.united_states ? " US" : " BR"));
    Fake fake;
    if (row.united_states) fake.settings = Fake::united_states();
    epson_clean(fake);
    KALPO_forma_pagamento(row.model, "F", row.valor);
    EXPECT_NE(std::find(fake.lines.begin(), fake.lines.end(), row.call), fake.lines.end())
        << testing::PrintToString(fake.lines);
  }
}

}  // namespace
}  // namespace kalpo::test
