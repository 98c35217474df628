#include "platform/platform.h"

#include <cstdlib>
#include <string>

namespace kalpo::platform {

Platform &real();  // defined by the platform's own file

namespace {
Platform *installed = nullptr;
}  // namespace

std::string Platform::setting(std::string_view name) {
  const char *value = std::getenv(std::string(name).c_str());
  return value ? value : "";
}

Platform &get() { return installed ? *installed : real(); }
void install(Platform *platform) { installed = platform; }

}  // namespace kalpo::platform
