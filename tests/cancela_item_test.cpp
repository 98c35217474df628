#include <gtest/gtest.h>

#include <functional>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

struct CancelItemRow {
  const char *name;
  const char *model;
  int32_t item;
  std::function<void(Fake &)> script;
  bool result;
  Lines lines;
};

Lines cancels(int handle, const std::string &item) {
  std::string h = std::to_string(handle);
  return {"DLLG2_LimpaParams(" + h + ")", "DLLG2_AdicionaParam(" + h + ", \"NumItem\", \"" + item + "\", 0)",
          "DLLG2_ExecutaComando(" + h + ", \"CancelaItemFiscal\")"};
}

TEST(CancelaItem, TranscriptPerModelAndPath) {
  const std::vector<CancelItemRow> rows = {
      {"bematech cancels",
       "BEMATECHMP20",
       12,
       [](Fake &f) { f.returns("Bematech_FI_CancelaItemGenerico", 1); },
       true,
       {"Bematech_FI_CancelaItemGenerico(\"12\")", kBematechStatus}},
      {"bematech refused, negative item passed on", "BEMATECHMFD", -3, nothing, false,
       cat({{"Bematech_FI_CancelaItemGenerico(\"-3\")"}, kCommunicationError})},
      {"sweda cancels item 0",
       "SWEDA7000",
       0,
       [](Fake &f) { f.returns("ECF_CancelaItemGenerico", 1); },
       true,
       {"ECF_CancelaItemGenerico(\"0\")", kSwedaStatus}},
      {"sweda refused", "SWEDA7000", 7, nothing, false, cat({{"ECF_CancelaItemGenerico(\"7\")"}, kCommunicationError})},
      {"sigtron cancels",
       "SIGTRONFS345",
       12,
       [](Fake &f) { sigtron_answers({".+"})(f); },
       true,
       {kSigtronPort, "DAR_CancelaItem(\"12\", 49)", kSigtronAnswer}},
      {"sigtron without an answer",
       "SIGTRONFS345",
       12,
       nothing,
       false,
       {kSigtronPort, "DAR_CancelaItem(\"12\", 49)", kSigtronAnswer, kNotExecuted}},
      {"sigtron error answer",
       "SIGTRONFS345",
       99,
       [](Fake &f) { sigtron_answers({".E15"})(f); },
       false,
       {kSigtronPort, "DAR_CancelaItem(\"99\", 49)", kSigtronAnswer, "BlockInput(FALSE)",
        "notice: Erro na ECF nº :15\\r\\nItem a cancelar não foi encontrado[ .E15 ]", kNotExecuted}},
      {"daruma has no item cancellation", "DARUMA32", 12, nothing, false, {}},
      {"digiarte has no item cancellation", "DIGIARTE1E", 12, nothing, false, {}},
      {"elgin cancels", "ELGINFIT", 12, driver(1, 0), true,
       cat({usb_opening(), cancels(0, "12"), {"DLLG2_ObtemCodErro(0)"}})},
      {"quick error code refuses", "DATAREGISQUICK", 12, driver(1, 8026), false,
       cat({usb_opening(), cancels(0, "12"), {"DLLG2_ObtemCodErro(0)", "notice: Item não vendido no cupom."}})},
      {"elgin command not run refuses", "ELGINFIT", 12, driver(0, 0), false,
       cat({usb_opening(), cancels(0, "12"), {"DLLG2_ObtemCodErro(0)", "notice: Retorno OK."}})},
      {"elgin negative answer shows the answer", "ELGINFIT", 12, driver(-2, 8026), false,
       cat({usb_opening(), cancels(0, "12"), {"notice: Erro -2"}})},
      {"elgin driver not started", "ELGINFIT", 12, driver(1, 0, -9), false, cat({usb_opening(), {"notice: Erro -9"}})},
      {"serial cancels on its handle", "DATAREGISSERIAL", 12, driver(1, 0, 3), true,
       cat({serial_opening(3), cancels(3, "12"), {"DLLG2_ObtemCodErro(3)"}})},
      {"serial error code refuses", "DATAREGISSERIAL", 12, driver(1, 8026, 3), false,
       cat({serial_opening(3), cancels(3, "12"), {"DLLG2_ObtemCodErro(3)", "notice: Item não vendido no cupom."}})},
      {"epson cancels", "EPSON", 12, epson_clean, true,
       cat({epson_opening(), {"EPSON_Fiscal_Cancelar_Item(\"12\")", kEpsonState, "EPSON_Serial_Fechar_Porta()"}})},
      {"epson refused", "EPSON", 12,
       [](Fake &f) {
         epson_clean(f);
         f.returns("EPSON_Fiscal_Cancelar_Item", 2);
       },
       false,
       cat({epson_opening(),
            {"EPSON_Fiscal_Cancelar_Item(\"12\")", kEpsonState, kEpsonCommunication, "EPSON_Serial_Fechar_Porta()"}})},
      {"epson port refused", "EPSON", 12,
       [](Fake &f) {
         epson_clean(f);
         f.returns("EPSON_Serial_Abrir_Porta", 1);
       },
       false, cat({epson_opening(), {kEpsonCommunication}})},
      {"without printer", "ECFZANTRELLO", 12, nothing, true, {}},
      {"invoice", "NOTAFISCAL", 12, nothing, true, {}},
      {"unknown identifier", "", 12, nothing, false, {}},
  };
  for (const CancelItemRow &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    row.script(fake);
    EXPECT_EQ(KALPO_Cancela_Item(row.model, row.item), row.result ? 1 : 0);
    EXPECT_EQ(fake.lines, row.lines);
  }
}

}  // namespace
}  // namespace kalpo::test
