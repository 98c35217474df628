#include <cstring>

#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "platform/dates.h"
#include "platform/platform.h"
#include "reports/reports.h"
#include "seam/seam.h"

namespace kalpo::reports {
namespace {

// The date stands at positions 12 to 21 of the driver's returned values.  A
// null text counts as empty, and nothing past its end is read.
std::string returned_date(int32_t handle) {
  const char *values = seam::api().DLLG2_ObtemRetornos(handle, "", 0);
  if (!values) return {};
  std::size_t length = strnlen(values, 21);
  if (length < 12) return {};
  return std::string(values + 11, length - 11);
}

void serial(OutText &data) {
  int32_t handle = makers::serial_open(makers::SerialSetup::PortOnly);
  makers::dllg2::execute(handle, "LeData", {{"NomeData", "Data", makers::dllg2::kText}});
  data.set(returned_date(handle));
  seam::api().DLLG2_EncerraDriver(handle);
}

// The date is handed out whatever the command answered; the answer is judged
// afterwards, for the operator only.
void usb(OutText &data) {
  if (!makers::usb_open()) return;
  int32_t answer = makers::dllg2::execute(0, "LeData", {{"NomeData", "Data", makers::dllg2::kText}});
  data.set(returned_date(0));
  makers::dllg2::judge_showing_negative_answer(0, answer);
}

void workstation(OutText &data) {
  data.set(platform::format_date(platform::get().now(), platform::get().regional().short_date));
}

}  // namespace

void le_data(Model model, OutText data) {
  switch (model) {
    case Model::DataregisSerial: return serial(data);
    case Model::ElginFit: return usb(data);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::BematechMP20:
    case Model::BematechMFD:
    case Model::Sweda7000:
    case Model::SigtronFS345:
    case Model::Daruma32:
    case Model::Digiarte1E:
    case Model::DataregisQuick:
    case Model::Epson: return workstation(data);
  }
}

}  // namespace kalpo::reports
