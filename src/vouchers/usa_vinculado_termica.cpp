// Prints the whole text of the caller's control on the open linked voucher.
#include "makers/dllg2_commands.h"
#include "frame/operations.h"
#include "makers/analysis.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::ops {
namespace {

bool bematech_mfd(const std::string &texto) {
  return analysis::analisa_iretorno(Model::BematechMFD,
                                    vendor::api().Bematech_FI_UsaComprovanteNaoFiscalVinculado(texto.c_str()));
}

bool print_text(int32_t handle, const std::string &texto) {
  int32_t answer = dllg2::execute(handle, "ImprimeTexto", {{"TextoLivre", texto, dllg2::kText}});
  return dllg2::judge_showing_code_number(handle, answer);
}

bool usb(const std::string &texto) {
  if (!conn::usb_open()) return false;
  return print_text(0, texto);
}

bool serial(const std::string &texto) { return print_text(conn::serial_open(conn::SerialSetup::Full), texto); }

// Every line is sent, even after a refused one; the last line decides.
bool daruma(const std::vector<std::string> &lines) {
  bool ok = false;
  for (const std::string &line : lines) {
    ok = conn::daruma_judge(vendor::api().Daruma_FI_EnviarTextoCNF(line.c_str()));
  }
  return ok;
}

}  // namespace

// False for every model without a branch, the two printerless ones included.
bool usa_vinculado_termica(Model model, const TextControl &texto) {
  switch (model) {
    case Model::BematechMFD: return bematech_mfd(texto.text());
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(texto.text());
    case Model::DataregisSerial: return serial(texto.text());
    case Model::Daruma32: return daruma(texto.lines());
    default: return false;
  }
}

}  // namespace kalpo::ops
