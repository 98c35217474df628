#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

// The row's arguments: the payment form (UTF-8 here) and the amount.
Lines pays(int h, const std::string &forma, const std::string &valor) {
  return command(h, "PagaCupom",
                 {"DLLG2_AdicionaParam(" + std::to_string(h) + ", \"CodMeioPagamento\", " + forma + ", 4)",
                  "DLLG2_AdicionaParam(" + std::to_string(h) + ", \"NomeMeioPagamento\", " + forma + ", 7)",
                  param(h, "Valor", valor, 6)});
}
std::string sigtron(char forma, const std::string &valor) {
  return std::string("DAR_DescFormPag('") + forma + "', \"" + valor + "\", \" \", 49)";
}
std::string epson(const std::string &forma, const std::string &valor) {
  return "EPSON_Fiscal_Pagamento(\"" + forma + "\", \"" + valor + "\", 3, \"\", \"\")";
}

TEST(FormaPagamento, TranscriptPerModelAndPath) {
  const std::vector<Row> rows = {
      {"without printer", "ECFZANTRELLO", nothing, 1, {}, {"Dinheiro", "1.5"}},
      {"invoice", "NOTAFISCAL", nothing, 1, {}, {"Dinheiro", "1.5"}},
      {"unknown identifier", "epson", nothing, 0, {}, {"Dinheiro", "1.5"}},
      {"bematech hundredths padded to 12, united states",
       "BEMATECHMP20",
       all({united_states, returns("Bematech_FI_EfetuaFormaPagamento", 1)}),
       1,
       {"Bematech_FI_EfetuaFormaPagamento(\"Dinheiro\", \"000000100050\")", kBematechStatus},
       {"Dinheiro", "1000.5"}},
      {"bematech refused, empty form as null",
       "BEMATECHMFD",
       nothing,
       0,
       cat("Bematech_FI_EfetuaFormaPagamento(null, \"000000000012\")", kCommunicationError),
       {"", "0.125"}},
      {"sweda pays",
       "SWEDA7000",
       returns("ECF_EfetuaFormaPagamento", 1),
       1,
       {"ECF_EfetuaFormaPagamento(\"Cartão\", \"000000000150\")", kSwedaStatus},
       {"Cartão", "1.5"}},
      {"sweda refused, empty form as null",
       "SWEDA7000",
       nothing,
       0,
       cat("ECF_EfetuaFormaPagamento(null, \"000000000150\")", kCommunicationError),
       {"", "1.5"}},
      {"sigtron sends the first character",
       "SIGTRONFS345",
       sigtron_answers({".+0000"}),
       1,
       {kSigtronPort, sigtron('D', "100050"), kSigtronAnswer},
       {"Dinheiro", "1000.5"}},
      {"sigtron without an answer still succeeds",
       "SIGTRONFS345",
       nothing,
       1,
       {kSigtronPort, sigtron('C', "150"), kSigtronAnswer},
       {"Cheque", "1.5"}},
      {"sigtron error answer",
       "SIGTRONFS345",
       sigtron_answers({".E38"}),
       0,
       {kSigtronPort, sigtron('X', "300"), kSigtronAnswer, "BlockInput(FALSE)",
        "notice: Erro na ECF nº :38\\r\\nForma de pagamento selecionada não é válida[ .E38 ]"},
       {"Xis", "3"}},
      {"sigtron empty form sends nothing",
       "SIGTRONFS345",
       nothing,
       0,
       {"notice: Forma de pagamento não informada!"},
       {"", "1.5"}},
      {"daruma regional",
       "DARUMA32",
       daruma_errors({"000"}),
       1,
       cat("Daruma_FI_EfetuaFormaPagamento(\"Dinheiro\", \"1.000,50\")", kDarumaStatus),
       {"Dinheiro", "1000.5"}},
      {"daruma united states, refused, empty form as null",
       "DARUMA32",
       all({united_states, daruma_errors({"038"})}),
       0,
       cat("Daruma_FI_EfetuaFormaPagamento(null, \"1,000.50\")", kDarumaStatus, "BlockInput(FALSE)",
           "notice: Erro na ECF nº :38\\r\\nForma de pagamento selecionada não é válida"),
       {"", "1000.5"}},
      {"digiarte hundredths padded to 15",
       "DIGIARTE1E",
       ecf32m_answers({"COMANDO OK"}),
       1,
       {"OpenCif()", "Pagamento(\"01\", \"000000000100050\", 48)", kEcf32mFetch, "CloseCif()"},
       {"01", "1000.5"}},
      {"digiarte refused, empty form as empty text",
       "DIGIARTE1E",
       ecf32m_answers({"ERR-22"}),
       0,
       {"OpenCif()", "Pagamento(\"\", \"000000000000150\", 48)", kEcf32mFetch, kDigiarteNotOpen, "CloseCif()"},
       {"", "1.5"}},
      {"elgin: the form as code and name",
       "ELGINFIT",
       driver(1, 0),
       1,
       cat(usb_opening(), pays(0, "\"Dinheiro\"", "1000,5")),
       {"Dinheiro", "1000.5"}},
      {"quick empty form as null",
       "DATAREGISQUICK",
       driver(1, 0),
       1,
       cat(usb_opening(), pays(0, "null", "2")),
       {"", "2"}},
      {"elgin refused: the code's text",
       "ELGINFIT",
       driver(-2, 5),
       0,
       cat(usb_opening(), pays(0, "\"Vale\"", "1,5"), "notice: Erro 5"),
       {"Vale", "1.5"}},
      {"serial on its handle, united states",
       "DATAREGISSERIAL",
       all({united_states, driver(1, 0, 3)}),
       1,
       cat(serial_opening(3), pays(3, "\"Dinheiro\"", "1.5")),
       {"Dinheiro", "1.5"}},
      {"epson thousandths padded to 6",
       "EPSON",
       epson_clean,
       1,
       cat(epson_opening(), epson("Dinheiro", "001500"), kEpsonState, kEpsonClose),
       {"Dinheiro", "1.5"}},
      {"epson refused, wider than 6, empty form as empty text",
       "EPSON",
       all({epson_clean, returns("EPSON_Fiscal_Pagamento", 1)}),
       0,
       cat(epson_opening(), epson("", "1000500"), kEpsonState, kEpsonCommunication, kEpsonClose),
       {"", "1000.5"}},
  };
  run(rows, [](const Row &r) { return KALPO_forma_pagamento(r.model, cp(r.arg(0)).c_str(), decimal(r.arg(1))); });
}

}  // namespace
}  // namespace kalpo::test
