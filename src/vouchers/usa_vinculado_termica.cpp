// Prints the whole text of the caller's control on the open linked voucher.
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam/seam.h"
#include "vouchers/vouchers.h"

namespace kalpo::vouchers {
namespace {

bool bematech_mfd(const std::string &texto) {
  return makers::analisa_iretorno(Model::BematechMFD,
                                  seam::api().Bematech_FI_UsaComprovanteNaoFiscalVinculado(texto.c_str()));
}

bool print_text(int32_t handle, const std::string &texto) {
  int32_t answer = makers::dllg2::execute(handle, "ImprimeTexto", {{"TextoLivre", texto, makers::dllg2::kText}});
  return makers::dllg2::judge_showing_code_number(handle, answer);
}

bool usb(const std::string &texto) {
  if (!makers::usb_open()) return false;
  return print_text(0, texto);
}

bool serial(const std::string &texto) { return print_text(makers::serial_open(makers::SerialSetup::Full), texto); }

// Every line is sent, even after a refused one; the last line decides.
// QUIRK: every line is sent even after a refused one, the last line's judgment
// is the result, and a text without lines is a failure.
bool daruma(const std::vector<std::string> &lines) {
  bool ok = false;
  for (const std::string &line : lines) {
    ok = makers::daruma_judge(seam::api().Daruma_FI_EnviarTextoCNF(line.c_str()));
  }
  return ok;
}

}  // namespace

// False for every model without a branch.
// QUIRK: the two printerless identifiers too, unlike most operations.
bool usa_vinculado_termica(Model model, const TextControl &texto) {
  switch (model) {
    case Model::BematechMFD: return bematech_mfd(texto.text());
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(texto.text());
    case Model::DataregisSerial: return serial(texto.text());
    case Model::Daruma32: return daruma(texto.lines());
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::BematechMP20:
    case Model::Sweda7000:
    case Model::SigtronFS345:
    case Model::Digiarte1E:
    case Model::Epson: return false;
  }
  return false;
}

}  // namespace kalpo::vouchers
