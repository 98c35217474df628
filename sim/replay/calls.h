// A trace's maker calls as the replay holds them and hands them to the
// replay maker libraries: what those libraries need, without the JSON
// library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "replay/makers.h"
#include "seam/arg_kinds.h"

namespace kreplay {

struct TraceError : std::runtime_error {
  TraceError(int line, const std::string &what);
  int line;
};

// The lines of a trace, one at a time: a line longer than kLineLimit is
// refused (TraceError) at the limit, never read on to its end.
class LineReader {
 public:
  static constexpr std::size_t kLineLimit = 1 << 20;

  explicit LineReader(std::istream &in) : in_(in) {}
  // The next line, without its end (LF or CR LF); false at the end.
  bool next(std::string &line);
  int number() const { return number_; }

 private:
  std::istream &in_;
  int number_ = 0;
};

// The widths of answer buffers, as the trace writer measures them.
using kalpo::seam::kBufferLimit;
using kalpo::seam::kPrefixedSize;

// One argument of a maker call, texts in Windows-1252 as they cross the call.
struct Arg {
  char kind = 't';
  bool null = false;
  std::string text;         // t, c, b, p: the text, the character, what the maker wrote
  std::int64_t number = 0;  // i: the value; v: what the maker set
  std::size_t size = 0;     // b, p: the buffer's width
};

struct MakerCall {
  const MakerFunction *function = nullptr;
  std::vector<Arg> args;
  std::int64_t returned = 0;
  std::optional<std::string> returned_text;  // for a function that returns a text
};

// What each replay library exports beside its maker's functions: the replay
// hands it, before each export call, the calls of that library the call
// recorded, in order (read and checked once, by the replay).
inline constexpr const char *kTakeCalls = "kalpo_replay_take";
using TakeCalls = void (*)(const MakerCall *calls, std::size_t count);

}  // namespace kreplay
