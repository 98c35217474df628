// A test double of one maker's own library (InterfaceEpson's functions,
// under its file name): each call appends the function's name to the file
// KALPO_DOUBLE_LOG names and answers 0, so that a test sees which library
// libkalpo reached.
#include <cstdio>
#include <cstdlib>

#define KALPO_MAKER_DEFINE
#include "seam/maker_import.h"

namespace {

void called(const char *name) {
  const char *log = std::getenv("KALPO_DOUBLE_LOG");
  if (!log) return;
  if (std::FILE *f = std::fopen(log, "a")) {
    std::fprintf(f, "%s\n", name);
    std::fclose(f);
  }
}

// A text the maker writes (the printer's status words): a printer ready,
// no document open.
void answer(char *buffer) {
  if (buffer) std::snprintf(buffer, 21, "%s", "000000000000C2000000");
}
template <typename T>
void answer(T) {}
template <typename... A>
void answer_each(A... a) {
  (answer(a), ...);
}

}  // namespace

#define KALPO_DOUBLE_FUNCTION(ret, name, params, args)             \
  extern "C" KALPO_MAKER_IMPORT ret KALPO_MAKER_CALL name params { \
    called(#name);                                                 \
    answer_each args;                                              \
    return 0;                                                      \
  }
#define KALPO_EPSON KALPO_DOUBLE_FUNCTION
#include "seam/maker_list.h"
#undef KALPO_DOUBLE_FUNCTION
