// Linked vouchers and management reports: per model, the maker calls and the
// operator messages of each export, on success and on the main failures.
#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;

// Rows every export shares: the printerless models and identifiers without a
// branch touch nothing.
std::vector<Row> without_device(std::vector<const char *> succeed, std::vector<const char *> fail) {
  std::vector<Row> rows;
  for (const char *m : succeed) rows.push_back({std::string(m) + " without device", m, nullptr, 1, kNone});
  for (const char *m : fail) rows.push_back({std::string(m) + " without branch", m, nullptr, 0, kNone});
  return rows;
}

std::vector<Row> with(std::vector<Row> rows, const std::vector<Row> &more) {
  rows.insert(rows.end(), more.begin(), more.end());
  return rows;
}

// ---- opening the voucher ----

const std::string kBematechOpen = R"(Bematech_FI_AbreComprovanteNaoFiscalVinculado("03", "00000000001234", "123456"))";
const std::string kSigtronOpen = R"(DAR_AbreCNFV('0', '0', "123456", "0000000001234", 49))";
const Lines kCreditDebit = {param(0, "CodMeioPagamento", "03", 4), param(0, "COO", "123456", 0),
                            param(0, "Valor", "12,34", 6)};

TEST(LinkedVoucher, OpensOnEveryModel) {
  std::vector<Row> rows = {
      {"MP20", "BEMATECHMP20", returns("Bematech_FI_AbreComprovanteNaoFiscalVinculado", 1), 1,
       cat(kBematechOpen, kBematechStatus)},
      {"MFD with paper handling", "BEMATECHMFD",
       all({cut_on(), returns("Bematech_FI_AbreComprovanteNaoFiscalVinculado", 1)}), 1,
       cat("Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()", kBematechOpen,
           kBematechStatus)},
      {"MP20 communication error", "BEMATECHMP20", nullptr, 0, cat(kBematechOpen, kCommunicationError)},
      {"MFD NAK", "BEMATECHMFD",
       all({returns("Bematech_FI_AbreComprovanteNaoFiscalVinculado", 1), bematech_status(21, 0, 0)}), 0,
       cat(kBematechOpen, kBematechNak)},
      {"Sweda, no paper handling", "SWEDA7000", all({cut_on(), returns("ECF_AbreComprovanteNaoFiscalVinculado", 1)}), 1,
       cat(R"(ECF_AbreComprovanteNaoFiscalVinculado("03", "00000000001234", "123456"))", kSwedaStatus)},
      {"Sweda invalid parameter", "SWEDA7000", returns("ECF_AbreComprovanteNaoFiscalVinculado", -2), 0,
       cat(R"(ECF_AbreComprovanteNaoFiscalVinculado("03", "00000000001234", "123456"))",
           refused("box[Erro/16]: Parâmetro Inválido !"))},
      {"Sigtron on the configured port, answer count not tested", "SIGTRONFS345",
       setting("PORTACOM", "COM2:19200,e,8,1"), 1,
       cat(R"(DAR_AbreSerial("COM2:19200,e,8,1"))", kSigtronOpen, kSigtronAnswer)},
      {"Sigtron refused", "SIGTRONFS345", sigtron_answers({"xE43abc"}), 0,
       cat(R"(DAR_AbreSerial("COM1:9600,n,8,1"))", kSigtronOpen, kSigtronAnswer, "BlockInput(FALSE)",
           "notice: Erro na ECF nº :43\\r\\nNão pode emitir comprovante vinculado[ xE43abc ]")},
      {"Sigtron without payment method",
       "SIGTRONFS345",
       nullptr,
       0,
       {"notice: Forma de pagamento não informada!"},
       {"-"}},
      {"Elgin cuts before opening", "ELGINFIT", all({cut_on(), driver(1, 0)}), 1,
       cat(paper_cut(), usb_opening(), command(0, "AbreCreditoDebito", kCreditDebit))},
      {"Elgin cuts even when the driver fails", "ELGINFIT", all({cut_on(), driver(1, 0, -2)}), 0,
       cat(paper_cut(), usb_opening(), "notice: Erro -2")},
      {"Quick never cuts; error code text", "DATAREGISQUICK", all({cut_on(), driver(1, 8043)}), 0,
       cat(usb_opening(), command(0, "AbreCreditoDebito", kCreditDebit),
           "notice: COO do documento vinculado inválido.")},
      {"Quick command not run, code 0", "DATAREGISQUICK", driver(0, 0), 0,
       cat(usb_opening(), command(0, "AbreCreditoDebito", kCreditDebit), "notice: 0")},
      {"Daruma without amount", "DARUMA32", daruma_errors({"000"}), 1,
       cat(R"(Daruma_FI_AbreComprovanteNaoFiscalVinculado("03", "", "123456"))", kDarumaStatusAnyBuffer)},
      {"Daruma refused", "DARUMA32", daruma_errors({"043"}), 0,
       cat(R"(Daruma_FI_AbreComprovanteNaoFiscalVinculado("03", "", "123456"))",
           daruma_refused("Erro na ECF nº :43\\r\\nNão pode emitir comprovante vinculado"))},
      {"serial on its own handle", "DATAREGISSERIAL", all({setting("PORTACOM", "COM2:19200,e,8,1"), driver(1, 0, 3)}),
       1,
       cat(serial_opening(3, true, "COM2"), command(3, "AbreCreditoDebito",
                                                    {param(3, "CodMeioPagamento", "03", 4),
                                                     param(3, "COO", "123456", 0), param(3, "Valor", "12,34", 6)}))},
      {"serial command not run shows the bare code", "DATAREGISSERIAL", driver(-1, 11002, 3), 0,
       cat(serial_opening(3),
           command(
               3, "AbreCreditoDebito",
               {param(3, "CodMeioPagamento", "03", 4), param(3, "COO", "123456", 0), param(3, "Valor", "12,34", 6)}),
           "notice: 11002")},
  };
  rows = with(rows, without_device({"ECFZANTRELLO", "NOTAFISCAL"}, {"EPSON", "DIGIARTE1E", "bematechmp20"}));
  run(rows, [](const Row &r) {
    const char *forma = r.arg() == "-" ? "" : "03";
    return KALPO_cupom_vinculado(r.model, forma, "123456", 12.34);
  });
}

// ---- voucher text, one text per call ----

TEST(VoucherText, SendsOneText) {
  std::string reply_of_70_blanks = "[ " + std::string(70, ' ') + " ]";
  std::vector<Row> rows = {
      {"MP20", "BEMATECHMP20", returns("Bematech_FI_UsaComprovanteNaoFiscalVinculado", 1), 1,
       cat(R"(Bematech_FI_UsaComprovanteNaoFiscalVinculado("Linha 1"))", kBematechStatus)},
      {"MFD execution error", "BEMATECHMFD", returns("Bematech_FI_UsaComprovanteNaoFiscalVinculado", -1), 0,
       cat(R"(Bematech_FI_UsaComprovanteNaoFiscalVinculado("Linha 1"))",
           refused("box[Erro/16]: Erro de Execução na Função. Verifique!"))},
      {"Sweda", "SWEDA7000", returns("ECF_UsaComprovanteNaoFiscalVinculado", 1), 1,
       cat(R"(ECF_UsaComprovanteNaoFiscalVinculado("Linha 1"))", kSwedaStatus)},
      {"Sigtron", "SIGTRONFS345", sigtron_answers({"ok"}), 1,
       cat(R"(DAR_AbreSerial("COM1:9600,n,8,1"))", R"(DAR_LinhaX("Linha 1", 49))", kSigtronAnswer)},
      {"Sigtron library error", "SIGTRONFS345", all({returns("DAR_LinhaX", -1), returns("DAR_Erro", 536870912 + 4)}), 0,
       cat(R"(DAR_AbreSerial("COM1:9600,n,8,1"))", R"(DAR_LinhaX("Linha 1", 49))", "DAR_Erro()", kSigtronAnswer,
           "BlockInput(FALSE)", "notice: Erro na ECF nº :4\\r\\nErro no relógio interno da IF" + reply_of_70_blanks)},
      {"Elgin sends nothing", "ELGINFIT", nullptr, 1, kNone},
      {"Quick sends nothing", "DATAREGISQUICK", nullptr, 1, kNone},
      {"serial sends nothing", "DATAREGISSERIAL", nullptr, 1, kNone},
      {"Daruma", "DARUMA32", daruma_errors({"0"}), 1,
       cat(R"(Daruma_FI_EnviarTextoCNF("Linha 1"))", kDarumaStatusAnyBuffer)},
      {"Daruma out of paper", "DARUMA32", daruma_errors({"050"}), 0,
       cat(R"(Daruma_FI_EnviarTextoCNF("Linha 1"))", daruma_refused("Erro na ECF nº :50\\r\\nSem papel"))},
  };
  rows = with(rows, without_device({"ECFZANTRELLO", "NOTAFISCAL"}, {"EPSON", "DIGIARTE1E"}));
  run(rows, [](const Row &r) { return KALPO_usavinculado(r.model, "Linha 1"); });
}

// ---- voucher text, the caller's whole control ----

const char *const kThreeLines = "Linha 1\r\nLinha 2\r\nLinha 3";
const std::string kThreeLinesShown = "Linha 1\\r\\nLinha 2\\r\\nLinha 3";

TEST(VoucherText, SendsTheControl) {
  Lines daruma_three =
      cat(R"(Daruma_FI_EnviarTextoCNF("Linha 1"))", kDarumaStatusAnyBuffer, R"(Daruma_FI_EnviarTextoCNF("Linha 2"))",
          kDarumaStatusAnyBuffer, R"(Daruma_FI_EnviarTextoCNF("Linha 3"))", kDarumaStatusAnyBuffer);
  std::string out_of_paper = "Erro na ECF nº :50\\r\\nSem papel";
  std::vector<Row> rows = {
      {"MFD gets one text", "BEMATECHMFD", returns("Bematech_FI_UsaComprovanteNaoFiscalVinculado", 1), 1,
       cat("Bematech_FI_UsaComprovanteNaoFiscalVinculado(\"" + kThreeLinesShown + "\")", kBematechStatus)},
      {"MFD empty control sends an empty text",
       "BEMATECHMFD",
       returns("Bematech_FI_UsaComprovanteNaoFiscalVinculado", 1),
       1,
       cat(R"(Bematech_FI_UsaComprovanteNaoFiscalVinculado(""))", kBematechStatus),
       {"-"}},
      {"MFD communication error", "BEMATECHMFD", nullptr, 0,
       cat("Bematech_FI_UsaComprovanteNaoFiscalVinculado(\"" + kThreeLinesShown + "\")", kCommunicationError)},
      {"Elgin, no cut", "ELGINFIT", all({cut_on(), driver(1, 0)}), 1,
       cat(usb_opening(), command(0, "ImprimeTexto", {param(0, "TextoLivre", kThreeLinesShown, 7)}))},
      {"Quick driver fails", "DATAREGISQUICK", driver(1, 0, -3), 0, cat(usb_opening(), "notice: Erro -3")},
      {"Quick out of paper", "DATAREGISQUICK", driver(1, 7003), 0,
       cat(usb_opening(), command(0, "ImprimeTexto", {param(0, "TextoLivre", kThreeLinesShown, 7)}),
           "notice: Impressora está sem papel para imprimir.")},
      {"serial", "DATAREGISSERIAL", driver(1, 0, 2), 1,
       cat(serial_opening(2), command(2, "ImprimeTexto", {param(2, "TextoLivre", kThreeLinesShown, 7)}))},
      {"Daruma line by line", "DARUMA32", daruma_errors({"000"}), 1, daruma_three},
      {"Daruma goes on after a refused line; the last decides", "DARUMA32", daruma_errors({"050", "000"}), 1,
       cat(R"(Daruma_FI_EnviarTextoCNF("Linha 1"))", daruma_refused(out_of_paper),
           R"(Daruma_FI_EnviarTextoCNF("Linha 2"))", kDarumaStatusAnyBuffer, R"(Daruma_FI_EnviarTextoCNF("Linha 3"))",
           kDarumaStatusAnyBuffer)},
      {"Daruma last line refused", "DARUMA32", daruma_errors({"000", "000", "050"}), 0,
       cat(R"(Daruma_FI_EnviarTextoCNF("Linha 1"))", kDarumaStatusAnyBuffer, R"(Daruma_FI_EnviarTextoCNF("Linha 2"))",
           kDarumaStatusAnyBuffer, R"(Daruma_FI_EnviarTextoCNF("Linha 3"))", daruma_refused(out_of_paper))},
      {"Daruma empty control", "DARUMA32", nullptr, 0, kNone, {"-"}},
      {"MP20 has no branch", "BEMATECHMP20", nullptr, 0, kNone},
      {"Sweda has no branch", "SWEDA7000", nullptr, 0, kNone},
      {"Sigtron has no branch", "SIGTRONFS345", nullptr, 0, kNone},
  };
  rows = with(rows, without_device({}, {"ECFZANTRELLO", "NOTAFISCAL", "EPSON", "DIGIARTE1E"}));
  run(rows, [](const Row &r) {
    TextControl control(r.arg() == "-" ? "" : kThreeLines, false);
    return KALPO_usavinculadotermica(r.model, &control.control);
  });
}

TEST(VoucherText, WithoutControl) {
  Fake fake;
  EXPECT_EQ(KALPO_usavinculadotermica("DARUMA32", nullptr), 0);
  fake.returns("Bematech_FI_UsaComprovanteNaoFiscalVinculado", 1);
  EXPECT_EQ(KALPO_usavinculadotermica("BEMATECHMFD", nullptr), 1);
  expect_transcript(fake.lines, cat(R"(Bematech_FI_UsaComprovanteNaoFiscalVinculado(""))", kBematechStatus));
}

// ---- closing the voucher ----

TEST(VoucherClose, ClosesOnEveryModel) {
  std::vector<Row> rows = {
      {"MFD, no paper handling", "BEMATECHMFD",
       all({cut_on(), returns("Bematech_FI_FechaComprovanteNaoFiscalVinculado", 1)}), 1,
       cat("Bematech_FI_FechaComprovanteNaoFiscalVinculado()", kBematechStatus)},
      {"MP20 communication error", "BEMATECHMP20", nullptr, 0,
       cat("Bematech_FI_FechaComprovanteNaoFiscalVinculado()", kCommunicationError)},
      {"Sweda", "SWEDA7000", returns("ECF_FechaComprovanteNaoFiscalVinculado", 1), 1,
       cat("ECF_FechaComprovanteNaoFiscalVinculado()", kSwedaStatus)},
      {"Sigtron", "SIGTRONFS345", nullptr, 1,
       cat(R"(DAR_AbreSerial("COM1:9600,n,8,1"))", "DAR_FechaX(49)", kSigtronAnswer)},
      {"Elgin cuts after closing; the cut's answer is ignored", "ELGINFIT",
       all({cut_on(), returns("DLLG2_ExecutaComando", {1, 0})}), 1,
       cat(usb_opening(), command(0, "EncerraDocumento"), paper_cut())},
      {"Elgin without paper handling", "ELGINFIT", returns("DLLG2_ExecutaComando", 1), 1,
       cat(usb_opening(), command(0, "EncerraDocumento"))},
      {"Elgin refused: no cut", "ELGINFIT", all({cut_on(), driver(1, 15012)}), 0,
       cat(usb_opening(), command(0, "EncerraDocumento"), "notice: Tentativa de finalizar documento já encerrado.")},
      {"Elgin driver fails: no cut", "ELGINFIT", all({cut_on(), driver(1, 0, -1)}), 0,
       cat(usb_opening(), "notice: Erro -1")},
      {"Quick never cuts", "DATAREGISQUICK", all({cut_on(), driver(1, 0)}), 1,
       cat(usb_opening(), command(0, "EncerraDocumento"))},
      {"serial never cuts", "DATAREGISSERIAL", all({cut_on(), driver(1, 0, 4)}), 1,
       cat(serial_opening(4), command(4, "EncerraDocumento"))},
      {"serial command not run", "DATAREGISSERIAL", driver(0, 8000, 4), 0,
       cat(serial_opening(4), command(4, "EncerraDocumento"), "notice: 8000")},
      {"Daruma", "DARUMA32", daruma_errors({"000"}), 1, cat("Daruma_TEF_FechaRelatorio()", kDarumaStatusAnyBuffer)},
      {"Daruma unlisted error", "DARUMA32", daruma_errors({"008"}), 0,
       cat("Daruma_TEF_FechaRelatorio()", daruma_refused("Erro na ECF nº :8\\r\\n"))},
  };
  rows = with(rows, without_device({"ECFZANTRELLO", "NOTAFISCAL"}, {"EPSON", "DIGIARTE1E"}));
  run(rows, [](const Row &r) { return KALPO_FechaCupomNaovinculado(r.model); });
}

// ---- management report ----

TEST(ManagementReport, Opens) {
  std::vector<Row> rows = {
      {"MP20 with paper handling", "BEMATECHMP20", all({cut_on(), returns("Bematech_FI_RelatorioGerencial", 1)}), 1,
       cat("Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()",
           R"(Bematech_FI_RelatorioGerencial("Relatorio"))", kBematechStatus)},
      {"MFD communication error", "BEMATECHMFD", nullptr, 0,
       cat(R"(Bematech_FI_RelatorioGerencial("Relatorio"))", kCommunicationError)},
      {"Sigtron sends neither text nor code", "SIGTRONFS345", nullptr, 1,
       cat(R"(DAR_AbreSerial("COM1:9600,n,8,1"))", "DAR_AbreX(49)", kSigtronAnswer)},
      {"Sigtron refused", "SIGTRONFS345", sigtron_answers({"-E10"}), 0,
       cat(R"(DAR_AbreSerial("COM1:9600,n,8,1"))", "DAR_AbreX(49)", kSigtronAnswer, "BlockInput(FALSE)",
           "notice: Erro na ECF nº :10\\r\\nDocumento sendo emitido[ -E10 ]")},
      {"Daruma", "DARUMA32", daruma_errors({"000"}), 1,
       cat("Daruma_FI_AbreRelatorioGerencial()", kDarumaStatusAnyBuffer)},
      {"Daruma refused", "DARUMA32", daruma_errors({"999"}), 0,
       cat("Daruma_FI_AbreRelatorioGerencial()",
           daruma_refused("Erro na ECF nº :999\\r\\nSem comunicação com a impressora"))},
      {"Elgin cuts before opening", "ELGINFIT", all({cut_on(), driver(1, 0)}), 1,
       cat(paper_cut(), usb_opening(), command(0, "AbreGerencial", {param(0, "CodGerencial", "01", 4)}))},
      {"Elgin cuts even when the driver fails", "ELGINFIT", all({cut_on(), driver(1, 0, -6)}), 0,
       cat(paper_cut(), usb_opening(), "notice: Erro -6")},
      {"Quick with an empty code, refused",
       "DATAREGISQUICK",
       all({cut_on(), driver(1, 8018)}),
       0,
       cat(usb_opening(), command(0, "AbreGerencial", {param(0, "CodGerencial", "", 4)}),
           "notice: Gerencial não definido."),
       {"-"}},
      {"serial", "DATAREGISSERIAL", all({cut_on(), driver(1, 0, 7)}), 1,
       cat(serial_opening(7), command(7, "AbreGerencial", {param(7, "CodGerencial", "01", 4)}))},
      {"serial command not run", "DATAREGISSERIAL", driver(0, 0, 7), 0,
       cat(serial_opening(7), command(7, "AbreGerencial", {param(7, "CodGerencial", "01", 4)}), "notice: 0")},
  };
  rows = with(rows, without_device({"ECFZANTRELLO", "NOTAFISCAL"}, {"SWEDA7000", "EPSON", "DIGIARTE1E"}));
  run(rows, [](const Row &r) { return KALPO_AbreRelGerencial(r.model, "Relatorio", r.arg() == "-" ? "" : "01"); });
}

TEST(ManagementReport, Closes) {
  std::vector<Row> rows = {
      {"MP20, no paper handling", "BEMATECHMP20", all({cut_on(), returns("Bematech_FI_FechaRelatorioGerencial", 1)}), 1,
       cat("Bematech_FI_FechaRelatorioGerencial()", kBematechStatus)},
      {"MFD NAK", "BEMATECHMFD", all({returns("Bematech_FI_FechaRelatorioGerencial", 1), bematech_status(21, 0, 0)}), 0,
       cat("Bematech_FI_FechaRelatorioGerencial()", kBematechNak)},
      {"Sigtron", "SIGTRONFS345", setting("PORTACOM", "COM3"), 1,
       cat(R"(DAR_AbreSerial("COM3"))", "DAR_FechaX(49)", kSigtronAnswer)},
      {"Elgin sends nothing", "ELGINFIT", cut_on(), 1, kNone},
      {"Quick sends nothing", "DATAREGISQUICK", nullptr, 1, kNone},
      {"serial sends nothing", "DATAREGISSERIAL", nullptr, 1, kNone},
      {"Daruma", "DARUMA32", daruma_errors({"000"}), 1, cat("Daruma_TEF_FechaRelatorio()", kDarumaStatusAnyBuffer)},
      {"Daruma refused", "DARUMA32", daruma_errors({"11"}), 0,
       cat("Daruma_TEF_FechaRelatorio()", daruma_refused("Erro na ECF nº :11\\r\\nDocumento não foi aberto"))},
  };
  rows = with(rows, without_device({"ECFZANTRELLO", "NOTAFISCAL"}, {"SWEDA7000", "EPSON", "DIGIARTE1E"}));
  run(rows, [](const Row &r) { return KALPO_FechaGerencial(r.model); });
}

}  // namespace
