#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

const std::string kMarker = "c:\\canc.txt";
const std::string kSix = "\"      \"";
void marker(Fake &f) { f.files[kMarker] = ""; }
const Script kCut = cut_on();
const Script kBoth = all({cut_on(), marker});
// Command driver: answers per command, successive error codes, the coupon
// counter "456".
Script cancel_driver(int32_t cancel, int32_t read, std::vector<int32_t> codes, int32_t handle = 0) {
  return [=](Fake &f) {
    f.returns("DLLG2_IniciaDriver", handle);
    f.returns("DLLG2_ObtemCodErro", codes);
    f.on("DLLG2_ExecutaComando", [=](Call &c) {
      std::string command = c.text(1);
      c.result = command == "CancelaCupom" ? cancel : command == "LeInteiro" ? read : 1;
    });
    f.on("DLLG2_Retorno", [](Call &c) { c.write(4, "456"); });
  };
}

Lines cancels(int h, bool reads_code = true) {
  return reads_code ? command(h, "CancelaCupom") : command_run(h, "CancelaCupom");
}
Lines reads(int h) { return command(h, "LeInteiro", {param(h, "NomeInteiro", "Coo", 7)}); }
std::string read_back(int handle) {
  return "DLLG2_Retorno(" + std::to_string(handle) + ", 0, \"ValorInteiro\", 4000, \"" + std::string(50, ' ') +
         "\", 50)";
}

// Out: the coupon number, the document-state flag and the caller's answer
// count handed back (77: untouched), and "marker" while "c:\\canc.txt" is
// still there.
TEST(CancelaUltimoCupom, TranscriptPerModelAndPath) {
  const Lines sigtron = {kSigtronPort, "DAR_LeEstadoDoc(49)", kSigtronAnswer,
                         kSigtronPort, "DAR_CancelaDoc(49)",  kSigtronAnswer};
  const std::vector<Row> rows = {
      {"without printer: the marker stays", "ECFZANTRELLO", kBoth, 1, {}, {}, "0 N 77 marker"},
      {"unknown identifier", "SIGTRON", kBoth, 0, {}, {}, "0 N 77 marker"},
      {"bematech with marker: paper handling, marker removed",
       "BEMATECHMP20",
       all({kBoth, writes("Bematech_FI_NumeroCupom", 0, "000123", 1), returns("Bematech_FI_CancelaCupom", 1)}),
       1,
       {"Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()",
        "Bematech_FI_NumeroCupom(" + kSix + ")", "Bematech_FI_CancelaCupom()", kBematechStatus},
       {},
       "000123 N 77"},
      {"bematech paper handling needs the marker",
       "BEMATECHMFD",
       all({kCut, returns("Bematech_FI_CancelaCupom", 1)}),
       1,
       {"Bematech_FI_NumeroCupom(" + kSix + ")", "Bematech_FI_CancelaCupom()", kBematechStatus},
       {},
       "       N 77"},
      {"bematech refused keeps the number read before",
       "BEMATECHMFD",
       all({marker, writes("Bematech_FI_NumeroCupom", 0, "000777", 0, false)}),
       0,
       cat("Bematech_FI_NumeroCupom(" + kSix + ")", "Bematech_FI_CancelaCupom()", kCommunicationError),
       {},
       "000777 N 77"},
      {"sweda reads the number after cancelling, marker untouched",
       "SWEDA7000",
       all({kBoth, returns("ECF_CancelaCupom", 1), writes("ECF_NumeroCupom", 0, "000124", 1)}),
       1,
       {"ECF_CancelaCupom()", kSwedaStatus, "ECF_NumeroCupom(" + kSix + ")"},
       {},
       "000124 N 77 marker"},
      {"sweda refused still hands the number back",
       "SWEDA7000",
       writes("ECF_NumeroCupom", 0, "000125", 1),
       0,
       cat("ECF_CancelaCupom()", kCommunicationError, "ECF_NumeroCupom(" + kSix + ")"),
       {},
       "000125 N 77"},
      {"sigtron document in state 2",
       "SIGTRONFS345",
       sigtron_answers({"ab345672", "..000321tail"}),
       1,
       sigtron,
       {},
       "000321 N 12"},
      {"sigtron other state", "SIGTRONFS345", sigtron_answers({"ab345671", "..000321"}), 1, sigtron, {}, "000321 S 8"},
      {"sigtron state short, number short",
       "SIGTRONFS345",
       sigtron_answers({"ab3", "..0003"}),
       1,
       sigtron,
       {},
       "0003 S 6"},
      {"sigtron state without answer goes on",
       "SIGTRONFS345",
       sigtron_answers({"", "..000321"}),
       1,
       cat(Lines(sigtron.begin(), sigtron.begin() + 3), kNotExecuted, Lines(sigtron.begin() + 3, sigtron.end())),
       {},
       "000321 S 8"},
      {"sigtron cancellation without answer",
       "SIGTRONFS345",
       sigtron_answers({"ab345672", ""}),
       0,
       cat(sigtron, kNotExecuted),
       {},
       "0 N 0"},
      {"daruma cancels, then reads the number",
       "DARUMA32",
       all({daruma_errors({"000"}), writes("Daruma_FI_NumeroCupom", 0, "000126", 1)}),
       1,
       cat("Daruma_FI_CancelaCupom()", kDarumaStatus, "Daruma_FI_NumeroCupom(" + kSix + ")", kDarumaStatus),
       {},
       "000126 N 77"},
      {"daruma cancellation refused",
       "DARUMA32",
       daruma_errors({"012"}),
       0,
       cat("Daruma_FI_CancelaCupom()", kDarumaStatus, "BlockInput(FALSE)",
           "notice: Erro na ECF nº :12\\r\\nNão existe documento a cancelar"),
       {},
       "0 N 77"},
      {"daruma number read refused",
       "DARUMA32",
       all({daruma_errors({"000", "016"}), writes("Daruma_FI_NumeroCupom", 0, "000126", 1)}),
       0,
       cat("Daruma_FI_CancelaCupom()", kDarumaStatus, "Daruma_FI_NumeroCupom(" + kSix + ")", kDarumaStatus,
           "BlockInput(FALSE)", "notice: Erro na ECF nº :16\\r\\nErro de Sintaxe no comando"),
       {},
       "0 N 77"},
      {"digiarte cancels",
       "DIGIARTE1E",
       ecf32m_answers({"COMANDO OK"}),
       1,
       {"OpenCif()", "CancelaCupomFiscal()", kEcf32mFetch, "CloseCif()"},
       {},
       "0 N 77"},
      {"digiarte refused",
       "DIGIARTE1E",
       ecf32m_answers({"ERR-32"}),
       0,
       {"OpenCif()", "CancelaCupomFiscal()", kEcf32mFetch, "notice: (-32) O cupom anterior não pode ser cancelado",
        "CloseCif()"},
       {},
       "0 N 77"},
      {"elgin cancels, reads and cuts",
       "ELGINFIT",
       all({kCut, cancel_driver(1, 1, {0})}),
       1,
       cat(usb_opening(), cancels(0), reads(0), read_back(0), paper_cut()),
       {},
       "456 N 77"},
      {"quick never cuts",
       "DATAREGISQUICK",
       all({kCut, cancel_driver(1, 1, {0})}),
       1,
       cat(usb_opening(), cancels(0), reads(0), read_back(0)),
       {},
       "456 N 77"},
      {"elgin cancellation refused: the negative answer's text",
       "ELGINFIT",
       all({kCut, cancel_driver(-2, 1, {5})}),
       0,
       cat(usb_opening(), cancels(0, false), "notice: Erro -2"),
       {},
       "0 N 77"},
      {"elgin failed read after cancelling: shown, true, no cut",
       "ELGINFIT",
       all({kCut, cancel_driver(1, 1, {0, 8067})}),
       1,
       cat(usb_opening(), cancels(0), reads(0), "notice: COO inválido."),
       {},
       "0 N 77"},
      {"elgin read not run shows the bare code",
       "ELGINFIT",
       all({kCut, cancel_driver(1, 0, {0, 11010})}),
       1,
       cat(usb_opening(), cancels(0), reads(0), "notice: 11010"),
       {},
       "0 N 77"},
      {"serial reads before cancelling, no time-out, no cut",
       "DATAREGISSERIAL",
       all({kCut, cancel_driver(1, 1, {0}, 3)}),
       1,
       cat(serial_opening(3, false), reads(3), read_back(3), cancels(3)),
       {},
       "456 N 77"},
      {"serial failed read prevents the cancellation",
       "DATAREGISSERIAL",
       cancel_driver(1, 0, {7}, 3),
       0,
       cat(serial_opening(3, false), reads(3), "notice: 7"),
       {},
       "0 N 77"},
      {"serial cancellation refused keeps the number",
       "DATAREGISSERIAL",
       cancel_driver(1, 1, {0, 8086}, 3),
       0,
       cat(serial_opening(3, false), reads(3), read_back(3), cancels(3), "notice: Cancelamento inválido."),
       {},
       "456 N 77"},
      {"epson cancels",
       "EPSON",
       epson_clean,
       1,
       cat(epson_opening(), "EPSON_Fiscal_Cancelar_Cupom()", kEpsonState, kEpsonClose),
       {},
       "0 N 77"},
      {"epson refused",
       "EPSON",
       all({epson_clean, returns("EPSON_Fiscal_Cancelar_Cupom", 3)}),
       0,
       cat(epson_opening(), "EPSON_Fiscal_Cancelar_Cupom()", kEpsonState, kEpsonCommunication, kEpsonClose),
       {},
       "0 N 77"},
  };
  run(rows, [](const Row &r, std::string &out) {
    int32_t count = 77;
    const char *numero = "antes";
    const char *estado = "antes";
    int result = KALPO_Cancela_Ultimo_Cupom(r.model, nullptr, nullptr, &count, &numero, &estado);
    out = std::string(numero) + " " + estado + " " + std::to_string(count) +
          (Fake::current().files.count(kMarker) ? " marker" : "");
    return result;
  });
}

// Without the caller's answer count and out texts nothing is written through
// them, and the answer still counts.
TEST(CancelaUltimoCupom, NullReferences) {
  Fake fake;
  sigtron_answers({"ab345672", "..000321"})(fake);
  EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom("SIGTRONFS345", nullptr, nullptr, nullptr, nullptr, nullptr), 1);
}

}  // namespace
}  // namespace kalpo::test
