// GET /v1/version: the library's version, the service's API version and the
// platform, so that a client knows what it talks to.
#include "kalpo.h"
#include "serve/service.h"

namespace kt::serve {

std::string platform_name() {
#if defined(_WIN32)
  const std::string system = "windows";
#elif defined(__linux__)
  const std::string system = "linux";
#else
  const std::string system = "posix";
#endif
#if defined(__x86_64__) || defined(_M_X64)
  return system + "-x86_64";
#elif defined(__i386__) || defined(_M_IX86)
  return system + "-x86";
#elif defined(__aarch64__)
  return system + "-arm64";
#else
  return system;
#endif
}

Response version_info(Context &c, const Request &, const std::vector<std::string> &) {
  return json_response(
      200, {{"kalpo", KALPO_VERSION_TEXT}, {"versao", c.versao}, {"api", kApiVersion}, {"platform", platform_name()}});
}

}  // namespace kt::serve
