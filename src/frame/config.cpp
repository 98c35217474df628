#include "frame/config.h"

#include "base/ascii.h"

#include "platform/platform.h"
#include "base/ini.h"

namespace kalpo::config {

std::string read(std::string_view key, std::string_view fallback) {
  return platform::get().profile_string(kFile, kSection, key, fallback);
}

int32_t read_int(std::string_view key, int32_t fallback) {
  return platform::profile_int(kFile, kSection, key, fallback);
}

bool paper_handling_on() { return read("DESATIVAFACA", "N") == "S"; }

std::string_view com_digits(std::string_view portacom) {
  if (portacom.size() < 4 || !ascii::iequals(portacom.substr(0, 3), "COM")) return {};
  std::size_t end = 3;
  while (end < portacom.size() && ascii::is_digit(portacom[end])) ++end;
  return portacom.substr(3, end - 3);
}

}  // namespace kalpo::config
