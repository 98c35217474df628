// Starting and ending driver instances, the log file and the time-out.
#define KALPO_MAKER_DEFINE
#include "seam/maker_import.h"

#include <filesystem>

#include "dllg2/driver.h"
#include "dllg2/port.h"

namespace dllg2 {
namespace {

constexpr std::int32_t refused_start = -1, bad_argument = -2;
constexpr int max_timeout_s = 3600;

// The instance already holding the port, else a new one at the lowest free
// handle.
std::int32_t instance_for(Drivers &d, const std::string &port) {
  std::int32_t handle = 0;
  for (const auto &[h, instance] : d.instances) {
    if (instance.port == port) return h;
    if (h == handle) ++handle;
  }
  d.instances[handle].port = port;
  return handle;
}

// Only a refused start is the starting call's fault: the call is made a
// session of its own (using the fault up) only when that fault is set, so
// one-shot faults meant for the commands are left to them.
bool start_refused() {
  if (!printer().faults().driver_start_refused) return false;
  return printer().begin("DLLG2_IniciaDriver", ksim::Call::start).faults().driver_start_refused;
}

// "C:\\logs\\dllg2.log" -> "dllg2.log".
std::string_view last_part(std::string_view path) {
  const auto separator = path.find_last_of("/\\");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::int32_t start(const char *port) {
  Drivers &d = drivers();
  std::lock_guard lock(d.mutex);
  const std::string name = port ? port_name(port) : std::string();
  std::int32_t handle = known_port(name) && !start_refused() ? instance_for(d, name) : refused_start;
  log(d, "IniciaDriver \"" + name + "\" => " + std::to_string(handle));
  return handle;
}

}  // namespace
}  // namespace dllg2

using namespace dllg2;

extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_IniciaDriver(const char *porta) {
  try {
    return start(porta);
  } catch (...) {
    return refused_start;
  }
}

// The log goes to the printer's folder, whatever folder the name carries.
extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_SetaArquivoLog(const char *arquivo) {
  try {
    const std::string_view name = last_part(arquivo ? arquivo : "");
    if (name.empty()) return bad_argument;
    Drivers &d = drivers();
    std::lock_guard lock(d.mutex);
    std::error_code ignored;  // a folder that cannot be made leaves the log unwritten
    std::filesystem::create_directories(printer().folder(), ignored);
    d.log_path = printer().folder() + "/" + std::string(name);
    log(d, "SetaArquivoLog \"" + std::string(name) + "\"");
    return 0;
  } catch (...) {
    return bad_argument;
  }
}

extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_DefineTimeout(int32_t handle, int32_t segundos) {
  return with_instance(handle, refused_start, bad_argument, [&](Drivers &d, Instance &instance) -> int32_t {
    log(d, "[h" + std::to_string(handle) + "] DefineTimeout " + std::to_string(segundos));
    if (segundos < 1 || segundos > max_timeout_s) return bad_argument;
    instance.timeout_s = segundos;
    return 0;
  });
}

extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_EncerraDriver(int32_t handle) {
  return with_instance(handle, refused_start, bad_argument, [&](Drivers &d, Instance &) -> int32_t {
    log(d, "[h" + std::to_string(handle) + "] EncerraDriver");
    d.instances.erase(handle);
    return 0;
  });
}
