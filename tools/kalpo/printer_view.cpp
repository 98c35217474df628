#include "printer_view.h"

#include <iostream>

#include <nlohmann/json.hpp>

#include "models.h"
#include "output.h"

namespace kt {
std::vector<std::string> libraries(const std::string &library) {
  return library.empty() ? printer_libraries() : std::vector<std::string>{library};
}

PrinterView view_printer(const std::string &library) {
  return view_of(library, ksim::Printer::of(library).inspect(kViewWaitMs));
}

PrinterView view_of(const std::string &library, ksim::Inspection seen) {
  PrinterView l{library, ksim::Printer::of(library).folder(), std::move(seen.session), std::move(seen.reason)};
  l.damaged = seen.kind == ksim::Inspection::Kind::damaged;
  return l;
}

std::string no_printer_yet(const PrinterView &l) {
  return l.library + ": no printer yet (the first call makes it in " + l.folder + ")";
}

int report_refusal(const Global &g, const PrinterView &l, nlohmann::json &entry) {
  if (g.json)
    entry = {{"folder", l.folder}, {"error", l.refusal}};
  else
    std::cerr << "kalpo: the " << l.library << " printer cannot be read: " << l.refusal << '\n';
  return kExitFailed;
}

std::string amount_text(ksim::Cents amount) { return ksim::cents_text(amount, ','); }

double amount_number(ksim::Cents amount) { return static_cast<double>(amount) / 100.0; }

}  // namespace kt
