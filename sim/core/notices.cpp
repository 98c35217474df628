// What the printer says when it cannot serve as it should: a refused
// journal in damaged.txt, anything else (a file it cannot write and why, a
// checkpoint it did not trust) in notice.txt; each once on standard error.
#include <algorithm>
#include <cstdio>

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
