#include "frame/connections.h"

#include <array>
#include <cstring>

#include "analysis/analysis.h"
#include "frame/ascii.h"
#include "frame/command_driver.h"
#include "frame/config.h"
#include "frame/messages.h"
#include "frame/state.h"
#include "frame/text.h"
#include "vendor/vendor.h"

namespace kalpo::conn {
namespace {

// The digits right after a leading "COM" (any letter case).
std::string_view com_digits(std::string_view portacom) {
  if (portacom.size() < 4 || !ascii::iequals(portacom.substr(0, 3), "COM")) return {};
  std::size_t end = 3;
  while (end < portacom.size() && ascii::is_digit(portacom[end])) ++end;
  return portacom.substr(3, end - 3);
}

}  // namespace

std::optional<int32_t> epson_port_number(std::string_view portacom) {
  std::string_view digits = com_digits(portacom);
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  int32_t number = 0;
  for (char c : digits) number = number * 10 + (c - '0');
  return number;
}

bool epson_open() {
  std::string portacom = config::read("PORTACOM", "COM1");
  std::optional<int32_t> port = epson_port_number(portacom);
  if (!port) {
    msg::notice(std::string("Porta de comunicação inválida em PORTACOM: \""_cp) + portacom + "\"");
    return false;
  }
  return epson_judge("EPSON_Serial_Abrir_Porta", vendor::api().EPSON_Serial_Abrir_Porta(38400, *port));
}

void epson_close() { vendor::api().EPSON_Serial_Fechar_Porta(); }

bool epson_judge(const char *function_name, int32_t ret) {
  state().iRetornoEpson = ret;
  return analysis::analisa_ret_epson(function_name);
}

std::string sigtron_open() {
  std::string port = config::read("PORTACOM", "COM1:9600,n,8,1");
  sigtron_reopen(port);
  return port;
}

void sigtron_reopen(const std::string &port) { vendor::api().DAR_AbreSerial(port.c_str()); }

SigtronAnswer sigtron_analyse(int32_t ret, int32_t *count) {
  std::array<char, 101> buffer{};
  SigtronAnswer answer;
  int32_t own_count = 0;
  int32_t *target = count ? count : &own_count;
  answer.ok = analysis::analisa_ret_sigtron(ret, buffer.data(), 99, target);
  answer.count = *target;
  answer.text.assign(buffer.data(), strnlen(buffer.data(), 100));
  return answer;
}

SigtronAnswer sigtron_analyse_done(int32_t ret, int32_t *count) {
  SigtronAnswer answer = sigtron_analyse(ret, count);
  if (!answer.done()) msg::info("Comando não executado!"_cp);
  return answer;
}

bool daruma_judge(int32_t ret) {
  state().iRetornoDaruma = ret;
  return analysis::analisa_ret_daruma();
}

bool digiarte_open() { return analysis::analisa_ret_ecf32m(vendor::api().OpenCif()); }

void digiarte_close() { vendor::api().CloseCif(); }

bool digiarte_command_ok(std::string &text) {
  text = analysis::obtem_ret_ecf32m();
  if (text.find("COMANDO OK") != std::string::npos) return true;
  analysis::analisa_texto_ret_ecf32m(text);
  return false;
}

bool digiarte_command_ok() {
  std::string text;
  return digiarte_command_ok(text);
}

std::string dllg2_port_name(std::string_view portacom) {
  std::string_view digits = com_digits(portacom);
  if (!digits.empty()) return std::string(portacom.substr(0, 3 + digits.size()));
  return std::string(portacom.substr(0, 4));
}

bool usb_open(UsbRefusal refusal) {
  std::string port = dllg2_port_name(config::read("PORTACOM", "COM1"));
  int32_t handle = vendor::api().DLLG2_IniciaDriver(port.c_str());
  vendor::api().DLLG2_SetaArquivoLog("dllg2.log");
  if (handle >= 0) return true;
  if (refusal == UsbRefusal::ErroPrefix) {
    msg::notice("erro: " + std::to_string(handle));
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
    s.cParidade = 'e';
    if (ascii::lower(config::read("PARIDADE", "n")) == "n") s.cParidade = 'n';
    if (ascii::lower(config::read("PARIDADE", "n")) == "e") s.cParidade = 'e';
    if (ascii::lower(config::read("PARIDADE", "n")) == "o") s.cParidade = 'o';
  }
  return port;
}

int32_t serial_open(SerialSetup setup) {
  ModuleState &s = state();
  std::string port = serial_settings(setup);
  s.iHandleDllG2 = vendor::api().DLLG2_IniciaDriver(port.c_str());
  vendor::api().DLLG2_SetaArquivoLog("dllg2.log");
  if (setup == SerialSetup::Full) vendor::api().DLLG2_DefineTimeout(s.iHandleDllG2, 10);
  return s.iHandleDllG2;
}

bool serial_command_and_end(const char *command, std::initializer_list<dllg2::Param> params) {
  int32_t handle = serial_open(SerialSetup::Full);
  bool ok = dllg2::judge(handle, dllg2::execute(handle, command, params));
  vendor::api().DLLG2_EncerraDriver(handle);
  return ok;
}

void bematech_paper_handling() {
  if (!config::paper_handling_on()) return;
  vendor::api().Bematech_FI_LinhasEntreCupons(15);
  vendor::api().Bematech_FI_AtivaDesativaCorteProximoMFD();
}

void elgin_paper_cut(Model model) {
  if (model != Model::ElginFit || !config::paper_handling_on()) return;
  vendor::api().DLLG2_ExecutaComando(state().iHandleDllG2, "CortaPapel;TipoCorte=1");
}

}  // namespace kalpo::conn
