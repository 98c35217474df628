// The driver instances of this process: one per port, numbered from 0 (the
// lowest free handle), each with its parameter list, the error code and the
// returned values of its last command.  The log file named with
// DLLG2_SetaArquivoLog records every call.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/printer.h"
#include "dllg2/answers.h"

namespace dllg2 {

inline constexpr int default_timeout_s = 10;
// A log that would pass this size is kept as <name>.1 and a new one begun.
inline constexpr std::uint64_t log_limit = 4 << 20;

struct Param {
  std::string name, value;
  int type = 0;
  bool in_command = false;  // given after ';' in the command text: no type code
};

struct Instance {
  std::string port;
  int timeout_s = default_timeout_s;
  std::vector<Param> params;
  bool broken_list = false;  // a parameter without a name was added
  int error = 0;
  Returns returns;
  std::string returns_text;  // what DLLG2_ObtemRetornos handed out last
};

struct Drivers {
  std::mutex mutex;
  std::map<std::int32_t, Instance> instances;
  std::string log_path;  // empty: no log
};

ksim::Printer &printer();

// The process's instances; lock `mutex` before touching them.
Drivers &drivers();

// Appends one line to the log, stamped with the workstation's time: one
// opening of the file whatever its size.
void log(const Drivers &d, std::string_view line);

// `body(instance)` under the lock, or `missing` when the handle names no
// instance; `fallback` when anything throws.
template <class R, class F>
R with_instance(std::int32_t handle, R missing, R fallback, F body) noexcept {
  try {
    Drivers &d = drivers();
    std::lock_guard lock(d.mutex);
    auto it = d.instances.find(handle);
    if (it == d.instances.end()) {
      log(d, "[h" + std::to_string(handle) + "] no such driver instance");
      return missing;
    }
    return body(d, it->second);
  } catch (...) {
    return fallback;
  }
}

// Runs one command text on an instance (its parameter list used up): the
// answer of DLLG2_ExecutaComando; the instance keeps the error code and the
// returned values.  Logged.
std::int32_t execute(const Drivers &drivers, std::int32_t handle, Instance &instance, std::string_view command_text);

}  // namespace dllg2
