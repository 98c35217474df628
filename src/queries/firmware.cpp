// The printer's firmware version.
#include <string>

#include "makers/analysis.h"
#include "frame/command_driver.h"
#include "makers/sessions.h"
#include "frame/operations.h"
#include "frame/answer_buffer.h"
#include "vendor/vendor.h"

namespace kalpo::ops {
namespace {


constexpr const char *kRegister = "VersaoSW";

// Bematech and Sweda: the buffer as received, handed back whatever the result.
template <typename Call>
bool bematech_like(Model model, Call call, OutText versao) {
  AnswerBuffer buffer(10);
  bool ok = analysis::analisa_iretorno(model, call(buffer.data()));
  versao.set(buffer.text());
  return ok;
}

bool sigtron(OutText versao) {
  conn::sigtron_open();
  conn::SigtronAnswer answer = conn::sigtron_analyse_done(vendor::api().DAR_LeIdent(49));
  versao.set(trim_blanks(characters(answer.text, 11, 14)));
  return answer.done();
}

bool daruma(OutText versao) {
  AnswerBuffer buffer(4);
  bool ok = conn::daruma_judge(vendor::api().Daruma_FI_VersaoFirmware(buffer.data()));
  versao.set(buffer.text());
  return ok;
}

// A refused version answer fails without a message of its own.
bool digiarte(OutText versao) {
  return conn::digiarte_session([&] {
    vendor::api().EcfPar("47");
    std::string text = analysis::obtem_ret_ecf32m();
    versao.set(characters(text, 5, text.size()));
    return text.find("COMANDO OK") != std::string::npos;
  });
}

bool usb_driver(OutText versao) {
  dllg2::clear_read_back();
  if (!conn::usb_open(conn::UsbRefusal::ErroPrefix)) return false;
  int32_t answer = dllg2::execute(0, "LeTexto", {{"NomeTexto", kRegister, dllg2::kText}});
  if (!dllg2::judge(0, answer)) return false;
  versao.set(dllg2::read_back(0, "ValorTexto"));
  return true;
}

// The driver instance is ended after a successful read only.
bool serial_driver(OutText versao) {
  dllg2::clear_read_back();
  int32_t handle = conn::serial_open(conn::SerialSetup::Full);
  int32_t answer = dllg2::execute(handle, "LeTexto", {{"NomeTexto", kRegister, dllg2::kText}});
  if (!dllg2::judge(handle, answer)) return false;
  versao.set(dllg2::read_back(handle, "ValorTexto"));
  vendor::api().DLLG2_EncerraDriver(handle);
  return true;
}

}  // namespace

bool firmware(Model model, OutText versao) {
  const vendor::Api &v = vendor::api();
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD:
      return bematech_like(model, v.Bematech_FI_VersaoFirmware, versao);
    case Model::Sweda7000:
      return bematech_like(model, v.ECF_VersaoFirmware, versao);
    case Model::SigtronFS345:
      return sigtron(versao);
    case Model::Daruma32:
      return daruma(versao);
    case Model::Digiarte1E:
      return digiarte(versao);
    case Model::ElginFit:
    case Model::DataregisQuick:
      return usb_driver(versao);
    case Model::DataregisSerial:
      return serial_driver(versao);
    default:
      return usual_preset(model);
  }
}

}  // namespace kalpo::ops
