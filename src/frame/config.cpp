#include "frame/config.h"

#include "base/ascii.h"
#include "platform/platform.h"

namespace kalpo::frame::config {

std::string read(std::string_view key, std::string_view fallback) {
  return platform::get().profile_string(kFile, kSection, key, fallback);
}

int32_t read_int(std::string_view key, int32_t fallback) {
  // An absent value reads back as "", which is not a number.
  const std::string value = read(key, "");
  std::string_view text = base::ascii::trim_blanks(value);
  // One leading plus sign is dropped; what follows may still carry a minus.
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') return fallback;
  return base::ascii::parse_integer<int32_t>(text).value_or(fallback);
}

bool paper_handling_on() { return read("DESATIVAFACA", "N") == "S"; }

std::string_view com_digits(std::string_view portacom) {
  if (portacom.size() < 4 || !base::ascii::iequals(portacom.substr(0, 3), "COM")) return {};
  std::size_t end = 3;
  while (end < portacom.size() && base::ascii::is_digit(portacom[end])) ++end;
  return portacom.substr(3, end - 3);
}

}  // namespace kalpo::frame::config
