// X reading and Z reduction: the transcript of every model on success and on
// its main failures.
#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/transcripts.h"

using namespace kalpo::test;

namespace {

const std::string kConfirm =
    "confirm: A Redução Z impossibilitará novas impressões\\rde Cupons Fiscais!\\r\\rContinua ?";
const std::string kAborted = "dialog: Emissão de Redução Abortada!";

Lines with_cut(const Lines &lines) { return cat(lines, paper_cut()); }

// ---- X reading ----

std::vector<Row> x_rows() {
  const Lines serial_x = cat(serial_opening(3), command(3, "EmiteLeituraX"));
  const Lines usb_x = cat(usb_opening(), command(0, "EmiteLeituraX"));
  // clang-format off
  return {
      {"without printer", "ECFZANTRELLO", nothing, 1, {}},
      {"invoice", "NOTAFISCAL", nothing, 1, {}},
      {"lower case identifier", "epson", nothing, 0, {}},
      {"unlisted identifier", "XYZ", nothing, 0, {}},

      {"Bematech", "BEMATECHMP20", returns("Bematech_FI_LeituraX", 1), 1,
       cat("Bematech_FI_LeituraX()", kBematechStatus)},
      {"Bematech with paper handling", "BEMATECHMFD", all({cut_on(), returns("Bematech_FI_LeituraX", 1)}), 1,
       cat("Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()", "Bematech_FI_LeituraX()",
           kBematechStatus)},
      {"Bematech, lower-case s", "BEMATECHMP20",
       all({setting("DESATIVAFACA", "s"), returns("Bematech_FI_LeituraX", 1)}), 1,
       cat("Bematech_FI_LeituraX()", kBematechStatus)},
      {"Bematech without communication", "BEMATECHMP20", nothing, 0,
       cat("Bematech_FI_LeituraX()", kCommunicationError)},

      {"Sweda", "SWEDA7000", returns("ECF_LeituraX", 1), 1, cat("ECF_LeituraX()", kSwedaStatus)},
      {"Sweda without communication", "SWEDA7000", nothing, 0, cat("ECF_LeituraX()", kCommunicationError)},

      {"Sigtron shows its port text", "SIGTRONFS345", sigtron_answers({"00001"}), 1,
       cat("notice: COM1:9600,n,8,1", "DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_LeituraX(49)", kSigtronAnswer), {},
       "5"},
      {"Sigtron error answer",
       "SIGTRONFS345",
       all({setting("PORTACOM", "COM2:19200,e,8,1"), sigtron_answers({"xE50"})}),
       0,
       cat("notice: COM2:19200,e,8,1", "DAR_AbreSerial(\"COM2:19200,e,8,1\")", "DAR_LeituraX(49)", kSigtronAnswer,
           "BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel[ xE50 ]"),
       {},
       "4"},

      {"Daruma", "DARUMA32", daruma_errors({"000"}), 1, cat("Daruma_FI_LeituraX()", kDarumaStatus)},
      {"Daruma error", "DARUMA32", daruma_errors({"050"}), 0,
       cat("Daruma_FI_LeituraX()", kDarumaStatus,
           Lines{"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel"})},

      {"Digiarte, answer holds COMANDO OK", "DIGIARTE1E", ecf32m_answers({"0000 COMANDO OK"}), 1,
       cat("OpenCif()", "LeituraX(0)", kEcf32mFetch, "CloseCif()")},
      {"Digiarte refusal", "DIGIARTE1E", ecf32m_answers({"ERR:22"}), 0,
       cat("OpenCif()", "LeituraX(0)", kEcf32mFetch,
           Lines{"notice: (-22) Necessário abrir cupom fiscal", "CloseCif()"})},
      {"Digiarte opening refused", "DIGIARTE1E", returns("OpenCif", -99), 0,
       {"OpenCif()", "notice: Time out na execução do comando do ECF!"}},

      {"Elgin with paper cut", "ELGINFIT", all({driver(1, 0), cut_on()}), 1, with_cut(usb_x)},
      {"Dataregis USB never cuts", "DATAREGISQUICK", all({driver(1, 0), cut_on()}), 1, usb_x},
      {"Elgin error code: 0 with its text", "ELGINFIT", driver(1, 7003), 0,
       cat(usb_x, "notice: Impressora está sem papel para imprimir.")},
      {"Elgin command not run: 0, cut still sent", "ELGINFIT", all({driver(0, 0), cut_on()}), 0,
       with_cut(cat(usb_x, "notice: 0"))},
      {"Elgin driver does not start", "DATAREGISQUICK", driver(1, 0, -1), 0, cat(usb_opening(), "notice: Erro -1")},

      {"Dataregis serial", "DATAREGISSERIAL", driver(1, 0, 3), 1, cat(serial_x, "DLLG2_EncerraDriver(3)")},
      {"Dataregis serial error code", "DATAREGISSERIAL", driver(1, 8016, 3), 0,
       cat(serial_x, "notice: Dia sem movimento.", "DLLG2_EncerraDriver(3)")},
      {"Dataregis serial command not run", "DATAREGISSERIAL", driver(0, 0, 3), 0,
       cat(serial_x, "notice: 0", "DLLG2_EncerraDriver(3)")},

      {"Epson", "EPSON", epson_clean, 1,
       cat("EPSON_Serial_Abrir_Porta(38400, 1)", kEpsonState, "EPSON_RelatorioFiscal_LeituraX()", kEpsonState,
           "EPSON_Serial_Fechar_Porta()")},
      {"Epson refusal still closes the port", "EPSON",
       all({setting("PORTACOM", "COM3"), epson_clean, returns("EPSON_RelatorioFiscal_LeituraX", 5)}), 0,
       cat("EPSON_Serial_Abrir_Porta(38400, 3)", kEpsonState, "EPSON_RelatorioFiscal_LeituraX()", kEpsonState,
           kEpsonCommunication, "EPSON_Serial_Fechar_Porta()")},
      {"Epson port refused: no reading, no closing", "EPSON",
       all({epson_clean, returns("EPSON_Serial_Abrir_Porta", 2)}), 0,
       cat("EPSON_Serial_Abrir_Porta(38400, 1)", kEpsonState, kEpsonCommunication)},
  };
  // clang-format on
}

// out: the caller's answer count afterwards (left at -1 where the row gives none).
TEST(XReading, EveryModel) {
  run(x_rows(), [](const Row &r, std::string &out) {
    int32_t count = -1;
    const int result = KALPO_Leiturax(r.model, nullptr, nullptr, &count);
    if (!r.out) {
      EXPECT_EQ(count, -1);
    }
    out = std::to_string(count);
    return result;
  });
}

// ---- Z reduction ----

std::vector<Row> z_rows() {
  const Lines serial_z = cat(serial_opening(3), command(3, "EmiteReducaoZ"));
  const Lines usb_z = cat(usb_opening(), command(0, "EmiteReducaoZ"));
  const Lines c = {kConfirm};
  // clang-format off
  return {
      {"Bematech", "BEMATECHMFD", returns("Bematech_FI_ReducaoZ", 1), 1,
       cat(c, "Bematech_FI_ReducaoZ(null, null)", kBematechStatus)},
      {"Bematech with paper handling", "BEMATECHMP20", all({cut_on(), returns("Bematech_FI_ReducaoZ", 1)}), 1,
       cat(c,
           Lines{"Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()",
                 "Bematech_FI_ReducaoZ(null, null)"},
           kBematechStatus)},
      {"Bematech without communication", "BEMATECHMP20", nothing, 0,
       cat(c, "Bematech_FI_ReducaoZ(null, null)", kCommunicationError)},

      {"Sweda", "SWEDA7000", returns("ECF_ReducaoZ", 1), 1, cat(c, "ECF_ReducaoZ(null, null)", kSwedaStatus)},
      {"Sweda without communication", "SWEDA7000", nothing, 0, cat(c, "ECF_ReducaoZ(null, null)", kCommunicationError)},

      {"Sigtron: the clock as ddmmyyhhnnss, no port notice", "SIGTRONFS345",
       all({[](Fake &f) { f.clock = {2026, 12, 7, 9, 5, 3}; }, sigtron_answers({"000"})}), 1,
       cat(c, "DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_ReducaoZ(\"071226090503\", 49)", kSigtronAnswer), {}, "3"},
      {"Sigtron, another day", "SIGTRONFS345",
       all({[](Fake &f) { f.clock = {2005, 1, 2, 23, 59, 58}; }, sigtron_answers({"0"})}), 1,
       cat(c, "DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_ReducaoZ(\"020105235958\", 49)", kSigtronAnswer), {}, "1"},
      {"Sigtron: the clock is read before the port is opened",
       "SIGTRONFS345",
       all({[](Fake &f) { f.on("DAR_AbreSerial", [&f](Call &) { f.clock = {2026, 12, 8, 0, 0, 1}; }); },
            sigtron_answers({"0"})}),
       1,
       cat(c, "DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_ReducaoZ(\"071226140509\", 49)", kSigtronAnswer),
       {},
       "1"},
      {"Sigtron error answer",
       "SIGTRONFS345",
       sigtron_answers({"#E22"}),
       0,
       cat(c, "DAR_AbreSerial(\"COM1:9600,n,8,1\")", "DAR_ReducaoZ(\"071226140509\", 49)", kSigtronAnswer,
           Lines{"BlockInput(FALSE)",
                 "notice: Erro na ECF nº :22\\r\\nCupom de redução Z já foi emitido. IF inoperante até 00:00h do "
                 "próximo dia[ #E22 ]"}),
       {},
       "4"},

      {"Daruma", "DARUMA32", daruma_errors({"000"}), 1, cat(c, "Daruma_FI_ReducaoZ(null, null)", kDarumaStatus)},
      {"Daruma error", "DARUMA32", daruma_errors({"050"}), 0,
       cat(c, "Daruma_FI_ReducaoZ(null, null)", kDarumaStatus,
           Lines{"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel"})},

      {"Digiarte", "DIGIARTE1E", ecf32m_answers({"COMANDO OK"}), 1,
       cat(c, "OpenCif()", "ReducaoZ(48)", kEcf32mFetch, "CloseCif()")},
      {"Digiarte refusal", "DIGIARTE1E", ecf32m_answers({"ERR:29"}), 0,
       cat(c, "OpenCif()", "ReducaoZ(48)", kEcf32mFetch,
           Lines{"notice: (-29) Fechamento do dia (REDUÇÃO Z) já realizado", "CloseCif()"})},
      {"Digiarte opening refused", "DIGIARTE1E", returns("OpenCif", -28), 0,
       cat(c, "OpenCif()", "notice: Necessário realizar redução Z!")},

      {"Elgin with paper cut", "ELGINFIT", all({driver(1, 0), cut_on()}), 1, cat(c, with_cut(usb_z))},
      {"Dataregis USB never cuts", "DATAREGISQUICK", all({driver(1, 0), cut_on()}), 1, cat(c, usb_z)},
      {"Elgin error code", "ELGINFIT", driver(1, 8016), 0, cat(c, usb_z, "notice: Dia sem movimento.")},
      {"Elgin command not run: the code's text even for 0, cut still sent", "ELGINFIT", all({driver(0, 0), cut_on()}),
       0, cat(c, with_cut(cat(usb_z, "notice: Retorno OK.")))},
      {"Elgin driver does not start", "ELGINFIT", driver(1, 0, -1), 0, cat(c, usb_opening(), "notice: Erro -1")},

      {"Dataregis serial", "DATAREGISSERIAL", driver(1, 0, 3), 1, cat(c, serial_z, "DLLG2_EncerraDriver(3)")},
      {"Dataregis serial error code", "DATAREGISSERIAL", driver(1, 8016, 3), 0,
       cat(c, serial_z, "notice: Dia sem movimento.", "DLLG2_EncerraDriver(3)")},
      {"Dataregis serial command not run", "DATAREGISSERIAL", driver(-2, 8016, 3), 0,
       cat(c, serial_z, "notice: 8016", "DLLG2_EncerraDriver(3)")},

      {"Epson", "EPSON", epson_clean, 1,
       cat(c, "EPSON_Serial_Abrir_Porta(38400, 1)", kEpsonState,
           Lines{"EPSON_RelatorioFiscal_RZ(\"\", \"\", 2, \"" + std::string(20, ' ') + "\")"}, kEpsonState,
           "EPSON_Serial_Fechar_Porta()")},
      {"Epson refusal", "EPSON", all({epson_clean, returns("EPSON_RelatorioFiscal_RZ", 1)}), 0,
       cat(c, "EPSON_Serial_Abrir_Porta(38400, 1)", kEpsonState,
           Lines{"EPSON_RelatorioFiscal_RZ(\"\", \"\", 2, \"" + std::string(20, ' ') + "\")"}, kEpsonState,
           kEpsonCommunication, "EPSON_Serial_Fechar_Porta()")},
      {"Epson port setting without a number", "EPSON", setting("PORTACOM", "USB"), 0,
       cat(c, "notice: Porta de comunicação inválida em PORTACOM: \"USB\"")},
  };
  // clang-format on
}

int reduction(const Row &r, std::string &out) {
  int32_t count = -1;
  const int result = KALPO_Reducaoz(r.model, nullptr, nullptr, nullptr, &count);
  if (!r.out) {
    EXPECT_EQ(count, -1);
  }
  out = std::to_string(count);
  return result;
}

TEST(ZReduction, EveryModel) { run(z_rows(), reduction); }

// The confirmation comes first for every identifier; any answer but Yes
// aborts and touches nothing. A configuration read on the way would open the
// Epson port on COM9.
Script answered(int32_t answer) {
  return all({[answer](Fake &f) { f.confirm_answer = answer; }, returns("Bematech_FI_ReducaoZ", 1),
              setting("PORTACOM", "COM9")});
}

TEST(ZReduction, Confirmation) {
  const Lines aborted = {kConfirm, kAborted};
  // clang-format off
  const std::vector<Row> rows = {
      {"without printer, yes", "ECFZANTRELLO", answered(6), 1, {kConfirm}},
      {"without printer, no", "ECFZANTRELLO", answered(7), 0, aborted},
      {"invoice, yes", "NOTAFISCAL", answered(6), 1, {kConfirm}},
      {"invoice, no", "NOTAFISCAL", answered(7), 0, aborted},
      {"unlisted, yes", "XYZ", answered(6), 0, {kConfirm}},
      {"unlisted, no", "XYZ", answered(7), 0, aborted},
      {"empty identifier, no", "", answered(7), 0, aborted},
      {"Bematech, yes", "BEMATECHMP20", answered(6), 1,
       {kConfirm, "Bematech_FI_ReducaoZ(null, null)", kBematechStatus}},
      {"Bematech, no", "BEMATECHMP20", answered(7), 0, aborted},
      {"Sigtron, no", "SIGTRONFS345", answered(7), 0, aborted},
      {"Dataregis serial, no", "DATAREGISSERIAL", answered(7), 0, aborted},
      {"Epson, cancel", "EPSON", answered(2), 0, aborted},
  };
  // clang-format on
  run(rows, reduction);
}

}  // namespace
