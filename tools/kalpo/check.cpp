// check: a virtual printer verified from end to end by the printer itself
// (ksim::Printer::check); exit 0 only when every printer checked is sound.
// printer restore: a printer's folder restored from a backup accepted.
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
    if (library.empty() && printer.inspect(kViewWaitMs).kind == ksim::Inspection::Kind::absent) continue;
    const ksim::CheckReport report = printer.check(kViewWaitMs);
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

int cmd_printer_restore(const Global &g, const std::string &library) {
  if (library.empty()) throw UsageError("printer restore: --model is needed (the printer whose folder was restored)");
  ksim::Printer &printer = ksim::Printer::of(library);
  const ksim::Inspection seen = printer.accept_restore(kViewWaitMs);
  const bool sound = seen.kind == ksim::Inspection::Kind::sound;
  if (g.json)
    print_json({{"library", library}, {"folder", printer.folder()}, {"accepted", sound}, {"error", seen.reason}});
  else if (sound)
    std::cout << library << ": the printer's folder is taken as restored; notice.txt records it\n";
  else
    std::cerr << "kalpo: the " << library << " printer cannot be taken as restored: "
              << (seen.kind == ksim::Inspection::Kind::absent ? "there is no printer yet" : seen.reason) << '\n';
  return sound ? kExitDone : kExitFailed;
}

}  // namespace kt
