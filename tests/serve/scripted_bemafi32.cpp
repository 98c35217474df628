// A Bematech maker library that keeps no folder and answers what a test
// writes in the file named by KALPO_SCRIPTED_PRINTER: "healthy", "off",
// "paper_low" or "paper_out".  Loaded by libkalpo in place of the virtual
// printer's, it stands for a maker's library driving a real printer.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "seam/maker_import.h"

namespace {

enum class Script { healthy, off, paper_low, paper_out };

Script script() {
  const char *path = std::getenv("KALPO_SCRIPTED_PRINTER");
  char text[32] = {};
  if (std::FILE *file = path ? std::fopen(path, "rb") : nullptr) {
    const std::size_t read = std::fread(text, 1, sizeof text - 1, file);
    text[read] = '\0';
    std::fclose(file);
  }
  if (std::strncmp(text, "off", 3) == 0) return Script::off;
  if (std::strncmp(text, "paper_low", 9) == 0) return Script::paper_low;
  if (std::strncmp(text, "paper_out", 9) == 0) return Script::paper_out;
  return Script::healthy;
}

// The status bytes of the two status calls, the only functions with three
// integers handed out.
void status(int32_t *ack, int32_t *st1, int32_t *st2) {
  const Script now = script();
  *ack = now == Script::off ? 0 : 6;
  *st1 = now == Script::paper_out ? 128 : now == Script::paper_low ? 64 : 0;
  *st2 = 0;
}
template <typename... A>
void status(A...) {}

// Bematech's return: 1 done, -6 the printer is off.
template <typename... A>
int32_t answer(A... args) {
  status(args...);
  return script() == Script::off ? -6 : 1;
}

}  // namespace

extern "C" {
#define KALPO_SCRIPTED(ret, name, params, args) \
  KALPO_MAKER_IMPORT ret KALPO_MAKER_CALL name params { return answer args; }
#define KALPO_BEMAFI32 KALPO_SCRIPTED
#include "seam/maker_list.h"
#undef KALPO_SCRIPTED
}
