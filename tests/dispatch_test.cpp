// Identifiers without a branch: every export answers its preset without a
// maker call and without a message (apart from the confirmations and dates
// that belong to the export itself).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "kalpo.h"
#include "support/fake.h"
#include "support/presets.h"

namespace {

using kalpo::test::Fake;

// An export called with arguments of this test; its presets are those of
// the shared table.
struct Export {
  const char *name;
  std::function<uint8_t(const char *)> make_call;
  // The call, with the caller's variables set to markers first.
  uint8_t call(const char *model) const;
  const KalpoPreset &preset() const {
    const KalpoPreset *row = kalpo_preset(name);
    if (!row) throw std::logic_error(std::string(name) + " has no row in support/presets.h");
    return *row;
  }
};

const char *kSentinel = "untouched";

// The control's functions use the export calling convention, which lambdas
// cannot take on 32-bit Windows.
const char *KALPO_CALL control_text(void *) { return "linha"; }
void KALPO_CALL control_set(void *, const char *) {}

const char *out1, *out2, *out3;
int32_t count, a, b, c;
KALPO_TextControl control{nullptr, control_text, control_set};

uint8_t Export::call(const char *model) const {
  out1 = out2 = out3 = kSentinel;
  count = a = b = c = -77;
  return make_call(model);
}

std::vector<Export> exports() {
  return {
      {"KALPO_AbreCupom", [](const char *m) { return KALPO_AbreCupom(m, &out1, "n", "e", "d"); }},
      {"KALPO_VendaItem", [](const char *m) { return KALPO_VendaItem(m, "1", "d", "01", "I", 1, 2, 1, "", 0); }},
      {"KALPO_Inicia_Fechamento", [](const char *m) { return KALPO_Inicia_Fechamento(m, 1); }},
      {"KALPO_desc_fechamento", [](const char *m) { return KALPO_desc_fechamento(m, 1); }},
      {"KALPO_forma_pagamento", [](const char *m) { return KALPO_forma_pagamento(m, "D", 1); }},
      {"KALPO_fecha_cupom", [](const char *m) { return KALPO_fecha_cupom(m, &control); }},
      {"KALPO_Cancela_Item", [](const char *m) { return KALPO_Cancela_Item(m, 1); }},
      {"KALPO_cupom_vinculado", [](const char *m) { return KALPO_cupom_vinculado(m, "D", "1", 1); }},
      {"KALPO_usavinculado", [](const char *m) { return KALPO_usavinculado(m, "t"); }},
      {"KALPO_usavinculadotermica", [](const char *m) { return KALPO_usavinculadotermica(m, &control); }},
      {"KALPO_FechaCupomNaovinculado", [](const char *m) { return KALPO_FechaCupomNaovinculado(m); }},
      {"KALPO_AbreRelGerencial", [](const char *m) { return KALPO_AbreRelGerencial(m, "t", "01"); }},
      {"KALPO_FechaGerencial", [](const char *m) { return KALPO_FechaGerencial(m); }},
      {"KALPO_Leiturax", [](const char *m) { return KALPO_Leiturax(m, nullptr, nullptr, &count); }},
      {"KALPO_Abredia", [](const char *m) { return KALPO_Abredia(m); }},
      {"KALPO_LeituraMemFiscal",
       [](const char *m) { return KALPO_LeituraMemFiscal(m, "01/12/2026", "07/12/2026", "D"); }},
      {"KALPO_GeraCotepe", [](const char *m) { return KALPO_GeraCotepe(m, 46363.5); }},
      {"KALPO_ImpressaoBobina", [](const char *m) { return KALPO_ImpressaoBobina(m); }},
      {"KALPO_MostraNumSerie", [](const char *m) { return KALPO_MostraNumSerie(m, &out1); }},
      {"KALPO_FirmWare", [](const char *m) { return KALPO_FirmWare(m, &out1); }},
      {"KALPO_RetornaGT", [](const char *m) { return KALPO_RetornaGT(m, &out1); }},
      {"KALPO_DataHoraEcf", [](const char *m) { return KALPO_DataHoraEcf(m, &out1, &out2); }},
      {"KALPO_NumeroCupom", [](const char *m) { return KALPO_NumeroCupom(m, &out1); }},
      {"KALPO_NumReducao", [](const char *m) { return KALPO_NumReducao(m, &out1); }},
      {"KALPO_ResumoAliq", [](const char *m) { return KALPO_ResumoAliq(m); }},
      {"KALPO_TotalizadorParcial", [](const char *m) { return KALPO_TotalizadorParcial(m, &out1); }},
      {"KALPO_VerificaEstadoECF", [](const char *m) { return KALPO_VerificaEstadoECF(m, &a, &b, &c); }},
      {"KALPO_Cupom_Aberto", [](const char *m) { return KALPO_Cupom_Aberto(m); }},
      {"KALPO_AbreGaveta", [](const char *m) { return KALPO_AbreGaveta(m); }},
  };
}

// Identifiers that name no branch of any export, and the two without a printer.
const std::vector<const char *> kWithoutBranch = {"bematechmp20", "BEMATECHMP20 ", " EPSON", "", nullptr, "XPTO"};
const std::vector<const char *> kWithoutPrinter = {"ECFZANTRELLO", "NOTAFISCAL"};

TEST(Dispatch, PresetsWithoutMakerCallOrMessage) {
  for (const Export &e : exports()) {
    for (const char *model : kWithoutPrinter) {
      Fake fake;
      EXPECT_EQ(e.call(model), e.preset().without_printer) << e.name << " " << model;
      EXPECT_TRUE(fake.lines.empty()) << e.name << " " << model << ": " << fake.lines.front();
    }
    for (const char *model : kWithoutBranch) {
      Fake fake;
      EXPECT_EQ(e.call(model), e.preset().without_branch) << e.name << " " << (model ? model : "(null)");
      EXPECT_TRUE(fake.lines.empty()) << e.name;
    }
  }
}

// Printer models that an export has no branch for: the identifier is then
// as unknown as any other text.
const std::map<std::string, std::vector<const char *>> kModelsWithoutBranch = {
    {"KALPO_Cancela_Item", {"DARUMA32", "DIGIARTE1E"}},
    {"KALPO_cupom_vinculado", {"DIGIARTE1E", "EPSON"}},
    {"KALPO_usavinculado", {"DIGIARTE1E", "EPSON"}},
    {"KALPO_FechaCupomNaovinculado", {"DIGIARTE1E", "EPSON"}},
    {"KALPO_AbreRelGerencial", {"SWEDA7000", "DIGIARTE1E", "EPSON"}},
    {"KALPO_FechaGerencial", {"SWEDA7000", "DIGIARTE1E", "EPSON"}},
    {"KALPO_FirmWare", {"EPSON"}},
    {"KALPO_MostraNumSerie", {"EPSON"}},
    {"KALPO_LeituraMemFiscal",
     {"SWEDA7000", "SIGTRONFS345", "DARUMA32", "ELGINFIT", "DATAREGISQUICK", "DATAREGISSERIAL", "EPSON"}},
    {"KALPO_GeraCotepe",
     {"BEMATECHMP20", "SWEDA7000", "SIGTRONFS345", "DARUMA32", "DIGIARTE1E", "ELGINFIT", "DATAREGISQUICK", "EPSON"}},
    {"KALPO_Abredia",
     {"SWEDA7000", "SIGTRONFS345", "DARUMA32", "DIGIARTE1E", "ELGINFIT", "DATAREGISQUICK", "DATAREGISSERIAL"}},
    {"KALPO_usavinculadotermica", {"BEMATECHMP20", "SWEDA7000", "SIGTRONFS345", "DIGIARTE1E", "EPSON"}},
    {"KALPO_desc_fechamento",
     {"BEMATECHMP20", "BEMATECHMFD", "SWEDA7000", "SIGTRONFS345", "DARUMA32", "DIGIARTE1E", "EPSON"}},
    {"KALPO_AbreGaveta", {"SWEDA7000", "DIGIARTE1E", "EPSON"}},
    {"KALPO_ImpressaoBobina",
     {"BEMATECHMP20", "BEMATECHMFD", "SWEDA7000", "SIGTRONFS345", "DARUMA32", "DIGIARTE1E", "DATAREGISQUICK", "EPSON"}},
};

TEST(Dispatch, PrinterModelsWithoutBranchAnswerThePreset) {
  const std::vector<const char *> bematech_only = {"SWEDA7000", "SIGTRONFS345",   "DARUMA32",        "DIGIARTE1E",
                                                   "ELGINFIT",  "DATAREGISQUICK", "DATAREGISSERIAL", "EPSON"};
  const std::set<std::string> bematech_exports = {
      "KALPO_RetornaGT",  "KALPO_DataHoraEcf",        "KALPO_NumeroCupom",       "KALPO_NumReducao",
      "KALPO_ResumoAliq", "KALPO_TotalizadorParcial", "KALPO_VerificaEstadoECF", "KALPO_Cupom_Aberto"};
  for (const Export &e : exports()) {
    auto found = kModelsWithoutBranch.find(e.name);
    const std::vector<const char *> none;
    const std::vector<const char *> &models = found != kModelsWithoutBranch.end() ? found->second
                                              : bematech_exports.count(e.name)    ? bematech_only
                                                                                  : none;
    for (const char *model : models) {
      Fake fake;
      EXPECT_EQ(e.call(model), e.preset().without_branch) << e.name << " " << model;
      EXPECT_TRUE(fake.lines.empty()) << e.name << " " << model << ": " << fake.lines.front();
    }
  }
}

TEST(Dispatch, OutArgumentsUntouchedWithoutBranch) {
  for (const char *model : {"ECFZANTRELLO", "NOTAFISCAL", "epson", ""}) {
    Fake fake;
    const char *number = kSentinel;
    const char *date = kSentinel;
    const char *time = kSentinel;
    int32_t ack = -1, st1 = -1, st2 = -1, count = -1;
    KALPO_AbreCupom(model, &number, "", "", "");
    KALPO_DataHoraEcf(model, &date, &time);
    KALPO_VerificaEstadoECF(model, &ack, &st1, &st2);
    KALPO_Leiturax(model, nullptr, nullptr, &count);
    EXPECT_EQ(number, kSentinel);
    EXPECT_EQ(date, kSentinel);
    EXPECT_EQ(time, kSentinel);
    EXPECT_EQ(ack + st1 + st2 + count, -4);
  }
}

TEST(Dispatch, CancelLastCouponStoresItsDefaultsForEveryIdentifier) {
  for (const char *model : {"ECFZANTRELLO", "NOTAFISCAL", "xpto", ""}) {
    Fake fake;
    const char *number = kSentinel;
    const char *flag = kSentinel;
    int32_t count = -1;
    uint8_t expected = std::string(model) == "ECFZANTRELLO" || std::string(model) == "NOTAFISCAL";
    EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom(model, nullptr, nullptr, &count, &number, &flag), expected);
    EXPECT_STREQ(number, "0");
    EXPECT_STREQ(flag, "N");
    EXPECT_EQ(count, -1);
    EXPECT_TRUE(fake.lines.empty());
  }
}

TEST(Dispatch, ReductionAsksBeforeAnythingElse) {
  const std::string ask = "confirm: A Redução Z impossibilitará novas impressões\\rde Cupons Fiscais!\\r\\rContinua ?";
  struct Row {
    const char *model;
    int32_t answer;
    uint8_t result;
    std::vector<std::string> lines;
  };
  const std::vector<Row> rows = {
      {"ECFZANTRELLO", 6, 1, {ask}},
      {"NOTAFISCAL", 6, 1, {ask}},
      {"xpto", 6, 0, {ask}},
      {"ECFZANTRELLO", 7, 0, {ask, "dialog: Emissão de Redução Abortada!"}},
      {"", 7, 0, {ask, "dialog: Emissão de Redução Abortada!"}},
  };
  for (const Row &row : rows) {
    Fake fake;
    fake.confirm_answer = row.answer;
    int32_t count = -1;
    EXPECT_EQ(KALPO_Reducaoz(row.model, nullptr, nullptr, nullptr, &count), row.result) << row.model;
    EXPECT_EQ(fake.lines, row.lines) << row.model;
    EXPECT_EQ(count, -1);
  }
}

TEST(Dispatch, DaylightSavingOnlyOnTheSerialDriver) {
  for (const char *model : {"ECFZANTRELLO", "ELGINFIT", "", "EPSON"}) {
    Fake fake;
    EXPECT_EQ(KALPO_HorarioVerao(model, "ENTRAR"), 0);
    EXPECT_EQ(fake.lines, std::vector<std::string>{"dialog: Modelo de Impressora Fiscal não prepara ainda para o "
                                                   "programa!\\r\\nPor favor, utilize o utilitário do fabricante!"});
  }
}

TEST(Dispatch, ReadDateGivesTheWorkstationDateInItsShortFormat) {
  struct Row {
    kalpo::platform::Regional settings;
    const char *expected;
  };
  for (const Row &row : {Row{Fake::brazil(), "07/12/2026"}, Row{Fake::united_states(), "12/7/2026"}}) {
    for (const char *model : {"ECFZANTRELLO", "DATAREGISQUICK", "xpto"}) {
      Fake fake;
      fake.settings = row.settings;
      const char *date = kSentinel;
      KALPO_LeData(model, &date);
      EXPECT_STREQ(date, row.expected);
      EXPECT_TRUE(fake.lines.empty());
    }
  }
}

}  // namespace
