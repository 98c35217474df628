// What a replay needs of the system: a temporary folder in which libkalpo is
// bound to the replay maker libraries instead of the virtual printer, and the
// replay run there in a child process.  libkalpo looks for the maker
// libraries beside the program first on Windows, and by the loader's path
// before libkalpo's own folder elsewhere: so the folder holds a copy of
// libkalpo and the replay libraries, and on Windows this program too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "replay/calls.h"

namespace kt {

// A new temporary folder holding libkalpo as this program loaded it and the
// replay maker libraries (KALPO_REPLAY_LIBRARIES, else the folder "replay"
// beside libkalpo).  UsageError when they are not there.
std::string prepare_replay_folder();

// This program run with `args` from `folder`, whose libraries it loads; the
// child's exit status (1 when it did not end by itself).
int run_from(const std::string &folder, const std::vector<std::string> &args);

// While it lives, an interruption (SIGINT, SIGTERM, SIGHUP; Ctrl+C or the
// console closed on Windows) ends the replay's child instead of this process,
// so that the replay still removes its temporary folder; signal() tells
// which came (0: none).
class Interruption {
 public:
  Interruption();
  ~Interruption();
  Interruption(const Interruption &) = delete;
  Interruption &operator=(const Interruption &) = delete;
  int signal() const;
};

// Each maker library as this process loaded it, in the rows of
// seam/maker_libraries.h: the file it was loaded from (the child checks that they
// are the replay ones) and what takes its recorded calls (null: none, not a
// replay library).
struct LoadedLibrary {
  std::string_view name;
  std::string file;
  kreplay::TakeCalls take = nullptr;
};
std::vector<LoadedLibrary> loaded_maker_libraries();

}  // namespace kt
