#include <gtest/gtest.h>

#include <functional>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;

struct ClosingCase {
  const char *name;
  const char *model;
  double discount;
  std::function<void(Fake &)> script;
  bool result;
  Lines lines;
  bool united_states = false;
};

void PrintTo(const ClosingCase &c, std::ostream *os) { *os << c.name; }

// ---- start of closing ----

const ClosingCase kStart[] = {
    {"WithoutPrinter", "ECFZANTRELLO", 1.5, nothing, true, {}},
    {"Unknown", "BEMATECH", 1.5, nothing, false, {}},
    {"ElginNothingToDo", "ELGINFIT", 1.5, nothing, true, {}},
    {"SerialNothingToDo", "DATAREGISSERIAL", 1.5, nothing, true, {}},
    {"EpsonNothingToDo", "EPSON", 1.5, nothing, true, {}},
    {"BematechZero",
     "BEMATECHMP20",
     0,
     [](Fake &f) { f.returns("Bematech_FI_IniciaFechamentoCupom", 1); },
     true,
     {"Bematech_FI_IniciaFechamentoCupom(\"D\", \"$\", \"0\")", kBematechStatus}},
    {"BematechHalfToEven",
     "BEMATECHMFD",
     0.125,
     [](Fake &f) { f.returns("Bematech_FI_IniciaFechamentoCupom", 1); },
     true,
     {"Bematech_FI_IniciaFechamentoCupom(\"D\", \"$\", \"12\")", kBematechStatus}},
    {"BematechRefused", "BEMATECHMP20", 1.5, nothing, false,
     cat({{"Bematech_FI_IniciaFechamentoCupom(\"D\", \"$\", \"150\")"}, kCommunicationError})},
    {"SwedaHundredths",
     "SWEDA7000",
     1.5,
     [](Fake &f) { f.returns("ECF_IniciaFechamentoCupom", 1); },
     true,
     {"ECF_IniciaFechamentoCupom(\"D\", \"$\", \"150\")", kSwedaStatus}},
    {"SigtronHundredthsGeneralCountIgnored", "SIGTRONFS345", 0.125, [](Fake &f) { sigtron_answers({""})(f); }, true,
     cat({{kSigtronPort}, {"DAR_Totaliza(49, \"12,5\", 49)", kSigtronAnswer}})},
    {"SigtronErrorAnswer", "SIGTRONFS345", 1.5, [](Fake &f) { sigtron_answers({"#E24"})(f); }, false,
     cat({{kSigtronPort},
          {"DAR_Totaliza(49, \"150\", 49)", kSigtronAnswer, "BlockInput(FALSE)",
           "notice: Erro na ECF nº :24\\r\\nValor de desconto ou acréscimo inválido. (Limitado a 100%)[ #E24 ]"}})},
    {"DarumaBrazil", "DARUMA32", 1000.5, [](Fake &f) { daruma_errors({"000"})(f); }, true,
     cat("Daruma_FI_IniciaFechamentoCupom(\"D\", \"$\", \"1.000,50\")", kDarumaStatus)},
    {"DarumaUnitedStatesRefused", "DARUMA32", 1000.5, [](Fake &f) { daruma_errors({"050"})(f); }, false,
     cat("Daruma_FI_IniciaFechamentoCupom(\"D\", \"$\", \"1,000.50\")", kDarumaStatus, kDarumaNoPaper), true},
    {"DigiarteZero",
     "DIGIARTE1E",
     0,
     [](Fake &f) { ecf32m_answers({"COMANDO OK"}, false)(f); },
     true,
     {"OpenCif()", "TotalizarCupom(0, 38, \"000000000000000\", \"\")", kEcf32mFetch, "CloseCif()"}},
    {"DigiarteHalfToEvenRefused",
     "DIGIARTE1E",
     0.125,
     [](Fake &f) { ecf32m_answers({"ERR-22"}, false)(f); },
     false,
     {"OpenCif()", "TotalizarCupom(0, 38, \"000000000000012\", \"\")", kEcf32mFetch, kDigiarteNotOpen, "CloseCif()"}},
    {"DigiarteNotConnected",
     "DIGIARTE1E",
     1.5,
     [](Fake &f) { f.returns("OpenCif", -99); },
     false,
     {"OpenCif()", kDigiarteTimeOut}},
};

class IniciaFechamento : public ::testing::TestWithParam<ClosingCase> {};

TEST_P(IniciaFechamento, Transcript) {
  const ClosingCase &c = GetParam();
  Fake fake;
  if (c.united_states) fake.settings = Fake::united_states();
  c.script(fake);
  EXPECT_EQ(KALPO_Inicia_Fechamento(c.model, c.discount), c.result ? 1 : 0);
  expect_transcript(fake.lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(Models, IniciaFechamento, ::testing::ValuesIn(kStart),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- closing discount ----

Lines surcharge(const std::string &h, const char *value) {
  return {"DLLG2_LimpaParams(" + h + ")", "DLLG2_AdicionaParam(" + h + ", \"Cancelar\", \"F\", 0)",
          "DLLG2_AdicionaParam(" + h + ", \"ValorAcrescimo\", \"" + value + "\", 6)",
          "DLLG2_ExecutaComando(" + h + ", \"AcresceSubtotal\")"};
}

const Lines kCheckError0 = {"DLLG2_ObtemCodErro(0)"};

const ClosingCase kDiscount[] = {
    {"WithoutPrinter", "ECFZANTRELLO", 1.5, nothing, false, {}},
    {"BematechNotHere", "BEMATECHMP20", 1.5, nothing, false, {}},
    {"EpsonNotHere", "EPSON", 1.5, nothing, false, {}},
    {"ElginNegatedGeneral", "ELGINFIT", 2.5, [](Fake &f) { driver({1}, {0}, 0)(f); }, true,
     cat({usb_opening(), surcharge("0", "-2,5"), kCheckError0})},
    {"QuickZeroWithoutSign", "DATAREGISQUICK", 0, [](Fake &f) { driver({1}, {0}, 0)(f); }, true,
     cat({usb_opening(), surcharge("0", "0"), kCheckError0})},
    {"ElginNegativeAnswerReadsNoCode", "ELGINFIT", 2.5, [](Fake &f) { driver({-3}, {0}, 0)(f); }, false,
     cat({usb_opening(), surcharge("0", "-2,5"), {"notice: Erro -3"}})},
    {"ElginAnswerZeroShowsCode", "ELGINFIT", 2.5, [](Fake &f) { driver({0}, {0}, 0)(f); }, false,
     cat({usb_opening(), surcharge("0", "-2,5"), kCheckError0, {"notice: Retorno OK."}})},
    {"ElginErrorCodeRefuses", "ELGINFIT", 250, [](Fake &f) { driver({1}, {8046}, 0)(f); }, false,
     cat({usb_opening(), surcharge("0", "-250"), kCheckError0, {"notice: Percentual do desconto ultrapassou 100%."}})},
    {"ElginDriverNotStarted", "ELGINFIT", 2.5, [](Fake &f) { f.returns("DLLG2_IniciaDriver", -2); }, false,
     cat({usb_opening(), {"notice: Erro -2"}})},
    {"SerialUnitedStates", "DATAREGISSERIAL", 2.5, [](Fake &f) { driver({1}, {0}, 3)(f); }, true,
     cat({serial_opening(3), surcharge("3", "-2.5"), {"DLLG2_ObtemCodErro(3)"}}), true},
    {"SerialRefused", "DATAREGISSERIAL", 2.5, [](Fake &f) { driver({1}, {8041}, 3)(f); }, false,
     cat({serial_opening(3),
          surcharge("3", "-2,5"),
          {"DLLG2_ObtemCodErro(3)", "notice: Valor do acréscimo inconsistente."}})},
};

class DescFechamento : public ::testing::TestWithParam<ClosingCase> {};

TEST_P(DescFechamento, Transcript) {
  const ClosingCase &c = GetParam();
  Fake fake;
  if (c.united_states) fake.settings = Fake::united_states();
  c.script(fake);
  EXPECT_EQ(KALPO_desc_fechamento(c.model, c.discount), c.result ? 1 : 0);
  expect_transcript(fake.lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(Models, DescFechamento, ::testing::ValuesIn(kDiscount),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
