// EPSON (interfaceepson): the port opened at 38400 around a call, and
// the state check after each call.
#include "frame/own_texts.h"
#include "makers/sessions.h"

#include <string>

#include "base/ascii.h"
#include "base/cp1252.h"
#include "frame/config.h"
#include "frame/messages.h"
#include "frame/state.h"
#include "makers/analysis.h"
#include "seam/seam.h"

namespace kalpo::makers {

std::optional<int32_t> epson_port_number(std::string_view portacom) {
  std::string_view digits = config::com_digits(portacom);
  if (digits.size() > 9) return std::nullopt;
  return base::ascii::parse_integer<int32_t>(digits, base::ascii::Sign::Refused);
}

bool epson_open() {
  std::string portacom = config::read("PORTACOM", "COM1");
  std::optional<int32_t> port = epson_port_number(portacom);
  if (!port) {
    msg::notice(std::string(own::kInvalidPort.text) + portacom + "\"");
    return false;
  }
  return epson_judge("EPSON_Serial_Abrir_Porta", seam::api().EPSON_Serial_Abrir_Porta(38400, *port));
}

void epson_close() { seam::api().EPSON_Serial_Fechar_Porta(); }

bool epson_judge(const char *function_name, int32_t ret) {
  state().iRetornoEpson = ret;
  return analisa_ret_epson(function_name);
}

}  // namespace kalpo::makers
