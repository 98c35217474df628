// The whole of a file read through the safe opener, on either platform.
#include "core/internal.h"

namespace ksim {

bool read_whole_file(const std::string &path, Whose whose, std::uint64_t limit, std::string &text) {
  text.clear();
  SafeFile file(path, whose);
  if (!file.open()) return false;
  char buffer[65536];
  for (std::int64_t got; (got = file.read(buffer, sizeof buffer)) != 0;) {
    if (got < 0) return false;
    if (text.size() + static_cast<std::size_t>(got) > limit)
      return files::refuse(path, "larger than " + std::to_string(limit) + " bytes: not read");
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

}  // namespace ksim
