// What the printer says when it cannot serve as it should: a refused
// journal in damaged.txt, anything else (a file it cannot write and why, a
// checkpoint it did not trust) in notice.txt; each once on standard error.
#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/internal.h"

namespace ksim {
namespace {

constexpr std::size_t kRemembered = 64;

}  // namespace

void Printer::Impl::refuse(const std::string &why) {
  damage = path(kJournal) + ": " + why;
  if (dir.open() && !looking) files::write_all(dir, kDamaged, damage + "\n");
  if (std::find(said.begin(), said.end(), damage) != said.end()) return;
  std::fprintf(stderr, "kalpo virtual printer refuses its journal: %s\n", damage.c_str());
  said.push_back(damage);
}

void Printer::Impl::look_again() {
  if (loaded && !floor) floor = std::pair{state, at};
  lifted = damage;
  reload();
}

void Printer::Impl::lift_refusal() {
  if (lifted.empty() || !damage.empty() || !loaded) return;
  if (floor) {
    const auto &[held, held_at] = *floor;
    std::string behind = counters_behind(state, held.crz, held.coo, held.grand_total, "those this process applied");
    if (!behind.empty()) behind = "its " + behind;
    if (behind.empty() && held_at.records > 0 &&
        (at.offset < held_at.offset || !holds_record(held_at.last_start, held_at.offset, held_at.last_crc)))
      behind = "it no longer holds record " + number(static_cast<std::int64_t>(held_at.records)) +
               ", which this process applied";
    if (!behind.empty()) return refuse(behind);
  }
  notice("no longer refused, its cause is gone: " + std::exchange(lifted, {}));
  floor.reset();
  if (!looking) files::write_all(dir, kDamaged, "");
}

void Printer::Impl::notice(const std::string &text, bool to_file) {
  std::string line = (dir.open() ? folder + ": " : std::string()) + text;
  if (dir.open() && !looking && to_file) files::write_all(dir, kNotice, line + "\n");
  if (std::find(said.begin(), said.end(), line) != said.end()) return;
  std::fprintf(stderr, "kalpo virtual printer: %s\n", line.c_str());
  if (said.size() == kRemembered) said.erase(said.begin());
  said.push_back(line);
}

// The files cannot be used for this call (a full disk, a folder that is not
// the printer's): the call answers as a printer that does not communicate.
void Printer::Impl::trouble() {
  usable = false;
  if (!busy) notice(files::last_error());
}

}  // namespace ksim
