#include <gtest/gtest.h>

#include <functional>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

Lines cancels(int handle, const std::string &item) {
  std::string h = std::to_string(handle);
  return {"DLLG2_LimpaParams(" + h + ")", "DLLG2_AdicionaParam(" + h + ", \"NumItem\", \"" + item + "\", 0)",
          "DLLG2_ExecutaComando(" + h + ", \"CancelaItemFiscal\")"};
}

// The row's argument: the item number (12 where the row gives none).
TEST(CancelaItem, TranscriptPerModelAndPath) {
  const std::vector<Row> rows = {
      {"bematech cancels",
       "BEMATECHMP20",
       returns("Bematech_FI_CancelaItemGenerico", 1),
       1,
       {"Bematech_FI_CancelaItemGenerico(\"12\")", kBematechStatus}},
      {"bematech refused, negative item passed on",
       "BEMATECHMFD",
       nothing,
       0,
       cat({{"Bematech_FI_CancelaItemGenerico(\"-3\")"}, kCommunicationError}),
       {"-3"}},
      {"sweda cancels item 0",
       "SWEDA7000",
       returns("ECF_CancelaItemGenerico", 1),
       1,
       {"ECF_CancelaItemGenerico(\"0\")", kSwedaStatus},
       {"0"}},
      {"sweda refused", "SWEDA7000", nothing, 0, cat({{"ECF_CancelaItemGenerico(\"7\")"}, kCommunicationError}), {"7"}},
      {"sigtron cancels",
       "SIGTRONFS345",
       sigtron_answers({".+"}),
       1,
       {kSigtronPort, "DAR_CancelaItem(\"12\", 49)", kSigtronAnswer}},
      {"sigtron without an answer",
       "SIGTRONFS345",
       nothing,
       0,
       {kSigtronPort, "DAR_CancelaItem(\"12\", 49)", kSigtronAnswer, kNotExecuted}},
      {"sigtron error answer",
       "SIGTRONFS345",
       sigtron_answers({".E15"}),
       0,
       {kSigtronPort, "DAR_CancelaItem(\"99\", 49)", kSigtronAnswer, "BlockInput(FALSE)",
        "notice: Erro na ECF nº :15\\r\\nItem a cancelar não foi encontrado[ .E15 ]", kNotExecuted},
       {"99"}},
      {"daruma has no item cancellation", "DARUMA32", nothing, 0, {}},
      {"digiarte has no item cancellation", "DIGIARTE1E", nothing, 0, {}},
      {"elgin cancels", "ELGINFIT", driver(1, 0), 1, cat({usb_opening(), cancels(0, "12"), {"DLLG2_ObtemCodErro(0)"}})},
      {"quick error code refuses", "DATAREGISQUICK", driver(1, 8026), 0,
       cat({usb_opening(), cancels(0, "12"), {"DLLG2_ObtemCodErro(0)", "notice: Item não vendido no cupom."}})},
      {"elgin command not run refuses", "ELGINFIT", driver(0, 0), 0,
       cat({usb_opening(), cancels(0, "12"), {"DLLG2_ObtemCodErro(0)", "notice: Retorno OK."}})},
      {"elgin negative answer shows the answer", "ELGINFIT", driver(-2, 8026), 0,
       cat({usb_opening(), cancels(0, "12"), {"notice: Erro -2"}})},
      {"elgin driver not started", "ELGINFIT", driver(1, 0, -9), 0, cat({usb_opening(), {"notice: Erro -9"}})},
      {"serial cancels on its handle", "DATAREGISSERIAL", driver(1, 0, 3), 1,
       cat({serial_opening(3), cancels(3, "12"), {"DLLG2_ObtemCodErro(3)"}})},
      {"serial error code refuses", "DATAREGISSERIAL", driver(1, 8026, 3), 0,
       cat({serial_opening(3), cancels(3, "12"), {"DLLG2_ObtemCodErro(3)", "notice: Item não vendido no cupom."}})},
      {"epson cancels", "EPSON", epson_clean, 1,
       cat({epson_opening(), {"EPSON_Fiscal_Cancelar_Item(\"12\")", kEpsonState, "EPSON_Serial_Fechar_Porta()"}})},
      {"epson refused", "EPSON",
       [](Fake &f) {
         epson_clean(f);
         f.returns("EPSON_Fiscal_Cancelar_Item", 2);
       },
       0,
       cat({epson_opening(),
            {"EPSON_Fiscal_Cancelar_Item(\"12\")", kEpsonState, kEpsonCommunication, "EPSON_Serial_Fechar_Porta()"}})},
      {"epson port refused", "EPSON",
       [](Fake &f) {
         epson_clean(f);
         f.returns("EPSON_Serial_Abrir_Porta", 1);
       },
       0, cat({epson_opening(), {kEpsonCommunication}})},
      {"without printer", "ECFZANTRELLO", nothing, 1, {}},
      {"invoice", "NOTAFISCAL", nothing, 1, {}},
      {"unknown identifier", "", nothing, 0, {}},
  };
  run(rows, [](const Row &row) { return KALPO_Cancela_Item(row.model, std::stoi(row.arg(0, "12"))); });
}

}  // namespace
}  // namespace kalpo::test
