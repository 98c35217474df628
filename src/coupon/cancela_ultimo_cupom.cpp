// Cancellation of the last coupon, handing back the number of the coupon
// concerned and, on SIGTRONFS345, a flag of the document state before it.
#include <string_view>

#include "base/ascii.h"
#include "coupon/coupon.h"
#include "frame/answer_buffer.h"
#include "frame/config.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "platform/platform.h"
#include "seam/seam.h"

namespace kalpo::coupon {
namespace {

// Something outside the library leaves this file to ask for the cutter set-up
// on the next document; the cancellation always removes it.
constexpr std::string_view kMarkerFile = "c:\\canc.txt";

bool bematech(Model model, OutText numero) {
  const seam::Api &v = seam::api();
  if (platform::get().file_exists(kMarkerFile)) makers::bematech_paper_handling();
  AnswerBuffer buffer(6);
  v.Bematech_FI_NumeroCupom(buffer.data());
  numero.set(buffer.text());
  bool ok = makers::analisa_iretorno(model, v.Bematech_FI_CancelaCupom());
  platform::get().remove_file(kMarkerFile);
  return ok;
}

// The number is read after the cancellation, whatever its outcome.
// QUIRK: unlike the Bematech models, which read it before cancelling.
bool sweda(Model model, OutText numero) {
  const seam::Api &v = seam::api();
  bool ok = makers::analisa_iretorno(model, v.ECF_CancelaCupom());
  AnswerBuffer buffer(6);
  v.ECF_NumeroCupom(buffer.data());
  numero.set(buffer.text());
  return ok;
}

// The document state is asked first: unless its character 8 is "2" the flag
// becomes "S".  A failed state query is shown and the cancellation goes on.
bool sigtron(VarInt &contagem, OutText numero, OutText estado) {
  const seam::Api &v = seam::api();
  std::string port = makers::sigtron_open_configured_port();
  makers::SigtronAnswer state_answer = makers::sigtron_judge_executed(v.DAR_LeEstadoDoc(49), contagem.target());
  if (state_answer.text.size() < 8 || state_answer.text[7] != '2') estado.set_constant("S");

  makers::sigtron_open_port(port);
  makers::SigtronAnswer answer = makers::sigtron_judge_executed(v.DAR_CancelaDoc(49), contagem.target());
  if (!answer.executed()) return false;
  numero.set(base::ascii::characters(answer.text, 3, 8));
  return true;
}

bool daruma(OutText numero) {
  const seam::Api &v = seam::api();
  if (!makers::daruma_judge(v.Daruma_FI_CancelaCupom())) return false;
  AnswerBuffer buffer(6);
  if (!makers::daruma_judge(v.Daruma_FI_NumeroCupom(buffer.data()))) return false;
  numero.set(buffer.text());
  return true;
}

bool digiarte() {
  return makers::digiarte_session([] {
    seam::api().CancelaCupomFiscal();
    return makers::digiarte_judge_answer();
  });
}

// "LeInteiro" of the coupon counter; on success the number is handed back.
bool reads_number(int32_t handle, OutText numero) {
  int32_t answer = makers::dllg2::execute(handle, "LeInteiro", {{"NomeInteiro", "Coo", makers::dllg2::kText}});
  makers::dllg2::clear_read_back();
  if (!makers::dllg2::judge_showing_code_number(handle, answer)) return false;
  numero.set(makers::dllg2::read_back(handle, "ValorInteiro"));
  return true;
}

bool cancels(int32_t handle) {
  return makers::dllg2::judge_showing_negative_answer(handle, makers::dllg2::execute(handle, "CancelaCupom"));
}

// Once the cancellation went through the export succeeds; a failed number
// read is only shown, and then the paper is not cut.
bool usb(Model model, OutText numero) {
  if (!makers::usb_open() || !cancels(0)) return false;
  if (reads_number(0, numero)) makers::elgin_paper_cut(model);
  return true;
}

// The number is read before cancelling.
// QUIRK: a failed number read prevents the cancellation.
bool serial(OutText numero) {
  int32_t handle = makers::serial_open(makers::SerialSetup::NoTimeout);
  return reads_number(handle, numero) && cancels(handle);
}

bool epson() {
  return makers::epson_session("EPSON_Fiscal_Cancelar_Cupom", [] { return seam::api().EPSON_Fiscal_Cancelar_Cupom(); });
}

}  // namespace

bool cancela_ultimo_cupom(Model model, VarInt contagem, OutText numero, OutText estado) {
  numero.set_constant("0");
  estado.set_constant("N");
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, numero);
    case Model::Sweda7000: return sweda(model, numero);
    case Model::SigtronFS345: return sigtron(contagem, numero, estado);
    case Model::Daruma32: return daruma(numero);
    case Model::Digiarte1E: return digiarte();
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(model, numero);
    case Model::DataregisSerial: return serial(numero);
    case Model::Epson: return epson();
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::coupon
