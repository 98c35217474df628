#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

// Each row's argument is the discount.
TEST(IniciaFechamento, TranscriptPerModelAndPath) {
  const std::vector<Row> rows = {
      {"without printer", "ECFZANTRELLO", nothing, 1, {}, {"1.5"}},
      {"unknown identifier", "BEMATECH", nothing, 0, {}, {"1.5"}},
      {"elgin: nothing to do", "ELGINFIT", nothing, 1, {}, {"1.5"}},
      {"serial: nothing to do", "DATAREGISSERIAL", nothing, 1, {}, {"1.5"}},
      {"epson: nothing to do", "EPSON", nothing, 1, {}, {"1.5"}},
      {"bematech half to even",
       "BEMATECHMFD",
       returns("Bematech_FI_IniciaFechamentoCupom", 1),
       1,
       {"Bematech_FI_IniciaFechamentoCupom(\"D\", \"$\", \"12\")", kBematechStatus},
       {"0.125"}},
      {"bematech refused",
       "BEMATECHMP20",
       nothing,
       0,
       cat("Bematech_FI_IniciaFechamentoCupom(\"D\", \"$\", \"150\")", kCommunicationError),
       {"1.5"}},
      {"sweda hundredths",
       "SWEDA7000",
       returns("ECF_IniciaFechamentoCupom", 1),
       1,
       {"ECF_IniciaFechamentoCupom(\"D\", \"$\", \"150\")", kSwedaStatus},
       {"1.5"}},
      {"sigtron hundredths in general form, no answer is no error",
       "SIGTRONFS345",
       sigtron_answers({""}),
       1,
       {kSigtronPort, "DAR_Totaliza(49, \"12,5\", 49)", kSigtronAnswer},
       {"0.125"}},
      {"sigtron error answer",
       "SIGTRONFS345",
       sigtron_answers({"#E24"}),
       0,
       {kSigtronPort, "DAR_Totaliza(49, \"150\", 49)", kSigtronAnswer, "BlockInput(FALSE)",
        "notice: Erro na ECF nº :24\\r\\nValor de desconto ou acréscimo inválido. (Limitado a 100%)[ #E24 ]"},
       {"1.5"}},
      {"daruma regional",
       "DARUMA32",
       daruma_errors({"000"}),
       1,
       cat("Daruma_FI_IniciaFechamentoCupom(\"D\", \"$\", \"1.000,50\")", kDarumaStatus),
       {"1000.5"}},
      {"daruma united states, refused",
       "DARUMA32",
       all({united_states, daruma_errors({"050"})}),
       0,
       cat("Daruma_FI_IniciaFechamentoCupom(\"D\", \"$\", \"1,000.50\")", kDarumaStatus, kDarumaNoPaper),
       {"1000.5"}},
      {"digiarte zero padded to 15",
       "DIGIARTE1E",
       ecf32m_answers({"COMANDO OK"}, false),
       1,
       {"OpenCif()", "TotalizarCupom(0, 38, \"000000000000000\", \"\")", kEcf32mFetch, "CloseCif()"},
       {"0"}},
      {"digiarte half to even, refused",
       "DIGIARTE1E",
       ecf32m_answers({"ERR-22"}, false),
       0,
       {"OpenCif()", "TotalizarCupom(0, 38, \"000000000000012\", \"\")", kEcf32mFetch, kDigiarteNotOpen, "CloseCif()"},
       {"0.125"}},
  };
  run(rows, [](const Row &r) { return KALPO_Inicia_Fechamento(r.model, decimal(r.arg())); });
}

Lines surcharge(int h, const std::string &value, bool reads_code = true) {
  Lines params = {param(h, "Cancelar", "F", 0), param(h, "ValorAcrescimo", value, 6)};
  return reads_code ? command(h, "AcresceSubtotal", params) : command_run(h, "AcresceSubtotal", params);
}

TEST(DescFechamento, TranscriptPerModelAndPath) {
  const std::vector<Row> rows = {
      {"without printer", "ECFZANTRELLO", nothing, 0, {}, {"1.5"}},
      {"bematech: not here", "BEMATECHMP20", nothing, 0, {}, {"1.5"}},
      {"epson: not here", "EPSON", nothing, 0, {}, {"1.5"}},
      {"elgin: a negated surcharge", "ELGINFIT", driver(1, 0), 1, cat(usb_opening(), surcharge(0, "-2,5")), {"2.5"}},
      {"quick: zero without a sign", "DATAREGISQUICK", driver(1, 0), 1, cat(usb_opening(), surcharge(0, "0")), {"0"}},
      {"elgin refused: the negative answer's text",
       "ELGINFIT",
       driver(-2, 5),
       0,
       cat(usb_opening(), surcharge(0, "-2,5", false), "notice: Erro -2"),
       {"2.5"}},
      {"serial on its handle, united states",
       "DATAREGISSERIAL",
       all({united_states, driver(1, 0, 3)}),
       1,
       cat(serial_opening(3), surcharge(3, "-2.5")),
       {"2.5"}},
  };
  run(rows, [](const Row &r) { return KALPO_desc_fechamento(r.model, decimal(r.arg())); });
}

}  // namespace
}  // namespace kalpo::test
