// demo: a whole fiscal day on each printer model, on fresh virtual printers
// of its own, with every call, message and the paper that came out.
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "commands.h"
#include "core/printer.h"
#include "host.h"
#include "models.h"
#include "paper.h"
#include "runner.h"

namespace kt {
namespace {

// A printer whose day was already reduced today (two models served by one
// printer) is moved on to the next day, as a store would open the next day.
void next_day_if_reduced(const std::string &library, bool say) {
  ksim::Session session = ksim::Printer::of(library).begin("kalpo demo", ksim::Call::inspect);
  if (session.state().last_reduction_day != ksim::date_text(session.now())) return;
  session.set_clock_offset(session.state().clock_offset + 86400);
  if (say) std::cout << "  (the " << library << " printer's clock moves on to the next day)\n";
}

// The number of the printer's last coupon, as a point-of-sale program keeps it.
std::string last_coupon(const std::string &library) {
  const ksim::State s = ksim::Printer::of(library).state();
  char digits[16];
  std::snprintf(digits, sizeof digits, "%06u", s.coupon ? static_cast<unsigned>(s.coupon->coo) : 0u);
  return digits;
}

// A new data folder and, outside Windows, a new drive-C root (on Windows
// KALPO reads the workstation's own configuration file).
std::string fresh_folder() {
  const std::filesystem::path folder = temporary_folder("kalpo-demo-");
  set_environment("KALPO_SIM_DIR", (folder / "sim").string());
  set_environment("KALPO_DRIVE_C", (folder / "drive_c").string());
  return folder.string();
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
  if (!g.json) std::cout << "Virtual printers in " << folder << "\n";

  std::size_t refused = 0, calls = 0;
  nlohmann::json out = nlohmann::json::array();
  for (const Model *m : day_models) {
    if (!g.json) std::cout << "\n==== " << m->id << " (" << m->library << ") ====\n";
    next_day_if_reduced(m->library, !g.json);
    Runner runner(g.json);
    const std::size_t before = ksim::Printer::of(m->library).tape().size();
    for (std::string part : day_script(*m)) {
      const std::size_t at = part.find(kCouponNumber);
      if (at != std::string::npos) part.replace(at, std::string_view(kCouponNumber).size(), last_coupon(m->library));
      for (const ScriptLine &line : parse_script(part)) {
        ++calls;
        refused += !runner.execute(line).failures.empty();
      }
    }
    const std::vector<ksim::Page> all = ksim::Printer::of(m->library).tape();
    const std::vector<ksim::Page> pages(all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())),
                                        all.end());
    if (g.json) {
      out.push_back(
          {{"model", m->id}, {"library", m->library}, {"steps", runner.steps()}, {"paper", pages_json(pages)}});
      continue;
    }
    std::cout << "\n  The paper of " << m->id << ":\n";
    print_pages(pages);
  }
  if (g.json)
    std::cout << out.dump(2) << '\n';
  else
    std::cout << "\n"
              << calls << " calls on " << day_models.size() << " printer model(s): "
              << (refused ? std::to_string(refused) + " did not succeed" : "every one succeeded") << '\n';
  if (own_folder && !keep)
    std::filesystem::remove_all(folder);
  else if (own_folder && !g.json)
    std::cout << "The printers' folder is kept: " << folder << '\n';
  return refused ? 1 : 0;
}

}  // namespace kt
