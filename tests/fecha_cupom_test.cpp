#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

struct CloseRow {
  const char *name;
  const char *model;
  std::string control;                        // UTF-8, as the operator typed it
  std::map<std::string, std::string> config;  // section "ECF"
  std::function<void(Fake &)> script;
  bool result;
  Lines lines;
  std::string control_after;  // UTF-8
};

// Driver answers by command; error code as given.
std::function<void(Fake &)> closing_driver(int32_t closing, int32_t code, int32_t advance = 1, int32_t handle = 0) {
  return [=](Fake &f) {
    f.returns("DLLG2_IniciaDriver", handle);
    f.returns("DLLG2_ObtemCodErro", code);
    f.on("DLLG2_ExecutaComando", [=](Call &c) {
      std::string command = c.text(1);
      c.result = command == "EncerraDocumento" ? closing : command == "AvancaPapel" ? advance : 1;
    });
  };
}

Lines closing(int handle, const std::string &text) {
  std::string h = std::to_string(handle);
  return {"DLLG2_LimpaParams(" + h + ")", "DLLG2_AdicionaParam(" + h + ", \"TextoPromocional\", " + text + ", 7)",
          "DLLG2_ExecutaComando(" + h + ", \"EncerraDocumento\")"};
}
const Lines kAdvance = {"DLLG2_LimpaParams(0)", "DLLG2_AdicionaParam(0, \"Avanco\", \"250\", 9)",
                        "DLLG2_ExecutaComando(0, \"AvancaPapel\")"};

TEST(FechaCupom, TranscriptPerModelAndPath) {
  const std::map<std::string, std::string> cut = {{"DESATIVAFACA", "S"}, {"MENSAGEM", "Sempre Ótimo"}};
  const std::vector<CloseRow> rows = {
      {"bematech prints the control as typed",
       "BEMATECHMP20",
       "Até / logo",
       {{"MENSAGEM", "x"}},
       [](Fake &f) { f.returns("Bematech_FI_TerminaFechamentoCupom", 1); },
       true,
       {"Bematech_FI_TerminaFechamentoCupom(\"Até / logo\")", kBematechStatus},
       "Até / logo"},
      {"bematech refused, empty control as null",
       "BEMATECHMFD",
       "",
       {},
       nothing,
       false,
       cat({{"Bematech_FI_TerminaFechamentoCupom(null)"}, kCommunicationError}),
       ""},
      {"sweda prints",
       "SWEDA7000",
       "Volte",
       {},
       [](Fake &f) { f.returns("ECF_TerminaFechamentoCupom", 1); },
       true,
       {"ECF_TerminaFechamentoCupom(\"Volte\")", kSwedaStatus},
       "Volte"},
      {"sweda empty control as null",
       "SWEDA7000",
       "",
       {},
       nothing,
       false,
       cat({{"ECF_TerminaFechamentoCupom(null)"}, kCommunicationError}),
       ""},
      {"sigtron prints the configured message only",
       "SIGTRONFS345",
       "ignorado",
       {{"MENSAGEM", "Oferta do dia"}},
       nothing,
       true,
       {kSigtronPort, "DAR_FechaCupom(\"Oferta do dia\", 49)", kSigtronAnswer},
       "ignorado"},
      {"sigtron without message, error answer",
       "SIGTRONFS345",
       "ignorado",
       {},
       [](Fake &f) { sigtron_answers({".E39"})(f); },
       false,
       {kSigtronPort, "DAR_FechaCupom(null, 49)", kSigtronAnswer, "BlockInput(FALSE)",
        "notice: Erro na ECF nº :39\\r\\nErro na seqüência de fechamento do cupom fiscal[ .E39 ]"},
       "ignorado"},
      {"daruma prints",
       "DARUMA32",
       "Volte",
       {},
       [](Fake &f) { daruma_errors({"000"})(f); },
       true,
       cat({{"Daruma_FI_TerminaFechamentoCupom(\"Volte\")"}, kDarumaStatus}),
       "Volte"},
      {"daruma refused, empty control as null",
       "DARUMA32",
       "",
       {},
       [](Fake &f) { daruma_errors({"011"})(f); },
       false,
       cat({{"Daruma_FI_TerminaFechamentoCupom(null)"},
            kDarumaStatus,
            {"BlockInput(FALSE)", "notice: Erro na ECF nº :11\\r\\nDocumento não foi aberto"}}),
       ""},
      {"digiarte header counts characters and line breaks",
       "DIGIARTE1E",
       "Até logo\r\n",
       {},
       [](Fake &f) { ecf32m_answers({"COMANDO OK"})(f); },
       true,
       {"OpenCif()", "FechaCupomFiscal(\"S10\", \"Até logo\\r\\n\")", kEcf32mFetch, "CloseCif()"},
       "Até logo\r\n"},
      {"digiarte empty control, refused",
       "DIGIARTE1E",
       "",
       {},
       [](Fake &f) { ecf32m_answers({"ERR-51"})(f); },
       false,
       {"OpenCif()", "FechaCupomFiscal(\"S0\", \"\")", kEcf32mFetch,
        "notice: (-51) Necessário totalizar cupom antes de fechá-lo", "CloseCif()"},
       ""},
      {"elgin joins, cleans, writes back, advances and cuts", "ELGINFIT", "Volte", cut, closing_driver(1, 0), true,
       cat({usb_opening(), closing(0, "\"VolteSempre Otimo\""), {"DLLG2_ObtemCodErro(0)"}, kAdvance, {paper_cut()}}),
       "VolteSempre Otimo"},
      {"quick never cuts", "DATAREGISQUICK", "Volte", cut, closing_driver(1, 0), true,
       cat({usb_opening(), closing(0, "\"VolteSempre Otimo\""), {"DLLG2_ObtemCodErro(0)"}, kAdvance}),
       "VolteSempre Otimo"},
      {"elgin lower-case s does not cut",
       "ELGINFIT",
       "Até",
       {{"DESATIVAFACA", "s"}},
       closing_driver(1, 0),
       true,
       cat({usb_opening(), closing(0, "\"Ate\""), {"DLLG2_ObtemCodErro(0)"}, kAdvance}),
       "Ate"},
      {"elgin empty text as null, written back",
       "ELGINFIT",
       "",
       {},
       closing_driver(1, 0),
       true,
       cat({usb_opening(), closing(0, "null"), {"DLLG2_ObtemCodErro(0)"}, kAdvance}),
       ""},
      {"elgin closing error code refuses", "ELGINFIT", "Volte", cut, closing_driver(1, 15012), false,
       cat({usb_opening(),
            closing(0, "\"VolteSempre Otimo\""),
            {"DLLG2_ObtemCodErro(0)", "notice: Tentativa de finalizar documento já encerrado."}}),
       "VolteSempre Otimo"},
      {"elgin closing not run refuses",
       "ELGINFIT",
       "Volte",
       {},
       closing_driver(0, 0),
       false,
       cat({usb_opening(), closing(0, "\"Volte\""), {"DLLG2_ObtemCodErro(0)", "notice: Retorno OK."}}),
       "Volte"},
      {"elgin closing negative answer",
       "ELGINFIT",
       "Volte",
       {},
       closing_driver(-3, 0),
       false,
       cat({usb_opening(), closing(0, "\"Volte\""), {"notice: Erro -3"}}),
       "Volte"},
      {"elgin refused advance still closes", "ELGINFIT", "Volte", cut, closing_driver(1, 0, -4), true,
       cat({usb_opening(),
            closing(0, "\"VolteSempre Otimo\""),
            {"DLLG2_ObtemCodErro(0)"},
            kAdvance,
            {"notice: Erro -4"}}),
       "VolteSempre Otimo"},
      {"elgin advance answering 0 goes on", "ELGINFIT", "Volte", cut, closing_driver(1, 0, 0), true,
       cat({usb_opening(), closing(0, "\"VolteSempre Otimo\""), {"DLLG2_ObtemCodErro(0)"}, kAdvance, {paper_cut()}}),
       "VolteSempre Otimo"},
      {"elgin driver not started", "ELGINFIT", "Volte", cut, closing_driver(1, 0, 1, -7), false,
       cat({usb_opening(), {"notice: Erro -7"}}), "Volte"},
      {"serial without time-out",
       "DATAREGISSERIAL",
       "Promoção ",
       {{"MENSAGEM", "\"já\""}, {"DESATIVAFACA", "S"}},
       closing_driver(1, 0, 1, 3),
       true,
       cat({serial_opening(3, false), closing(3, "\"Promocao  ja \""), {"DLLG2_ObtemCodErro(3)"}}),
       "Promocao  ja "},
      {"serial error code refuses",
       "DATAREGISSERIAL",
       "Volte",
       {},
       closing_driver(1, 8017, 1, 3),
       false,
       cat({serial_opening(3, false),
            closing(3, "\"Volte\""),
            {"DLLG2_ObtemCodErro(3)", "notice: Total pago inferior ao total do cupom."}}),
       "Volte"},
      {"epson closes",
       "EPSON",
       "ignorado",
       {},
       epson_clean,
       true,
       cat({epson_opening(), {"EPSON_Fiscal_Fechar_Cupom(1, 0)", kEpsonState, "EPSON_Serial_Fechar_Porta()"}}),
       "ignorado"},
      {"epson refused",
       "EPSON",
       "ignorado",
       {},
       [](Fake &f) {
         epson_clean(f);
         f.returns("EPSON_Fiscal_Fechar_Cupom", 9);
       },
       false,
       cat({epson_opening(),
            {"EPSON_Fiscal_Fechar_Cupom(1, 0)", kEpsonState, kEpsonCommunication, "EPSON_Serial_Fechar_Porta()"}}),
       "ignorado"},
      {"without printer", "ECFZANTRELLO", "Volte", cut, nothing, true, {}, "Volte"},
      {"unknown identifier", "ELGINFIT ", "Volte", cut, nothing, false, {}, "Volte"},
  };
  for (const CloseRow &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    for (const auto &[k, v] : row.config) fake.config[k] = cp(v);
    row.script(fake);
    TextControl control(cp(row.control));
    EXPECT_EQ(KALPO_fecha_cupom(row.model, &control.control), row.result ? 1 : 0);
    EXPECT_EQ(fake.lines, row.lines);
    EXPECT_EQ(shown(control.text), shown(cp(row.control_after)));
  }
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

// Without a control that takes the text back, the command-driver models
// send the cleaned text with the configured message.
TEST(FechaCupom, ControlThatCannotTakeTheText) {
  struct Row {
    const char *name;
    bool control;      // a read-only control rather than nothing
    const char *sent;  // UTF-8
  };
  const std::vector<Row> rows = {
      {"no control", false, "\" Volte Ja\""},
      {"read-only control", true, "\"Ate logo Volte Ja\""},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    fake.config["MENSAGEM"] = cp(" Volte Já");
    fake.returns("DLLG2_ExecutaComando", 1);
    TextControl read_only(cp("Até logo"), false);
    EXPECT_EQ(KALPO_fecha_cupom("DATAREGISQUICK", row.control ? &read_only.control : nullptr), 1);
    EXPECT_EQ(fake.lines.at(3), std::string("DLLG2_AdicionaParam(0, \"TextoPromocional\", ") + row.sent + ", 7)");
    EXPECT_EQ(read_only.text, cp("Até logo"));
  }
}

}  // namespace
}  // namespace kalpo::test
