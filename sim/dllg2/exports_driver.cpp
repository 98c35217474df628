// Starting and ending driver instances, the log file and the time-out.
#define KALPO_MAKER_DEFINE
#include "seam/maker_import.h"

#include "common/ports.h"
#include "dllg2/driver.h"

namespace dllg2 {
namespace {

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

// The log a name stands for: a bare name is in the printer's folder (a
// driver's relative log name is in its own folder) and must end in ".log",
// so that it never names one of the printer's files; a path is a file on
// drive C outside the printers' folders.  Empty: refused.
std::string log_file(std::string_view name) {
  if (name.find_first_of("\\/:") != std::string_view::npos) return ksim::caller_file(name);
  std::string extension(name.substr(name.size() < 4 ? 0 : name.size() - 4));
  for (char &c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  const bool log_like = name.size() > 4 && extension == ".log";
  const std::string folder = printer().folder();  // empty without a data folder
  return log_like && !folder.empty() ? folder + "/" + std::string(name) : std::string();
}

std::int32_t start(const char *port) {
  Drivers &d = drivers();
  std::lock_guard lock(d.mutex);
  const std::string name = port ? common::port_name(port) : std::string();
  std::int32_t handle = common::known_port(name) && !start_refused() ? instance_for(d, name) : refused_start;
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

// A refused name leaves the log as it was.
extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_SetaArquivoLog(const char *arquivo) {
  try {
    const std::string name = arquivo ? arquivo : "";
    const std::string file = log_file(name);
    Drivers &d = drivers();
    std::lock_guard lock(d.mutex);
    if (file.empty()) {
      log(d, "SetaArquivoLog \"" + name + "\" refused: not a log name nor a file on drive C");
      return bad_argument;
    }
    ksim::make_folders(printer().folder());  // a folder that cannot be made leaves the log unwritten
    d.log_path = file;
    log(d, "SetaArquivoLog \"" + name + "\"");
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
