// Closing of the coupon with its promotional message.
#include "coupon/coupon.h"
#include "coupon/normaliza_texto.h"
#include "frame/config.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::coupon {
namespace {

bool bematech(Model model, const TextControl &mensagem) {
  std::string text = mensagem.text();
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_TerminaFechamentoCupom(null_if_empty(text)));
}

bool sweda(Model model, const TextControl &mensagem) {
  std::string text = mensagem.text();
  return makers::analisa_iretorno(model, seam::api().ECF_TerminaFechamentoCupom(null_if_empty(text)));
}

// Prints the configured message alone; the caller's control is not read.
bool sigtron() {
  makers::sigtron_open_configured_port();
  std::string promocional = config::read("MENSAGEM", "");
  int32_t ret = seam::api().DAR_FechaCupom(null_if_empty(promocional), 49);
  return makers::sigtron_judge(ret).no_error;
}

bool daruma(const TextControl &mensagem) {
  std::string text = mensagem.text();
  return makers::daruma_judge(seam::api().Daruma_FI_TerminaFechamentoCupom(null_if_empty(text)));
}

bool digiarte(const TextControl &mensagem) {
  std::string text = mensagem.text();
  std::string header = "S" + std::to_string(text.size());
  return makers::digiarte_session([&] {
    seam::api().FechaCupomFiscal(header.c_str(), text.c_str());
    return makers::digiarte_judge_answer();
  });
}

// The caller's text with the configured message appended, cleaned, written
// back into the control and read from it again.  Without a control that
// takes the text back, the cleaned text itself goes to the printer, so the
// configured message is not lost.
std::string promotional_text(const TextControl &mensagem, const std::string &promocional) {
  std::string cleaned = normaliza_texto(mensagem.text() + promocional);
  if (!mensagem.writable()) return cleaned;
  mensagem.set_text(cleaned);
  return mensagem.text();
}

// "EncerraDocumento" with the promotional text; true when the driver ran it
// without an error code.
bool closes(int32_t handle, const TextControl &mensagem, const std::string &promocional) {
  std::string text = promotional_text(mensagem, promocional);
  int32_t answer = makers::dllg2::execute(
      handle, "EncerraDocumento", {{"TextoPromocional", text, makers::dllg2::kText, makers::dllg2::kNullWhenEmpty}});
  return makers::dllg2::judge_showing_negative_answer(handle, answer);
}

// Once the coupon is closed the export succeeds: a refused paper advance is
// only shown, and then nothing is cut.
bool usb(Model model, const TextControl &mensagem) {
  if (!makers::usb_open()) return false;
  if (!closes(0, mensagem, config::read("MENSAGEM", ""))) return false;
  int32_t answer = makers::dllg2::execute(0, "AvancaPapel", {{"Avanco", "250", makers::dllg2::kOption}});
  if (answer < 0) {
    makers::dllg2::show_error_text(answer);
    return true;
  }
  makers::elgin_paper_cut(model);
  return true;
}

bool serial(const TextControl &mensagem) {
  int32_t handle = makers::serial_open(makers::SerialSetup::NoTimeout);
  return closes(handle, mensagem, config::read("MENSAGEM", ""));
}

bool epson() {
  return makers::epson_session("EPSON_Fiscal_Fechar_Cupom", [] { return seam::api().EPSON_Fiscal_Fechar_Cupom(1, 0); });
}

}  // namespace

bool fecha_cupom(Model model, const TextControl &mensagem) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, mensagem);
    case Model::Sweda7000: return sweda(model, mensagem);
    case Model::SigtronFS345: return sigtron();
    case Model::Daruma32: return daruma(mensagem);
    case Model::Digiarte1E: return digiarte(mensagem);
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(model, mensagem);
    case Model::DataregisSerial: return serial(mensagem);
    case Model::Epson: return epson();
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::coupon
