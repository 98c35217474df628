#include "printer_view.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include <nlohmann/json.hpp>

#include "models.h"
#include "output.h"

namespace kt {
namespace {

namespace fs = std::filesystem;

// Why a printer whose folder exists does not answer an inspecting call.
std::string why_silent(const fs::path &folder) {
  const fs::path lock = folder / "lock";
  if (!std::ofstream(lock, std::ios::app)) return "its lock " + lock.string() + " cannot be taken";
  std::ifstream damaged(folder / "damaged.txt");
  std::string reason;
  if (std::getline(damaged, reason) && !reason.empty()) return "it refuses its journal: " + reason;
  return "it does not answer";
}

}  // namespace

std::vector<std::string> libraries(const std::string &library) {
  return library.empty() ? printer_libraries() : std::vector<std::string>{library};
}

Look look(const std::string &library) {
  ksim::Printer &printer = ksim::Printer::of(library);
  Look l{library, printer.folder(), std::nullopt, {}};
  std::error_code error;
  if (l.folder.empty()) {
    l.refusal = "there is no data folder (set KALPO_SIM_DIR, or HOME)";
  } else if (fs::is_directory(l.folder, error)) {
    l.session.emplace(printer.begin("kalpo", ksim::Call::inspect));
    if (l.session->silent()) {
      l.session.reset();
      l.refusal = why_silent(l.folder);
    }
  }
  return l;
}

std::string no_printer_yet(const Look &l) {
  return l.library + ": no printer yet (the first call makes it in " + l.folder + ")";
}

int report_refusal(const Global &g, const Look &l, nlohmann::json &entry) {
  if (g.json)
    entry = {{"folder", l.folder}, {"error", l.refusal}};
  else
    std::cerr << "kalpo: the " << l.library << " printer cannot be read: " << l.refusal << '\n';
  return kExitFailed;
}

std::string amount_text(ksim::Cents amount) { return ksim::cents_text(amount, ','); }

double amount_number(ksim::Cents amount) { return static_cast<double>(amount) / 100.0; }

}  // namespace kt
