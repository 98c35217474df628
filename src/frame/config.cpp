#include "frame/config.h"

#include "frame/platform.h"

namespace kalpo::config {

std::string read(std::string_view key, std::string_view fallback) {
  return platform::get().profile_string(kFile, kSection, key, fallback);
}

int32_t read_int(std::string_view key, int32_t fallback) { return platform::profile_int(kFile, kSection, key, fallback); }

bool paper_handling_on() { return read("DESATIVAFACA", "N") == "S"; }

}  // namespace kalpo::config
