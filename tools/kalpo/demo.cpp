// demo: a whole fiscal day on each printer model, on fresh virtual printers
// of its own, with every call, message and the paper that came out.
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "commands.h"
#include "core/printer.h"
#include "models.h"
#include "paper.h"
#include "runner.h"

namespace kt {
namespace {

// A printer whose day was already reduced today (two models served by one
// printer) is moved on to the next day, as a store would open the next day.
void next_day_if_reduced(const std::string &library) {
  ksim::Session session = ksim::Printer::of(library).begin("kalpo demo", ksim::Call::inspect);
  if (session.state().last_reduction_day != ksim::date_text(session.now())) return;
  session.set_clock_offset(session.state().clock_offset + 86400);
  std::cout << "  (the " << library << " printer's clock moves on to the next day)\n";
}

std::string fresh_folder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kalpo-demo-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  setenv("KALPO_SIM_DIR", (pattern + "/sim").c_str(), 1);
  setenv("KALPO_DRIVE_C", (pattern + "/drive_c").c_str(), 1);
  return pattern;
}

}  // namespace

int cmd_demo(const Global &g, const std::vector<std::string> &chosen, bool keep) {
  std::vector<const Model *> day_models;
  for (const std::string &id : chosen) {
    const Model *m = find_model(id);
    if (!m) throw UsageError("demo --model: '" + id + "' is not a printer model (BEMATECHMP20 ... EPSON)");
    day_models.push_back(m);
  }
  if (day_models.empty())
    for (const Model &m : models()) day_models.push_back(&m);

  const bool own_folder = !g.dir_given;
  const std::string folder = own_folder ? fresh_folder() : std::getenv("KALPO_SIM_DIR");
  std::cout << "Virtual printers in " << folder << "\n";

  Runner runner(g.json);
  std::size_t refused = 0, calls = 0;
  for (const Model *m : day_models) {
    std::cout << "\n==== " << m->id << " (" << m->library << ") ====\n";
    next_day_if_reduced(m->library);
    const std::size_t before = ksim::Printer::of(m->library).tape().size();
    for (const ScriptLine &line : parse_script(day_script(*m))) {
      ++calls;
      refused += !runner.execute(line).failures.empty();
    }
    const std::vector<ksim::Page> pages = ksim::Printer::of(m->library).tape();
    std::cout << "\n  The paper of " << m->id << ":\n";
    print_pages({pages.begin() + static_cast<std::ptrdiff_t>(std::min(before, pages.size())), pages.end()});
  }
  std::cout << "\n" << calls << " calls on " << day_models.size() << " printer model(s): "
            << (refused ? std::to_string(refused) + " did not succeed" : "every one succeeded") << '\n';
  if (own_folder && !keep) std::filesystem::remove_all(folder);
  else if (own_folder) std::cout << "The printers' folder is kept: " << folder << '\n';
  return refused ? 1 : 0;
}

}  // namespace kt
