// check: a virtual printer verified from end to end by the printer itself
// (ksim::Printer::check); exit 0 only when every printer checked is sound.
#include <iostream>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "output.h"
#include "printer_view.h"

namespace kt {

int cmd_check(const Global &g, const std::string &library) {
  nlohmann::json out = nlohmann::json::object();
  bool sound = true;
  for (const std::string &lib : libraries(library)) {
    ksim::Printer &printer = ksim::Printer::of(lib);
    if (library.empty() && printer.inspect(kLookWaitMs).kind == ksim::Inspection::Kind::absent) continue;
    const ksim::CheckReport report = printer.check(kLookWaitMs);
    sound = sound && report.sound();
    if (g.json) {
      out[lib] = {{"folder", printer.folder()},
                  {"sound", report.sound()},
                  {"checked", report.checked},
                  {"faults", report.faults}};
      continue;
    }
    std::cout << lib << " (" << printer.folder() << "): " << (report.sound() ? "sound" : "FAULTY") << '\n';
    for (const std::string &checked : report.checked) std::cout << "  checked: " << checked << '\n';
    for (const std::string &fault : report.faults) std::cout << "  fault: " << fault << '\n';
  }
  if (g.json) print_json(out);
  return sound ? kExitDone : kExitFailed;
}

}  // namespace kt
