// Opens a fiscal coupon, optionally naming the customer, and hands back the
// coupon number where the model reports it.
#include <string_view>

#include "base/ascii.h"
#include "base/cp1252.h"
#include "coupon/coupon.h"
#include "frame/answer_buffer.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::coupon {
namespace {

bool bematech(Model model, OutText numero, const std::string &documento) {
  makers::bematech_paper_handling();
  const seam::Api &v = seam::api();
  if (!makers::analisa_iretorno(model, v.Bematech_FI_AbreCupom(null_if_empty(documento)))) return false;
  AnswerBuffer buffer(6);
  v.Bematech_FI_NumeroCupom(buffer.data());
  numero.set(buffer.text());
  return true;
}

bool sweda(OutText numero, std::string nome, std::string endereco, std::string documento) {
  for (std::string *text : {&nome, &endereco, &documento}) {
    if (text->empty()) *text = " ";
  }
  const seam::Api &v = seam::api();
  int32_t ret = v.ECF_AbreCupomMFD(documento.c_str(), nome.c_str(), endereco.c_str());
  if (!makers::analisa_iretorno(Model::Sweda7000, ret)) return false;
  AnswerBuffer buffer(6);
  v.ECF_NumeroCupom(buffer.data());
  numero.set(buffer.text());
  return true;
}

bool sigtron(OutText numero) {
  makers::sigtron_open_configured_port();
  makers::SigtronAnswer answer = makers::sigtron_judge_executed(seam::api().DAR_AbreCupomFiscal(49));
  if (!answer.executed()) return false;
  // The number stands at characters 3 to 8 of the answer.
  numero.set(base::ascii::characters(answer.text, 3, 8));
  return true;
}

bool daruma(OutText numero, const std::string &documento) {
  // QUIRK: false when the number cannot be read, although the coupon is then open.
  const seam::Api &v = seam::api();
  if (!makers::daruma_judge(v.Daruma_FI_AbreCupom(null_if_empty(documento)))) return false;
  AnswerBuffer buffer(6);
  if (!makers::daruma_judge(v.Daruma_FI_NumeroCupom(buffer.data()))) return false;
  numero.set(buffer.text());
  return true;
}

bool digiarte(OutText numero) {
  return makers::digiarte_session([&] {
    const seam::Api &v = seam::api();
    v.AbreCupomFiscal();
    if (!makers::digiarte_judge_answer()) return false;
    v.EcfPar("41");
    // The number follows the first four characters of the answer.
    std::string text = makers::obtem_ret_ecf32m();
    numero.set(base::ascii::characters(text, 5, text.size()));
    return true;
  });
}

// "AbreCupomFiscal", then the coupon number read back from register "Coo".
// QUIRK: true once the coupon is open even without its number, so the sale goes on into it.
bool command_driver(int32_t handle, OutText numero, const std::string &nome, const std::string &endereco,
                    const std::string &documento) {
  int32_t answer =
      makers::dllg2::execute(handle, "AbreCupomFiscal",
                             {{"EnderecoConsumidor", endereco, makers::dllg2::kText, makers::dllg2::kNullWhenEmpty},
                              {"IdConsumidor", documento, makers::dllg2::kText, makers::dllg2::kNullWhenEmpty},
                              {"NomeConsumidor", nome, makers::dllg2::kText, makers::dllg2::kNullWhenEmpty}});
  if (!makers::dllg2::judge_showing_code_number(handle, answer)) return false;

  answer = makers::dllg2::execute(handle, "LeInteiro", {{"NomeInteiro", "Coo", makers::dllg2::kText}});
  makers::dllg2::clear_read_back();
  if (!makers::dllg2::judge_showing_code_number(handle, answer)) {
    if (answer > 0) msg::notice(own::kCooUnread.text);
    return true;
  }
  numero.set(makers::dllg2::read_back(handle, "ValorInteiro"));
  return true;
}

bool usb(Model model, OutText numero, const std::string &nome, const std::string &endereco,
         const std::string &documento) {
  makers::elgin_paper_cut(model);
  if (!makers::usb_open()) return false;
  return command_driver(0, numero, nome, endereco, documento);
}

bool serial(OutText numero, const std::string &nome, const std::string &endereco, const std::string &documento) {
  int32_t handle = makers::serial_open(makers::SerialSetup::Full);
  return command_driver(handle, numero, nome, endereco, documento);
}

bool epson(const std::string &nome, const std::string &endereco, const std::string &documento) {
  return makers::epson_session("EPSON_Fiscal_Abrir_Cupom", [&] {
    return seam::api().EPSON_Fiscal_Abrir_Cupom(documento.c_str(), nome.c_str(), endereco.c_str(), "", 1);
  });
}

}  // namespace

bool abre_cupom(Model model, OutText numero, const std::string &nome, const std::string &endereco,
                const std::string &documento) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, numero, documento);
    case Model::Sweda7000: return sweda(numero, nome, endereco, documento);
    case Model::SigtronFS345: return sigtron(numero);
    case Model::Daruma32: return daruma(numero, documento);
    case Model::Digiarte1E: return digiarte(numero);
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(model, numero, nome, endereco, documento);
    case Model::DataregisSerial: return serial(numero, nome, endereco, documento);
    case Model::Epson: return epson(nome, endereco, documento);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::coupon
