// X reading and Z reduction: the transcript of every model on success and on
// its main failures.
#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/transcripts.h"

using namespace kalpo::test;

namespace {

struct Row {
  std::string name;
  std::string model;
  Script script;
  bool result;
  Lines lines;
  int32_t count = -1;  // the caller's answer count afterwards
};

const std::string kConfirm =
    "confirm: A Redução Z impossibilitará novas impressões\\rde Cupons Fiscais!\\r\\rContinua ?";
const std::string kAborted = "dialog: Emissão de Redução Abortada!";

Lines with_cut(Lines lines) { return cat(lines, Lines{"DLLG2_ExecutaComando(0, \"CortaPapel;TipoCorte=1\")"}); }

// ---- X reading ----

std::vector<Row> x_rows() {
  const Lines serial_x =
      cat(serial_opening(3, true),
          Lines{"DLLG2_LimpaParams(3)", "DLLG2_ExecutaComando(3, \"EmiteLeituraX\")", "DLLG2_ObtemCodErro(3)"});
  const Lines usb_x = cat(usb_opening(), Lines{"DLLG2_LimpaParams(0)", "DLLG2_ExecutaComando(0, \"EmiteLeituraX\")",
                                               "DLLG2_ObtemCodErro(0)"});
  return {
      {"without printer", "ECFZANTRELLO", nullptr, true, {}},
      {"invoice", "NOTAFISCAL", nullptr, true, {}},
      {"lower case identifier", "epson", nullptr, false, {}},
      {"unlisted identifier", "XYZ", nullptr, false, {}},

      {"Bematech", "BEMATECHMP20", returns("Bematech_FI_LeituraX", {1}), true,
       cat(Lines{"Bematech_FI_LeituraX()"}, kBematechStatus)},
      {"Bematech with paper handling", "BEMATECHMFD",
       all({setting("DESATIVAFACA", "S"), returns("Bematech_FI_LeituraX", {1})}), true,
       cat(Lines{"Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()",
                 "Bematech_FI_LeituraX()"},
           kBematechStatus)},
      {"Bematech, lower-case s", "BEMATECHMP20",
       all({setting("DESATIVAFACA", "s"), returns("Bematech_FI_LeituraX", {1})}), true,
       cat(Lines{"Bematech_FI_LeituraX()"}, kBematechStatus)},
      {"Bematech without communication", "BEMATECHMP20", nullptr, false,
       cat(Lines{"Bematech_FI_LeituraX()"}, kCommunicationError)},

      {"Sweda", "SWEDA7000", returns("ECF_LeituraX", {1}), true, cat(Lines{"ECF_LeituraX()"}, kSwedaStatus)},
      {"Sweda without communication", "SWEDA7000", nullptr, false, cat(Lines{"ECF_LeituraX()"}, kCommunicationError)},

      {"Sigtron shows its port text", "SIGTRONFS345", sigtron_answers({"00001"}), true,
       cat(Lines{"notice: COM1:9600,n,8,1", "DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_LeituraX(49)"}, kSigtronAnswer),
       5},
      {"Sigtron error answer", "SIGTRONFS345",
       all({setting("PORTACOM", "COM2:19200,e,8,1"), sigtron_answers({"xE50"})}), false,
       cat(Lines{"notice: COM2:19200,e,8,1", "DAR_AbreSerial(\"COM2:19200,e,8,1\")", "DAR_LeituraX(49)"},
           kSigtronAnswer, Lines{"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel[ xE50 ]"}),
       4},

      {"Daruma", "DARUMA32", daruma_errors({"000"}), true, cat(Lines{"Daruma_FI_LeituraX()"}, kDarumaStatus)},
      {"Daruma error", "DARUMA32", daruma_errors({"050"}), false,
       cat(Lines{"Daruma_FI_LeituraX()"}, kDarumaStatus,
           Lines{"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel"})},

      {"Digiarte, answer holds COMANDO OK", "DIGIARTE1E", ecf32m_answers({"0000 COMANDO OK"}), true,
       cat(Lines{"OpenCif()", "LeituraX(0)"}, kEcf32mFetch, Lines{"CloseCif()"})},
      {"Digiarte refusal", "DIGIARTE1E", ecf32m_answers({"ERR:22"}), false,
       cat(Lines{"OpenCif()", "LeituraX(0)"}, kEcf32mFetch,
           Lines{"notice: (-22) Necessário abrir cupom fiscal", "CloseCif()"})},
      {"Digiarte opening refused",
       "DIGIARTE1E",
       returns("OpenCif", {-99}),
       false,
       {"OpenCif()", "notice: Time out na execução do comando do ECF!"}},

      {"Elgin with paper cut", "ELGINFIT", all({driver(1, 0), setting("DESATIVAFACA", "S")}), true, with_cut(usb_x)},
      {"Dataregis USB never cuts", "DATAREGISQUICK", all({driver(1, 0), setting("DESATIVAFACA", "S")}), true, usb_x},
      {"Elgin error code: false with its text", "ELGINFIT", driver(1, 7003), false,
       cat(usb_x, Lines{"notice: Impressora está sem papel para imprimir."})},
      {"Elgin command not run: false, cut still sent", "ELGINFIT", all({driver(0, 0), setting("DESATIVAFACA", "S")}),
       false, with_cut(cat(usb_x, Lines{"notice: 0"}))},
      {"Elgin driver does not start", "DATAREGISQUICK", driver(1, 0, -1), false,
       cat(usb_opening(), Lines{"notice: Erro -1"})},

      {"Dataregis serial", "DATAREGISSERIAL", driver(1, 0, 3), true, cat(serial_x, Lines{"DLLG2_EncerraDriver(3)"})},
      {"Dataregis serial error code", "DATAREGISSERIAL", driver(1, 8016, 3), false,
       cat(serial_x, Lines{"notice: Dia sem movimento.", "DLLG2_EncerraDriver(3)"})},
      {"Dataregis serial command not run", "DATAREGISSERIAL", driver(0, 0, 3), false,
       cat(serial_x, Lines{"notice: 0", "DLLG2_EncerraDriver(3)"})},

      {"Epson", "EPSON", epson_clean, true,
       cat(Lines{"EPSON_Serial_Abrir_Porta(38400, 1)"}, kEpsonState, Lines{"EPSON_RelatorioFiscal_LeituraX()"},
           kEpsonState, Lines{"EPSON_Serial_Fechar_Porta()"})},
      {"Epson refusal still closes the port", "EPSON",
       all({setting("PORTACOM", "COM3"), epson_clean, returns("EPSON_RelatorioFiscal_LeituraX", {5})}), false,
       cat(Lines{"EPSON_Serial_Abrir_Porta(38400, 3)"}, kEpsonState, Lines{"EPSON_RelatorioFiscal_LeituraX()"},
           kEpsonState, kEpsonCommunication, Lines{"EPSON_Serial_Fechar_Porta()"})},
      {"Epson port refused: no reading, no closing", "EPSON",
       all({epson_clean, returns("EPSON_Serial_Abrir_Porta", {2})}), false,
       cat(Lines{"EPSON_Serial_Abrir_Porta(38400, 1)"}, kEpsonState, kEpsonCommunication)},
  };
}

TEST(XReading, EveryModel) {
  for (const Row &row : x_rows()) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    int32_t count = -1;
    EXPECT_EQ(KALPO_Leiturax(row.model.c_str(), nullptr, nullptr, &count), row.result);
    EXPECT_EQ(fake.lines, row.lines);
    EXPECT_EQ(count, row.count);
  }
}

// ---- Z reduction ----

std::vector<Row> z_rows() {
  const Lines serial_z =
      cat(serial_opening(3, true),
          Lines{"DLLG2_LimpaParams(3)", "DLLG2_ExecutaComando(3, \"EmiteReducaoZ\")", "DLLG2_ObtemCodErro(3)"});
  const Lines usb_z = cat(usb_opening(), Lines{"DLLG2_LimpaParams(0)", "DLLG2_ExecutaComando(0, \"EmiteReducaoZ\")",
                                               "DLLG2_ObtemCodErro(0)"});
  const Lines c = {kConfirm};
  return {
      {"Bematech", "BEMATECHMFD", returns("Bematech_FI_ReducaoZ", {1}), true,
       cat(c, Lines{"Bematech_FI_ReducaoZ(null, null)"}, kBematechStatus)},
      {"Bematech with paper handling", "BEMATECHMP20",
       all({setting("DESATIVAFACA", "S"), returns("Bematech_FI_ReducaoZ", {1})}), true,
       cat(c,
           Lines{"Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()",
                 "Bematech_FI_ReducaoZ(null, null)"},
           kBematechStatus)},
      {"Bematech without communication", "BEMATECHMP20", nullptr, false,
       cat(c, Lines{"Bematech_FI_ReducaoZ(null, null)"}, kCommunicationError)},

      {"Sweda", "SWEDA7000", returns("ECF_ReducaoZ", {1}), true,
       cat(c, Lines{"ECF_ReducaoZ(null, null)"}, kSwedaStatus)},
      {"Sweda without communication", "SWEDA7000", nullptr, false,
       cat(c, Lines{"ECF_ReducaoZ(null, null)"}, kCommunicationError)},

      {"Sigtron: the clock as ddmmyyhhnnss, no port notice", "SIGTRONFS345",
       all({[](Fake &f) { f.clock = {2026, 12, 7, 9, 5, 3}; }, sigtron_answers({"000"})}), true,
       cat(c, Lines{"DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_ReducaoZ(\"071226090503\", 49)"}, kSigtronAnswer), 3},
      {"Sigtron, another day", "SIGTRONFS345",
       all({[](Fake &f) { f.clock = {2005, 1, 2, 23, 59, 58}; }, sigtron_answers({"0"})}), true,
       cat(c, Lines{"DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_ReducaoZ(\"020105235958\", 49)"}, kSigtronAnswer), 1},
      {"Sigtron: the clock is read before the port is opened", "SIGTRONFS345",
       all({[](Fake &f) { f.on("DAR_AbreSerial", [&f](Call &) { f.clock = {2026, 12, 8, 0, 0, 1}; }); },
            sigtron_answers({"0"})}),
       true, cat(c, Lines{"DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_ReducaoZ(\"071226140509\", 49)"}, kSigtronAnswer),
       1},
      {"Sigtron error answer", "SIGTRONFS345", sigtron_answers({"#E22"}), false,
       cat(c, Lines{"DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_ReducaoZ(\"071226140509\", 49)"}, kSigtronAnswer,
           Lines{"BlockInput(FALSE)",
                 "notice: Erro na ECF nº :22\\r\\nCupom de redução Z já foi emitido. IF inoperante até 00:00h do "
                 "próximo dia[ #E22 ]"}),
       4},

      {"Daruma", "DARUMA32", daruma_errors({"000"}), true,
       cat(c, Lines{"Daruma_FI_ReducaoZ(null, null)"}, kDarumaStatus)},
      {"Daruma error", "DARUMA32", daruma_errors({"050"}), false,
       cat(c, Lines{"Daruma_FI_ReducaoZ(null, null)"}, kDarumaStatus,
           Lines{"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel"})},

      {"Digiarte", "DIGIARTE1E", ecf32m_answers({"COMANDO OK"}), true,
       cat(c, Lines{"OpenCif()", "ReducaoZ(48)"}, kEcf32mFetch, Lines{"CloseCif()"})},
      {"Digiarte refusal", "DIGIARTE1E", ecf32m_answers({"ERR:29"}), false,
       cat(c, Lines{"OpenCif()", "ReducaoZ(48)"}, kEcf32mFetch,
           Lines{"notice: (-29) Fechamento do dia (REDUÇÃO Z) já realizado", "CloseCif()"})},
      {"Digiarte opening refused", "DIGIARTE1E", returns("OpenCif", {-28}), false,
       cat(c, Lines{"OpenCif()", "notice: Necessário realizar redução Z!"})},

      {"Elgin with paper cut", "ELGINFIT", all({driver(1, 0), setting("DESATIVAFACA", "S")}), true,
       cat(c, with_cut(usb_z))},
      {"Dataregis USB never cuts", "DATAREGISQUICK", all({driver(1, 0), setting("DESATIVAFACA", "S")}), true,
       cat(c, usb_z)},
      {"Elgin error code", "ELGINFIT", driver(1, 8016), false, cat(c, usb_z, Lines{"notice: Dia sem movimento."})},
      {"Elgin command not run: the code's text even for 0, cut still sent", "ELGINFIT",
       all({driver(0, 0), setting("DESATIVAFACA", "S")}), false,
       cat(c, with_cut(cat(usb_z, Lines{"notice: Retorno OK."})))},
      {"Elgin driver does not start", "ELGINFIT", driver(1, 0, -1), false,
       cat(c, usb_opening(), Lines{"notice: Erro -1"})},

      {"Dataregis serial", "DATAREGISSERIAL", driver(1, 0, 3), true, cat(c, serial_z, Lines{"DLLG2_EncerraDriver(3)"})},
      {"Dataregis serial error code", "DATAREGISSERIAL", driver(1, 8016, 3), false,
       cat(c, serial_z, Lines{"notice: Dia sem movimento.", "DLLG2_EncerraDriver(3)"})},
      {"Dataregis serial command not run", "DATAREGISSERIAL", driver(-2, 8016, 3), false,
       cat(c, serial_z, Lines{"notice: 8016", "DLLG2_EncerraDriver(3)"})},

      {"Epson", "EPSON", epson_clean, true,
       cat(c, Lines{"EPSON_Serial_Abrir_Porta(38400, 1)"}, kEpsonState,
           Lines{"EPSON_RelatorioFiscal_RZ(\"\", \"\", 2, \"" + std::string(20, ' ') + "\")"}, kEpsonState,
           Lines{"EPSON_Serial_Fechar_Porta()"})},
      {"Epson refusal", "EPSON", all({epson_clean, returns("EPSON_RelatorioFiscal_RZ", {1})}), false,
       cat(c, Lines{"EPSON_Serial_Abrir_Porta(38400, 1)"}, kEpsonState,
           Lines{"EPSON_RelatorioFiscal_RZ(\"\", \"\", 2, \"" + std::string(20, ' ') + "\")"}, kEpsonState,
           kEpsonCommunication, Lines{"EPSON_Serial_Fechar_Porta()"})},
      {"Epson port setting without a number", "EPSON", setting("PORTACOM", "USB"), false,
       cat(c, Lines{"notice: Porta de comunicação inválida em PORTACOM: \"USB\""})},
  };
}

TEST(ZReduction, EveryModel) {
  for (const Row &row : z_rows()) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    int32_t count = -1;
    EXPECT_EQ(KALPO_Reducaoz(row.model.c_str(), nullptr, nullptr, nullptr, &count), row.result);
    EXPECT_EQ(fake.lines, row.lines);
    EXPECT_EQ(count, row.count);
  }
}

// The confirmation comes first for every identifier; No touches nothing.
TEST(ZReduction, Confirmation) {
  struct Case {
    const char *model;
    int32_t answer;
    bool result;
    Lines lines;
  };
  const std::vector<Case> cases = {
      {"ECFZANTRELLO", 6, true, {kConfirm}},
      {"ECFZANTRELLO", 7, false, {kConfirm, kAborted}},
      {"NOTAFISCAL", 6, true, {kConfirm}},
      {"NOTAFISCAL", 7, false, {kConfirm, kAborted}},
      {"XYZ", 6, false, {kConfirm}},
      {"XYZ", 7, false, {kConfirm, kAborted}},
      {"", 7, false, {kConfirm, kAborted}},
      {"BEMATECHMP20", 6, true, {kConfirm, "Bematech_FI_ReducaoZ(null, null)", kBematechStatus}},
      {"BEMATECHMP20", 7, false, {kConfirm, kAborted}},
      {"SIGTRONFS345", 7, false, {kConfirm, kAborted}},
      {"DATAREGISSERIAL", 7, false, {kConfirm, kAborted}},
      // Any answer but Yes aborts.
      {"EPSON", 2, false, {kConfirm, kAborted}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.model) + " answered " + std::to_string(c.answer));
    Fake fake;
    fake.confirm_answer = c.answer;
    fake.returns("Bematech_FI_ReducaoZ", 1);
    // A configuration read on the way would open the Epson port on COM9.
    fake.config["PORTACOM"] = "COM9";
    int32_t count = -1;
    EXPECT_EQ(KALPO_Reducaoz(c.model, nullptr, nullptr, nullptr, &count), c.result);
    EXPECT_EQ(fake.lines, c.lines);
    EXPECT_EQ(count, -1);
  }
}

}  // namespace
