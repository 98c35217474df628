#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

struct CancelCouponRow {
  const char *name;
  const char *model;
  std::map<std::string, std::string> config;
  bool marker;  // "c:\canc.txt" exists before the call
  std::function<void(Fake &)> script;
  bool result;
  Lines lines;
  std::string numero;  // coupon number handed back
  std::string estado;  // document-state flag handed back
  int32_t count = 77;  // the caller's answer count afterwards (77: untouched)
};

const std::map<std::string, std::string> kCut = {{"DESATIVAFACA", "S"}};
const std::string kMarker = "c:\\canc.txt";
const std::string kSix = "\"      \"";

// Command driver: answers per command, successive error codes, the coupon
// counter "456".
std::function<void(Fake &)> cancel_driver(int32_t cancel, int32_t read, std::vector<int32_t> codes,
                                          int32_t handle = 0) {
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

Lines cancels(int handle) {
  std::string h = std::to_string(handle);
  return {"DLLG2_LimpaParams(" + h + ")", "DLLG2_ExecutaComando(" + h + ", \"CancelaCupom\")"};
}
Lines reads(int handle) {
  std::string h = std::to_string(handle);
  return {"DLLG2_LimpaParams(" + h + ")", "DLLG2_AdicionaParam(" + h + ", \"NomeInteiro\", \"Coo\", 7)",
          "DLLG2_ExecutaComando(" + h + ", \"LeInteiro\")", "DLLG2_ObtemCodErro(" + h + ")"};
}
std::string read_back(int handle) {
  return "DLLG2_Retorno(" + std::to_string(handle) + ", 0, \"ValorInteiro\", 4000, \"" + std::string(50, ' ') +
         "\", 50)";
}
const std::string kPaperCut = "DLLG2_ExecutaComando(0, \"CortaPapel;TipoCorte=1\")";

TEST(CancelaUltimoCupom, TranscriptPerModelAndPath) {
  const std::vector<CancelCouponRow> rows = {
      {"bematech with marker and paper handling",
       "BEMATECHMP20",
       kCut,
       true,
       [](Fake &f) {
         f.writes("Bematech_FI_NumeroCupom", 0, "000123", 1);
         f.returns("Bematech_FI_CancelaCupom", 1);
       },
       true,
       {"Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()",
        "Bematech_FI_NumeroCupom(" + kSix + ")", "Bematech_FI_CancelaCupom()", kBematechStatus},
       "000123",
       "N"},
      {"bematech paper handling needs the marker",
       "BEMATECHMFD",
       kCut,
       false,
       [](Fake &f) { f.returns("Bematech_FI_CancelaCupom", 1); },
       true,
       {"Bematech_FI_NumeroCupom(" + kSix + ")", "Bematech_FI_CancelaCupom()", kBematechStatus},
       "      ",
       "N"},
      {"bematech refused keeps the number read before",
       "BEMATECHMFD",
       {},
       true,
       [](Fake &f) { f.on("Bematech_FI_NumeroCupom", [](Call &c) { c.write(0, "000777", false); }); },
       false,
       cat({{"Bematech_FI_NumeroCupom(" + kSix + ")", "Bematech_FI_CancelaCupom()"}, kCommunicationError}),
       "000777",
       "N"},
      {"sweda reads the number after cancelling",
       "SWEDA7000",
       kCut,
       true,
       [](Fake &f) {
         f.returns("ECF_CancelaCupom", 1);
         f.writes("ECF_NumeroCupom", 0, "000124", 1);
       },
       true,
       {"ECF_CancelaCupom()", kSwedaStatus, "ECF_NumeroCupom(" + kSix + ")"},
       "000124",
       "N"},
      {"sweda refused still hands the number back",
       "SWEDA7000",
       {},
       false,
       [](Fake &f) { f.writes("ECF_NumeroCupom", 0, "000125", 1); },
       false,
       cat({{"ECF_CancelaCupom()"}, kCommunicationError, {"ECF_NumeroCupom(" + kSix + ")"}}),
       "000125",
       "N"},
      {"sigtron document in state 2",
       "SIGTRONFS345",
       {},
       false,
       sigtron_answers({"ab345672", "..000321tail"}),
       true,
       {kSigtronPort, "DAR_LeEstadoDoc(49)", kSigtronAnswer, kSigtronPort, "DAR_CancelaDoc(49)", kSigtronAnswer},
       "000321",
       "N",
       12},
      {"sigtron other state",
       "SIGTRONFS345",
       {},
       false,
       sigtron_answers({"ab345671", "..000321"}),
       true,
       {kSigtronPort, "DAR_LeEstadoDoc(49)", kSigtronAnswer, kSigtronPort, "DAR_CancelaDoc(49)", kSigtronAnswer},
       "000321",
       "S",
       8},
      {"sigtron state short, number short",
       "SIGTRONFS345",
       {},
       false,
       sigtron_answers({"ab3", "..0003"}),
       true,
       {kSigtronPort, "DAR_LeEstadoDoc(49)", kSigtronAnswer, kSigtronPort, "DAR_CancelaDoc(49)", kSigtronAnswer},
       "0003",
       "S",
       6},
      {"sigtron state without answer goes on",
       "SIGTRONFS345",
       {},
       false,
       sigtron_answers({"", "..000321"}),
       true,
       {kSigtronPort, "DAR_LeEstadoDoc(49)", kSigtronAnswer, kNotExecuted, kSigtronPort, "DAR_CancelaDoc(49)",
        kSigtronAnswer},
       "000321",
       "S",
       8},
      {"sigtron cancellation without answer",
       "SIGTRONFS345",
       {},
       false,
       sigtron_answers({"ab345672", ""}),
       false,
       {kSigtronPort, "DAR_LeEstadoDoc(49)", kSigtronAnswer, kSigtronPort, "DAR_CancelaDoc(49)", kSigtronAnswer,
        kNotExecuted},
       "0",
       "N",
       0},
      {"sigtron cancellation error answer",
       "SIGTRONFS345",
       {},
       false,
       sigtron_answers({"ab345671", ".E12"}),
       false,
       {kSigtronPort, "DAR_LeEstadoDoc(49)", kSigtronAnswer, kSigtronPort, "DAR_CancelaDoc(49)", kSigtronAnswer,
        "BlockInput(FALSE)", "notice: Erro na ECF nº :12\\r\\nNão existe documento a cancelar[ .E12 ]", kNotExecuted},
       "0",
       "S",
       4},
      {"daruma cancels, then reads the number",
       "DARUMA32",
       {},
       false,
       [](Fake &f) {
         daruma_errors({"000"})(f);
         f.writes("Daruma_FI_NumeroCupom", 0, "000126", 1);
       },
       true,
       cat({{"Daruma_FI_CancelaCupom()"}, kDarumaStatus, {"Daruma_FI_NumeroCupom(" + kSix + ")"}, kDarumaStatus}),
       "000126",
       "N"},
      {"daruma cancellation refused",
       "DARUMA32",
       {},
       false,
       [](Fake &f) { daruma_errors({"012"})(f); },
       false,
       cat({{"Daruma_FI_CancelaCupom()"},
            kDarumaStatus,
            {"BlockInput(FALSE)", "notice: Erro na ECF nº :12\\r\\nNão existe documento a cancelar"}}),
       "0",
       "N"},
      {"daruma number read refused",
       "DARUMA32",
       {},
       false,
       [](Fake &f) {
         f.on("Daruma_FI_RetornaErroExtendido", [](Call &c) { c.write(0, c.calls == 0 ? "000" : "016"); });
         f.writes("Daruma_FI_NumeroCupom", 0, "000126", 1);
       },
       false,
       cat({{"Daruma_FI_CancelaCupom()"},
            kDarumaStatus,
            {"Daruma_FI_NumeroCupom(" + kSix + ")"},
            kDarumaStatus,
            {"BlockInput(FALSE)", "notice: Erro na ECF nº :16\\r\\nErro de Sintaxe no comando"}}),
       "0",
       "N"},
      {"digiarte cancels",
       "DIGIARTE1E",
       {},
       false,
       [](Fake &f) { ecf32m_answers({"COMANDO OK"})(f); },
       true,
       {"OpenCif()", "CancelaCupomFiscal()", kEcf32mFetch, "CloseCif()"},
       "0",
       "N"},
      {"digiarte refused",
       "DIGIARTE1E",
       {},
       false,
       [](Fake &f) { ecf32m_answers({"ERR-32"})(f); },
       false,
       {"OpenCif()", "CancelaCupomFiscal()", kEcf32mFetch, "notice: (-32) O cupom anterior não pode ser cancelado",
        "CloseCif()"},
       "0",
       "N"},
      {"elgin cancels, reads and cuts", "ELGINFIT", kCut, false, cancel_driver(1, 1, {0}), true,
       cat({usb_opening(), cancels(0), {"DLLG2_ObtemCodErro(0)"}, reads(0), {read_back(0), kPaperCut}}), "456", "N"},
      {"quick never cuts", "DATAREGISQUICK", kCut, false, cancel_driver(1, 1, {0}), true,
       cat({usb_opening(), cancels(0), {"DLLG2_ObtemCodErro(0)"}, reads(0), {read_back(0)}}), "456", "N"},
      {"elgin cancellation error code refuses", "ELGINFIT", kCut, false, cancel_driver(1, 1, {8086}), false,
       cat({usb_opening(), cancels(0), {"DLLG2_ObtemCodErro(0)", "notice: Cancelamento inválido."}}), "0", "N"},
      {"elgin cancellation not run refuses",
       "ELGINFIT",
       {},
       false,
       cancel_driver(0, 1, {0}),
       false,
       cat({usb_opening(), cancels(0), {"DLLG2_ObtemCodErro(0)", "notice: Retorno OK."}}),
       "0",
       "N"},
      {"elgin cancellation negative answer",
       "ELGINFIT",
       {},
       false,
       cancel_driver(-5, 1, {0}),
       false,
       cat({usb_opening(), cancels(0), {"notice: Erro -5"}}),
       "0",
       "N"},
      {"elgin failed read after cancelling: shown, true, no cut", "ELGINFIT", kCut, false,
       cancel_driver(1, 1, {0, 8067}), true,
       cat({usb_opening(), cancels(0), {"DLLG2_ObtemCodErro(0)"}, reads(0), {"notice: COO inválido."}}), "0", "N"},
      {"elgin read not run shows the bare code", "ELGINFIT", kCut, false, cancel_driver(1, 0, {0, 11010}), true,
       cat({usb_opening(), cancels(0), {"DLLG2_ObtemCodErro(0)"}, reads(0), {"notice: 11010"}}), "0", "N"},
      {"elgin driver not started", "ELGINFIT", kCut, false, cancel_driver(1, 1, {0}, -4), false,
       cat({usb_opening(), {"notice: Erro -4"}}), "0", "N"},
      {"serial reads before cancelling, no time-out, no cut", "DATAREGISSERIAL", kCut, false,
       cancel_driver(1, 1, {0}, 3), true,
       cat({serial_opening(3, false), reads(3), {read_back(3)}, cancels(3), {"DLLG2_ObtemCodErro(3)"}}), "456", "N"},
      {"serial failed read prevents the cancellation",
       "DATAREGISSERIAL",
       {},
       false,
       cancel_driver(1, 0, {7}, 3),
       false,
       cat({serial_opening(3, false), reads(3), {"notice: 7"}}),
       "0",
       "N"},
      {"serial cancellation error code refuses",
       "DATAREGISSERIAL",
       {},
       false,
       cancel_driver(1, 1, {0, 8086}, 3),
       false,
       cat({serial_opening(3, false),
            reads(3),
            {read_back(3)},
            cancels(3),
            {"DLLG2_ObtemCodErro(3)", "notice: Cancelamento inválido."}}),
       "456",
       "N"},
      {"epson cancels",
       "EPSON",
       {},
       false,
       epson_clean,
       true,
       cat({epson_opening(), {"EPSON_Fiscal_Cancelar_Cupom()", kEpsonState, "EPSON_Serial_Fechar_Porta()"}}),
       "0",
       "N"},
      {"epson refused",
       "EPSON",
       {},
       false,
       [](Fake &f) {
         epson_clean(f);
         f.returns("EPSON_Fiscal_Cancelar_Cupom", 3);
       },
       false,
       cat({epson_opening(),
            {"EPSON_Fiscal_Cancelar_Cupom()", kEpsonState, kEpsonCommunication, "EPSON_Serial_Fechar_Porta()"}}),
       "0",
       "N"},
      {"without printer", "ECFZANTRELLO", kCut, true, nothing, true, {}, "0", "N"},
      {"unknown identifier", "SIGTRON", kCut, true, nothing, false, {}, "0", "N"},
  };
  for (const CancelCouponRow &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    for (const auto &[k, v] : row.config) fake.config[k] = v;
    if (row.marker) fake.files[kMarker] = "";
    row.script(fake);
    int32_t count = 77;
    const char *numero = "antes";
    const char *estado = "antes";
    EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom(row.model, nullptr, nullptr, &count, &numero, &estado), row.result ? 1 : 0);
    EXPECT_EQ(fake.lines, row.lines);
    EXPECT_STREQ(numero, row.numero.c_str());
    EXPECT_STREQ(estado, row.estado.c_str());
    EXPECT_EQ(count, row.count);
    // The Bematech models always remove the marker; nobody else touches it.
    bool bematech = std::string(row.model).rfind("BEMATECH", 0) == 0;
    EXPECT_EQ(fake.files.count(kMarker) > 0, row.marker && !bematech);
  }
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
