#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

// Driver answers by command; the error code as given.
Script closing_driver(int32_t closing, int32_t code, int32_t advance = 1, int32_t handle = 0) {
  return [=](Fake &f) {
    f.returns("DLLG2_IniciaDriver", handle);
    f.returns("DLLG2_ObtemCodErro", code);
    f.on("DLLG2_ExecutaComando", [=](Call &c) {
      std::string command = c.text(1);
      c.result = command == "EncerraDocumento" ? closing : command == "AvancaPapel" ? advance : 1;
    });
  };
}
Script message(const std::string &utf8) { return setting("MENSAGEM", cp(utf8)); }

Lines closing(int h, const std::string &text, bool reads_code = true) {
  Lines params = {"DLLG2_AdicionaParam(" + std::to_string(h) + ", \"TextoPromocional\", " + text + ", 7)"};
  return reads_code ? command(h, "EncerraDocumento", params) : command_run(h, "EncerraDocumento", params);
}
const Lines kAdvance = command_run(0, "AvancaPapel", {param(0, "Avanco", "250", 9)});

// The row's arguments: the control's text (UTF-8) and "read-only" or "none"
// for a control that cannot take a text back; out: the control's text after
// the call, as the transcript shows it.
TEST(FechaCupom, TranscriptPerModelAndPath) {
  const Script cut = all({cut_on(), message("Sempre Ótimo")});
  const std::vector<Row> rows = {
      {"without printer", "ECFZANTRELLO", cut, 1, {}, {"Volte"}, "Volte"},
      {"unknown identifier", "ELGINFIT ", cut, 0, {}, {"Volte"}, "Volte"},
      {"bematech prints the control as typed",
       "BEMATECHMP20",
       all({message("x"), returns("Bematech_FI_TerminaFechamentoCupom", 1)}),
       1,
       {"Bematech_FI_TerminaFechamentoCupom(\"Até / logo\")", kBematechStatus},
       {"Até / logo"},
       "Até / logo"},
      {"bematech refused, empty control as null",
       "BEMATECHMFD",
       nothing,
       0,
       cat("Bematech_FI_TerminaFechamentoCupom(null)", kCommunicationError),
       {""},
       ""},
      {"sweda empty control as null",
       "SWEDA7000",
       returns("ECF_TerminaFechamentoCupom", 1),
       1,
       {"ECF_TerminaFechamentoCupom(null)", kSwedaStatus},
       {""},
       ""},
      {"sigtron prints the configured message only",
       "SIGTRONFS345",
       message("Oferta do dia"),
       1,
       {kSigtronPort, "DAR_FechaCupom(\"Oferta do dia\", 49)", kSigtronAnswer},
       {"ignorado"},
       "ignorado"},
      {"sigtron without message, error answer",
       "SIGTRONFS345",
       sigtron_answers({".E39"}),
       0,
       {kSigtronPort, "DAR_FechaCupom(null, 49)", kSigtronAnswer, "BlockInput(FALSE)",
        "notice: Erro na ECF nº :39\\r\\nErro na seqüência de fechamento do cupom fiscal[ .E39 ]"},
       {"ignorado"},
       "ignorado"},
      {"daruma prints",
       "DARUMA32",
       daruma_errors({"000"}),
       1,
       cat("Daruma_FI_TerminaFechamentoCupom(\"Volte\")", kDarumaStatus),
       {"Volte"},
       "Volte"},
      {"daruma refused, empty control as null",
       "DARUMA32",
       daruma_errors({"011"}),
       0,
       cat("Daruma_FI_TerminaFechamentoCupom(null)", kDarumaStatus, "BlockInput(FALSE)",
           "notice: Erro na ECF nº :11\\r\\nDocumento não foi aberto"),
       {""},
       ""},
      {"digiarte header counts characters and line breaks",
       "DIGIARTE1E",
       ecf32m_answers({"COMANDO OK"}),
       1,
       {"OpenCif()", "FechaCupomFiscal(\"S10\", \"Até logo\\r\\n\")", kEcf32mFetch, "CloseCif()"},
       {"Até logo\r\n"},
       "Até logo\\r\\n"},
      {"digiarte empty control, refused",
       "DIGIARTE1E",
       ecf32m_answers({"ERR-51"}),
       0,
       {"OpenCif()", "FechaCupomFiscal(\"S0\", \"\")", kEcf32mFetch,
        "notice: (-51) Necessário totalizar cupom antes de fechá-lo", "CloseCif()"},
       {""},
       ""},
      {"elgin joins, cleans, writes back, advances and cuts",
       "ELGINFIT",
       all({cut, closing_driver(1, 0)}),
       1,
       cat(usb_opening(), closing(0, "\"VolteSempre Otimo\""), kAdvance, paper_cut()),
       {"Volte"},
       "VolteSempre Otimo"},
      {"quick never cuts",
       "DATAREGISQUICK",
       all({cut, closing_driver(1, 0)}),
       1,
       cat(usb_opening(), closing(0, "\"VolteSempre Otimo\""), kAdvance),
       {"Volte"},
       "VolteSempre Otimo"},
      {"elgin empty text as null, written back",
       "ELGINFIT",
       closing_driver(1, 0),
       1,
       cat(usb_opening(), closing(0, "null"), kAdvance),
       {""},
       ""},
      {"elgin closing refused: the negative answer's text",
       "ELGINFIT",
       closing_driver(-2, 5),
       0,
       cat(usb_opening(), closing(0, "\"Volte\"", false), "notice: Erro -2"),
       {"Volte"},
       "Volte"},
      {"elgin refused advance still closes, no cut",
       "ELGINFIT",
       all({cut, closing_driver(1, 0, -4)}),
       1,
       cat(usb_opening(), closing(0, "\"VolteSempre Otimo\""), kAdvance, "notice: Erro -4"),
       {"Volte"},
       "VolteSempre Otimo"},
      {"elgin advance answering 0 goes on",
       "ELGINFIT",
       all({cut, closing_driver(1, 0, 0)}),
       1,
       cat(usb_opening(), closing(0, "\"VolteSempre Otimo\""), kAdvance, paper_cut()),
       {"Volte"},
       "VolteSempre Otimo"},
      {"serial without time-out or advance",
       "DATAREGISSERIAL",
       all({cut_on(), message("\"já\""), closing_driver(1, 0, 1, 3)}),
       1,
       cat(serial_opening(3, false), closing(3, "\"Promocao  ja \"")),
       {"Promoção "},
       "Promocao  ja "},
      {"quick without a control sends the message",
       "DATAREGISQUICK",
       all({message(" Volte Já"), closing_driver(1, 0)}),
       1,
       cat(usb_opening(), closing(0, "\" Volte Ja\""), kAdvance),
       {"Até logo", "none"},
       "Até logo"},
      {"quick read-only control: the cleaned text, not written back",
       "DATAREGISQUICK",
       all({message(" Volte Já"), closing_driver(1, 0)}),
       1,
       cat(usb_opening(), closing(0, "\"Ate logo Volte Ja\""), kAdvance),
       {"Até logo", "read-only"},
       "Até logo"},
      {"epson closes",
       "EPSON",
       epson_clean,
       1,
       cat(epson_opening(), "EPSON_Fiscal_Fechar_Cupom(1, 0)", kEpsonState, kEpsonClose),
       {"ignorado"},
       "ignorado"},
      {"epson refused",
       "EPSON",
       all({epson_clean, returns("EPSON_Fiscal_Fechar_Cupom", 9)}),
       0,
       cat(epson_opening(), "EPSON_Fiscal_Fechar_Cupom(1, 0)", kEpsonState, kEpsonCommunication, kEpsonClose),
       {"ignorado"},
       "ignorado"},
  };
  run(rows, [](const Row &r, std::string &out) {
    TextControl control(cp(r.arg(0)), r.arg(1) != "read-only");
    int result = KALPO_fecha_cupom(r.model, r.arg(1) == "none" ? nullptr : &control.control);
    out = shown(control.text);
    return result;
  });
}

// The configured message is appended to what the control holds, so a second
// closing appends it once more.
TEST(FechaCupom, SecondClosingAppendsAgain) {
  Fake fake;
  fake.config["MENSAGEM"] = " Volte";
  fake.returns("DLLG2_ExecutaComando", 1);
  TextControl control("Obrigado");
  EXPECT_EQ(KALPO_fecha_cupom("DATAREGISQUICK", &control.control), 1);
  EXPECT_EQ(control.text, "Obrigado Volte");
  EXPECT_EQ(KALPO_fecha_cupom("DATAREGISQUICK", &control.control), 1);
  EXPECT_EQ(control.text, "Obrigado Volte Volte");
  EXPECT_EQ(control.writes, 2);
}

}  // namespace
}  // namespace kalpo::test
