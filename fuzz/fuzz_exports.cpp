// Calls random exports with random arguments (null pointers, long texts, odd
// model identifiers, an odd configuration file) against a seam answering
// random values; one printer per input.  Checked: every flag is 0 or 1, out
// texts are terminated and stay readable until the next call, nothing escapes
// the C boundary (an exception would end the run), and the seam's own checks.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "frame/state.h"
#include "kalpo.h"
#include "seam.h"

using namespace kalpo;
using namespace kalpo::frame;

namespace {

FuzzedDataProvider *g_data = nullptr;
volatile std::size_t g_read = 0;  // keeps the reads of texts

// Texts handed out by the last call, read again right before the next one.
std::vector<const char *> g_out_texts;
const char *g_outs[3];
int32_t g_vars[3];
std::string g_texts[6];
std::string g_control_text;

void check_flag(int64_t flag) {
  if (flag != 0 && flag != 1) fuzz::violated("a flag export returned neither 0 nor 1");
}

// A text argument: null, empty, long or random.
const char *text(std::size_t slot) {
  switch (g_data->ConsumeIntegralInRange<int>(0, 5)) {
    case 0: return nullptr;
    case 1: g_texts[slot] = std::string(g_data->ConsumeIntegralInRange<std::size_t>(0, 5000), 'A'); break;
    default: g_texts[slot] = g_data->ConsumeRandomLengthString(80); break;
  }
  return g_texts[slot].c_str();
}

const char *model() {
  constexpr const char *kModels[] = {"BEMATECHMP20",    "BEMATECHMFD", "SWEDA7000",    "SIGTRONFS345",
                                     "DARUMA32",        "DIGIARTE1E",  "ELGINFIT",     "DATAREGISQUICK",
                                     "DATAREGISSERIAL", "EPSON",       "ECFZANTRELLO", "NOTAFISCAL"};
  if (g_data->ConsumeIntegralInRange<int>(0, 9) == 0) return text(5);
  return kModels[g_data->ConsumeIntegralInRange<std::size_t>(0, std::size(kModels) - 1)];
}

const char **out(std::size_t slot) {
  g_outs[slot] = nullptr;
  return g_data->ConsumeIntegralInRange<int>(0, 7) == 0 ? nullptr : &g_outs[slot];
}

int32_t *var(std::size_t slot) {
  g_vars[slot] = 0;
  return g_data->ConsumeIntegralInRange<int>(0, 7) == 0 ? nullptr : &g_vars[slot];
}

double amount() {
  constexpr double kOdd[] = {NAN, INFINITY, -INFINITY, -0.0, 1e300, -1e300, 9.3e18};
  if (g_data->ConsumeIntegralInRange<int>(0, 4) == 0)
    return kOdd[g_data->ConsumeIntegralInRange<std::size_t>(0, std::size(kOdd) - 1)];
  return g_data->ConsumeFloatingPoint<double>();
}

int32_t integer() { return g_data->ConsumeIntegral<int32_t>(); }

const char *KALPO_CALL get_text(void *) { return g_control_text.c_str(); }
void KALPO_CALL set_text(void *, const char *value) {
  if (!value) fuzz::violated("a control given a null text");
  g_control_text = value;
}

KALPO_TextControl *control() {
  static KALPO_TextControl full{nullptr, &get_text, &set_text}, read_only{nullptr, &get_text, nullptr};
  g_control_text = g_data->ConsumeRandomLengthString(300);
  switch (g_data->ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return nullptr;
    case 1: return &read_only;
    default: return &full;
  }
}

int32_t KALPO_CALL any_button(void *, int32_t, const char *message, const char *, uint32_t) {
  if (!message) fuzz::violated("a message without text");
  g_read = g_read + std::strlen(message);
  constexpr int32_t kButtons[] = {KALPO_BTN_OK, KALPO_BTN_YES, KALPO_BTN_NO};
  return kButtons[g_data->ConsumeIntegralInRange<std::size_t>(0, 2)];
}

const std::function<void()> kExports[] = {
    [] { KALPO_Versao(out(0)); },
    [] { KALPO_Versao_Number(out(0)); },
    [] { KALPO_RetListaECFS(out(0)); },
    [] { check_flag(KALPO_IniciaDriver()); },
    [] { check_flag(KALPO_FechaDriver(model())); },
    [] { check_flag(KALPO_GravaRegistro(text(0))); },
    [] { check_flag(KALPO_retorna_impressora(model())); },
    [] { check_flag(KALPO_Analisa_iRetorno(model(), integer())); },
    [] {
      std::vector<char> answer(100, 'x');
      const bool own = g_data->ConsumeBool();
      check_flag(KALPO_Analisa_RetSigtronFS345(integer(), own ? answer.data() : nullptr, integer(), var(0)));
    },
    [] { check_flag(KALPO_AbreCupom(model(), out(0), text(0), text(1), text(2))); },
    [] {
      const char *m = model();
      const char *codigo = text(0), *descricao = text(1), *aliquota = text(2), *tipo = text(3);
      const double quantidade = amount();
      const int32_t casas = integer();
      const double preco = amount();
      check_flag(KALPO_VendaItem(m, codigo, descricao, aliquota, tipo, quantidade, casas, preco, text(4), amount()));
    },
    [] { check_flag(KALPO_Inicia_Fechamento(model(), amount())); },
    [] { check_flag(KALPO_desc_fechamento(model(), amount())); },
    [] { check_flag(KALPO_forma_pagamento(model(), text(0), amount())); },
    [] { check_flag(KALPO_fecha_cupom(model(), control())); },
    [] { check_flag(KALPO_Cancela_Item(model(), integer())); },
    [] { check_flag(KALPO_Cancela_Ultimo_Cupom(model(), nullptr, nullptr, var(0), out(0), out(1))); },
    [] { check_flag(KALPO_cupom_vinculado(model(), text(0), text(1), amount())); },
    [] { check_flag(KALPO_usavinculado(model(), text(0))); },
    [] { check_flag(KALPO_usavinculadotermica(model(), control())); },
    [] { check_flag(KALPO_FechaCupomNaovinculado(model())); },
    [] { check_flag(KALPO_AbreRelGerencial(model(), text(0), text(1))); },
    [] { check_flag(KALPO_FechaGerencial(model())); },
    [] { check_flag(KALPO_Leiturax(model(), nullptr, nullptr, var(0))); },
    [] { check_flag(KALPO_Reducaoz(model(), nullptr, nullptr, nullptr, var(0))); },
    [] { check_flag(KALPO_Abredia(model())); },
    [] { check_flag(KALPO_HorarioVerao(model(), text(0))); },
    [] { KALPO_LeData(model(), out(0)); },
    [] { check_flag(KALPO_LeituraMemFiscal(model(), text(0), text(1), text(2))); },
    [] { check_flag(KALPO_GeraCotepe(model(), amount())); },
    [] { check_flag(KALPO_ImpressaoBobina(model())); },
    [] { check_flag(KALPO_MostraNumSerie(model(), out(0))); },
    [] { check_flag(KALPO_FirmWare(model(), out(0))); },
    [] { check_flag(KALPO_RetornaGT(model(), out(0))); },
    [] { check_flag(KALPO_DataHoraEcf(model(), out(0), out(1))); },
    [] { check_flag(KALPO_NumeroCupom(model(), out(0))); },
    [] { check_flag(KALPO_NumReducao(model(), out(0))); },
    [] { check_flag(KALPO_ResumoAliq(model())); },
    [] { check_flag(KALPO_TotalizadorParcial(model(), out(0))); },
    [] { check_flag(KALPO_VerificaEstadoECF(model(), var(0), var(1), var(2))); },
    [] { check_flag(KALPO_Cupom_Aberto(model())); },
    [] { check_flag(KALPO_AbreGaveta(model())); },
};

// Every out text the last call handed out, read to its end.
void read_out_texts() {
  for (const char *t : g_out_texts) g_read = g_read + std::strlen(t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  g_data = &data;
  fuzz::answer_from(data);
  reset_state();
  g_out_texts.clear();
  KALPO_DefineTratadorMensagens(&any_button, nullptr);
  fuzz::write_configuration(data.ConsumeRandomLengthString(400));
  for (int calls = 0; calls < 16 && data.remaining_bytes() > 0; ++calls) {
    const std::size_t which = data.ConsumeIntegralInRange<std::size_t>(0, std::size(kExports) - 1);
    read_out_texts();
    kExports[which]();
    g_out_texts.clear();
    for (const char *t : g_outs) {
      if (t) g_out_texts.push_back(t);
    }
    read_out_texts();
    for (const char *&t : g_outs) t = nullptr;
  }
  return 0;
}
