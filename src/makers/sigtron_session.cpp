// SIGTRONFS345 (fs345_32): the port opened from "PORTACOM" and never
// closed, and the judgment of a call by the answer the printer sends.
#include "frame/own_texts.h"
#include "makers/sessions.h"

#include <array>
#include <cstring>

#include "base/cp1252.h"
#include "frame/config.h"
#include "frame/messages.h"
#include "makers/analysis.h"
#include "seam/seam.h"

namespace kalpo::makers {

std::string sigtron_open_configured_port() {
  std::string port = config::read("PORTACOM", "COM1:9600,n,8,1");
  sigtron_open_port(port);
  return port;
}

void sigtron_open_port(const std::string &port) { seam::api().DAR_AbreSerial(port.c_str()); }

SigtronAnswer sigtron_judge(int32_t ret, int32_t *count) {
  std::array<char, 101> buffer{};
  SigtronAnswer answer;
  int32_t own_count = 0;
  int32_t *target = count ? count : &own_count;
  answer.no_error = analisa_ret_sigtron_fs345(ret, buffer.data(), 99, target);
  answer.count = *target;
  answer.text.assign(buffer.data(), strnlen(buffer.data(), 100));
  return answer;
}

SigtronAnswer sigtron_judge_executed(int32_t ret, int32_t *count) {
  SigtronAnswer answer = sigtron_judge(ret, count);
  if (!answer.executed()) msg::info(own::kNotExecuted.text);
  return answer;
}

}  // namespace kalpo::makers
