// Fuzzes the trace reader as the replay and the replay maker libraries use it
// on a trace from a store: arbitrary bytes read line by line, each line told
// apart and checked.  A bad line is a trace error naming it, never a crash,
// and what a checked record hands to a maker call fits the call's buffer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "replay/trace_reader.h"

namespace {

[[noreturn]] void violated(const char *what) {
  std::fprintf(stderr, "fuzz_trace: %s\n", what);
  std::abort();
}

void check(const kreplay::MakerCall &call) {
  if (!call.function || call.args.size() != call.function->kinds.size()) violated("a call of another shape");
  for (const kreplay::Arg &a : call.args) {
    if ((a.kind == 'b' && a.text.size() > a.size) || (a.kind == 'p' && a.text.size() > 255))
      violated("a recorded buffer longer than the call's");
    if (a.kind == 't' && a.text.find('\0') != std::string::npos) violated("a NUL inside a text");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char *>(bytes), size));
  kreplay::LineReader lines(in);
  std::string text;
  for (;;) {
    try {
      if (!lines.next(text)) break;
    } catch (const kreplay::TraceError &e) {
      if (e.line != lines.number() + 1) violated("an over-long line named by another number");
      break;
    }
    if (text.size() > kreplay::LineReader::kLineLimit) violated("a line held beyond the limit");
    try {
      const kreplay::Line line = kreplay::parse_line(text, lines.number());
      if (line.kind == kreplay::LineKind::header) kreplay::check_header(line.json, lines.number());
      if (line.kind == kreplay::LineKind::record)
        for (const kreplay::MakerCall &call : kreplay::check_record(line.json, lines.number())) check(call);
    } catch (const kreplay::TraceError &e) {
      if (e.line != lines.number()) violated("an error naming another line");
    }
  }
  return 0;
}
