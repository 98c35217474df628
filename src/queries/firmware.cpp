// The printer's firmware version.
#include <optional>
#include <string>

#include "base/ascii.h"
#include "frame/answer_buffer.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
namespace {

constexpr const char *kRegister = "VersaoSW";

bool sigtron(OutText versao) {
  makers::sigtron_open_configured_port();
  makers::SigtronAnswer answer = makers::sigtron_judge_executed(seam::api().DAR_LeIdent(49));
  versao.set(std::string(base::ascii::trim_spaces(base::ascii::characters(answer.text, 11, 14))));
  return answer.executed();
}

bool daruma(OutText versao) {
  AnswerBuffer buffer(4);
  bool ok = makers::daruma_judge(seam::api().Daruma_FI_VersaoFirmware(buffer.data()));
  versao.set(buffer.text());
  return ok;
}

// A refused version answer fails without a message of its own.
bool digiarte(OutText versao) {
  return makers::digiarte_session([&] {
    seam::api().EcfPar("47");
    std::string text = makers::obtem_ret_ecf32m();
    versao.set(base::ascii::characters(text, 5, text.size()));
    return text.find("COMANDO OK") != std::string::npos;
  });
}

// The driver instance is ended after a successful read only.
bool serial_driver(OutText versao) {
  makers::dllg2::clear_read_back();
  int32_t handle = makers::serial_open(makers::SerialSetup::Full);
  std::optional<std::string> value = makers::dllg2::read_text_register(handle, kRegister);
  if (!value) return false;
  versao.set(*value);
  seam::api().DLLG2_EncerraDriver(handle);
  return true;
}

}  // namespace

bool firmware(Model model, OutText versao) {
  const seam::Api &v = seam::api();
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD:
      return makers::bematech_query(model, v.Bematech_FI_VersaoFirmware, makers::QueryAnswer{10, versao});
    case Model::Sweda7000: return makers::bematech_query(model, v.ECF_VersaoFirmware, makers::QueryAnswer{10, versao});
    case Model::SigtronFS345: return sigtron(versao);
    case Model::Daruma32: return daruma(versao);
    case Model::Digiarte1E: return digiarte(versao);
    case Model::ElginFit:
    case Model::DataregisQuick: return makers::usb_read_text_register(kRegister, versao);
    case Model::DataregisSerial: return serial_driver(versao);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::Epson: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::queries
