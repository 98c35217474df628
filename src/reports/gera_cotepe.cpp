#include "base/ascii.h"
#include "base/cp1252.h"
#include "frame/config.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "makers/sessions.h"
#include "platform/dates.h"
#include "platform/platform.h"
#include "reports/reports.h"
#include "seam/seam.h"

namespace kalpo::reports {
namespace {

constexpr const char *kFolder = "C:\\Zantrello\\NFP\\";

// The generator writes the day's file; the driver itself is not started.
// The file, present and not empty, is what tells success.
bool serial(double dia) {
  std::string port = makers::dllg2_port_name(config::read("PORTACOM", "COM1"));
  platform::Platform &p = platform::get();
  p.create_directories(kFolder);
  std::string day = platform::format_date(platform::from_day_count(dia), p.regional().short_date);
  std::string file = std::string(kFolder) + "AC" + base::ascii::characters(day, 1, 2) +
                     base::ascii::characters(day, 4, 5) + base::ascii::characters(day, 7, 10) + ".txt";
  seam::api().Gera_AtoCotepe1704(port.c_str(), "3202DT", file.c_str(), day.c_str());
  // A missing file, a folder or an empty file all have no size above zero.
  if (p.file_size(file) > 0) return true;
  msg::notice(std::string(own::kFileNotWritten.text) + file + std::string(" não foi gerado!"_cp));
  return false;
}

}  // namespace

bool gera_cotepe(Model model, double dia) {
  switch (model) {
    // QUIRK: BEMATECHMFD has a branch that does nothing and reports failure.
    case Model::BematechMFD: return false;
    case Model::DataregisSerial: return serial(dia);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::BematechMP20:
    case Model::Sweda7000:
    case Model::SigtronFS345:
    case Model::Daruma32:
    case Model::Digiarte1E:
    case Model::ElginFit:
    case Model::DataregisQuick:
    case Model::Epson: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::reports
