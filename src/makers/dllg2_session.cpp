// The command-driver models (dllg2): the USB and serial driver starts,
// a whole serial session of one command, and ELGINFIT's paper cut.
#include "frame/own_texts.h"
#include "makers/sessions.h"

#include <optional>
#include <string>

#include "base/ascii.h"
#include "frame/config.h"
#include "frame/messages.h"
#include "frame/state.h"
#include "makers/dllg2_commands.h"
#include "seam/seam.h"

namespace kalpo::makers {

std::string dllg2_port_name(std::string_view portacom) {
  std::string_view digits = config::com_digits(portacom);
  if (!digits.empty()) return std::string(portacom.substr(0, 3 + digits.size()));
  return std::string(portacom.substr(0, 4));
}

bool usb_open(UsbRefusal refusal) {
  std::string port = dllg2_port_name(config::read("PORTACOM", "COM1"));
  int32_t handle = seam::api().DLLG2_IniciaDriver(port.c_str());
  seam::api().DLLG2_SetaArquivoLog("dllg2.log");
  if (handle >= 0) return true;
  if (refusal == UsbRefusal::ErroPrefix) {
    msg::notice(std::string(own::kDriverStart.text) + std::to_string(handle));
  } else {
    dllg2::show_error_text(handle);
  }
  return false;
}

std::string serial_settings(SerialSetup setup) {
  ModuleState &s = state();
  std::string port = dllg2_port_name(config::read("PORTACOM", "COM1"));
  if (setup != SerialSetup::PortOnly) {
    s.iVelocidade = config::read_int("VELOCIDADE", 115200);
    // Three readings, as the settings tool writes them: "n", "e" and "o" in
    // any case select that parity; a missing key gives 'n'; anything else 'e'.
    const std::string parity = base::ascii::lower(config::read("PARIDADE", "n"));
    s.cParidade = parity == "n" || parity == "o" ? parity.front() : 'e';
  }
  return port;
}

int32_t serial_open(SerialSetup setup) {
  ModuleState &s = state();
  std::string port = serial_settings(setup);
  s.iHandleDllG2 = seam::api().DLLG2_IniciaDriver(port.c_str());
  seam::api().DLLG2_SetaArquivoLog("dllg2.log");
  if (setup == SerialSetup::Full) seam::api().DLLG2_DefineTimeout(s.iHandleDllG2, 10);
  return s.iHandleDllG2;
}

bool serial_command_and_end(const char *command, std::initializer_list<dllg2::Param> params) {
  int32_t handle = serial_open(SerialSetup::Full);
  bool ok = dllg2::judge_showing_code_number(handle, dllg2::execute(handle, command, params));
  seam::api().DLLG2_EncerraDriver(handle);
  return ok;
}

bool usb_read_text_register(const char *register_name, OutText out) {
  dllg2::clear_read_back();
  if (!usb_open(UsbRefusal::ErroPrefix)) return false;
  std::optional<std::string> value = dllg2::read_text_register(0, register_name);
  if (value) out.set(*value);
  return value.has_value();
}

void elgin_paper_cut(Model model) {
  if (model != Model::ElginFit || !config::paper_handling_on()) return;
  seam::api().DLLG2_ExecutaComando(state().iHandleDllG2, "CortaPapel;TipoCorte=1");
}

}  // namespace kalpo::makers
