// The printer's serial number.
#include <string>

#include "base/ascii.h"
#include "frame/answer_buffer.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "frame/state.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "platform/platform.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
namespace {

constexpr const char *kRegister = "NumeroSerieECF";

// How long a refused driver start of the serial model is tried again, and the
// pause between two tries.
constexpr uint64_t kStartRetryMs = 5000;
constexpr uint32_t kStartPauseMs = 100;

// Bematech and Sweda: the number trimmed, handed back only on success.
// QUIRK: the MFD model first shows the answer as received, in a notice, whatever the judgment.
template <typename Call>
bool judged_serial_number(Model model, std::size_t width, Call call, bool show_raw, OutText numero) {
  AnswerBuffer buffer(width);
  bool ok = makers::analisa_iretorno(model, call(buffer.data()));
  if (show_raw) msg::notice(buffer.text());
  if (ok) numero.set(base::ascii::trim_spaces_and_controls(buffer.text()));
  return ok;
}

bool sigtron(OutText numero) {
  makers::sigtron_open_configured_port();
  makers::SigtronAnswer answer = makers::sigtron_judge_executed(seam::api().DAR_LeIdent(49));
  numero.set(base::ascii::characters(answer.text, 3, 10));
  return answer.executed();
}

bool daruma(OutText numero) {
  AnswerBuffer buffer(20);
  bool ok = makers::daruma_judge(seam::api().Daruma_FI_NumeroSerie(buffer.data()));
  numero.set(buffer.text());
  return ok;
}

bool digiarte(OutText numero) {
  return makers::digiarte_session([&] {
    seam::api().EcfPar("49");
    std::string text;
    bool ok = makers::digiarte_judge_answer(text);
    numero.set(base::ascii::characters(text, 5, text.size()));
    return ok;
  });
}

// Starts the serial driver, trying again while it refuses, for a bounded time:
// no new try starts later than kStartRetryMs after the first.
bool start_serial_driver() {
  ModuleState &s = state();
  platform::Platform &p = platform::get();
  std::string port = makers::serial_settings(makers::SerialSetup::Full);
  uint64_t start = p.ticks_ms();
  for (;;) {
    s.iHandleDllG2 = seam::api().DLLG2_IniciaDriver(port.c_str());
    if (s.iHandleDllG2 >= 0 || p.ticks_ms() - start + kStartPauseMs > kStartRetryMs) break;
    p.sleep_ms(kStartPauseMs);
  }
  seam::api().DLLG2_SetaArquivoLog("dllg2.log");
  if (s.iHandleDllG2 >= 0) return true;
  makers::dllg2::show_error_text(s.iHandleDllG2);
  return false;
}

// The serial model ends its driver instance after the query, also on failure.
bool serial_driver(OutText numero) {
  makers::dllg2::clear_read_back();
  if (!start_serial_driver()) return false;
  const seam::Api &v = seam::api();
  int32_t handle = state().iHandleDllG2;
  v.DLLG2_DefineTimeout(handle, 10);
  int32_t answer = makers::dllg2::execute(handle, "LeTexto", {{"NomeTexto", kRegister, makers::dllg2::kText}});
  int32_t code = makers::dllg2::error_code(handle);
  if (answer <= 0) {
    v.DLLG2_EncerraDriver(handle);
    msg::notice(std::string(own::kDriverErrorNumber.text) + std::to_string(code));
    return false;
  }
  if (code != 0) {
    v.DLLG2_EncerraDriver(handle);
    msg::notice(std::string(own::kDriverErrorText.text) + makers::dllg2::error_text(code));
    return false;
  }
  numero.set(makers::dllg2::read_back(handle, "ValorTexto"));
  v.DLLG2_EncerraDriver(state().iHandleDllG2);
  return true;
}

}  // namespace

bool mostra_num_serie(Model model, OutText numero) {
  const seam::Api &v = seam::api();
  switch (model) {
    case Model::BematechMP20: return judged_serial_number(model, 15, v.Bematech_FI_NumeroSerie, false, numero);
    case Model::BematechMFD: return judged_serial_number(model, 20, v.Bematech_FI_NumeroSerieMFD, true, numero);
    case Model::Sweda7000: return judged_serial_number(model, 30, v.ECF_NumeroSerie, false, numero);
    case Model::SigtronFS345: return sigtron(numero);
    case Model::Daruma32: return daruma(numero);
    case Model::Digiarte1E: return digiarte(numero);
    case Model::ElginFit:
    case Model::DataregisQuick: return makers::usb_read_text_register(kRegister, numero);
    case Model::DataregisSerial: return serial_driver(numero);
    // QUIRK: false for every other identifier, the printerless ones included.
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::Epson: return false;
  }
  return false;
}

}  // namespace kalpo::queries
