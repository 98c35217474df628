// demo: the example script of each printer model (examples/, built in), a
// whole fiscal day, each on a fresh virtual printer of its own, with every
// call, message and the paper that came out.
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "commands.h"
#include "core/printer.h"
#include "examples.h"
#include "host.h"
#include "models.h"
#include "output.h"
#include "paper.h"
#include "runner.h"

namespace kt {
namespace {

namespace fs = std::filesystem;

struct Day {
  const Model *model;
  std::vector<ScriptLine> lines;
  std::string folder;  // of the model's printers, under the demo's folder
};

std::string lower(std::string text) {
  for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string_view script_of(const Model &m) {
  const std::string file = lower(m.id) + ".kalpo";
  for (const Example &e : examples())
    if (e.file == file) return e.text;
  throw std::runtime_error("the demo has no script " + file);
}

// The days to run, checked before anything is made.
std::vector<Day> days(const std::vector<std::string> &chosen) {
  std::vector<const Model *> picked;
  for (const std::string &id : chosen) {
    const Model *m = find_model(id);
    if (!m) throw UsageError("demo --model: '" + id + "' is not a printer model (" + model_list() + ")");
    picked.push_back(m);
  }
  if (picked.empty())
    for (const Model &m : models()) picked.push_back(&m);
  std::vector<Day> out;
  for (const Model *m : picked) out.push_back({m, parse_script(script_of(*m)), lower(m->id)});
  return out;
}

// A new folder for the printers and, outside Windows, a new drive-C root (on
// Windows KALPO reads the workstation's own configuration file); the copies
// of the printers' counters marks in it too, not in the user's state folder,
// so that nothing of the demo is left behind.
fs::path fresh_folder() {
  const fs::path folder = temporary_folder("kalpo-demo-");
  set_environment("KALPO_DRIVE_C", (folder / "drive_c").string());
#if defined(_WIN32)
  set_environment("LOCALAPPDATA", (folder / "state").string());
#else
  set_environment("XDG_STATE_HOME", (folder / "state").string());
#endif
  return folder;
}

}  // namespace

int cmd_demo(const Global &g, const std::vector<std::string> &chosen, bool keep) {
  // The demo sells on the virtual printer, never on a maker's own library.
  set_environment("KALPO_VIRTUAL", "1");
  const bool own_folder = !g.dir_given;
  const std::vector<Day> planned = days(chosen);
  // In the user's folder (--dir), the printers must not be there already.
  if (!own_folder)
    for (const Day &day : planned)
      if (const fs::path folder = fs::path(std::getenv("KALPO_SIM_DIR")) / day.folder; fs::exists(folder))
        throw UsageError("demo: " + folder.string() + " exists; the demo's printers start fresh");
  const fs::path root = own_folder ? fresh_folder() : fs::path(std::getenv("KALPO_SIM_DIR"));
  if (!g.json) std::cout << "Virtual printers in " << root.string() << ", a fresh one for each model\n";

  std::size_t refused = 0, calls = 0;
  nlohmann::json out = nlohmann::json::array();
  for (const Day &day : planned) {
    const Model &m = *day.model;
    set_environment("KALPO_SIM_DIR", (root / day.folder).string());
    if (!g.json) std::cout << "\n==== " << m.id << " (" << m.library << ") ====\n";
    Runner runner(g.json);
    for (const ScriptLine &line : day.lines) {
      ++calls;
      refused += !runner.execute(line).failures.empty();
    }
    const std::vector<ksim::Page> pages = ksim::Printer::of(m.library).tape();
    if (g.json) {
      out.push_back({{"model", m.id}, {"library", m.library}, {"steps", runner.steps()}, {"paper", pages_json(pages)}});
      continue;
    }
    std::cout << "\n  The paper of " << m.id << ":\n";
    print_pages(pages);
  }

  const bool removed = own_folder && !keep;
  if (removed) fs::remove_all(root);
  if (g.json) {
    print_json({{"folder", root.string()}, {"kept", !removed}, {"days", out}});
    return refused ? kExitFailed : kExitDone;
  }
  std::cout << "\n"
            << calls << " calls on " << planned.size()
            << " printer model(s): " << (refused ? std::to_string(refused) + " did not succeed" : "every one succeeded")
            << '\n';
  if (removed)
    std::cout << "The printers were in " << root.string() << ", now removed (kalpo demo --keep keeps them)\n";
  else
    std::cout << "The printers are kept in " << root.string() << " (kalpo --dir "
              << (root / planned.front().folder).string() << " tape shows the first one's paper)\n";
  return refused ? kExitFailed : kExitDone;
}

}  // namespace kt
