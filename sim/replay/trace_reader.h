// The call trace as it is read back: one JSON line each, a header line (the
// trace format, KALPO's version, the platform) where a process began writing
// and one record per export call.  A trace comes from a store and is read on
// a support machine, so every line is checked before any of it is used, and
// a bad line is named by its number.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "replay/makers.h"

namespace kreplay {

struct TraceError : std::runtime_error {
  TraceError(int line, const std::string &what);
  int line;
};

// The lines of a trace, one at a time: no line is held longer than
// kLineLimit, whatever the file holds.
class LineReader {
 public:
  static constexpr std::size_t kLineLimit = 1 << 20;

  explicit LineReader(std::istream &in) : in_(in) {}
  // The next line, without its end (LF or CR LF); false at the end.
  bool next(std::string &line);
  int number() const { return number_; }
  // The line just read was longer than kLineLimit and was cut.
  bool cut() const { return cut_; }

 private:
  std::istream &in_;
  int number_ = 0;
  bool cut_ = false;
};

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

enum class LineKind { blank, header, record };

struct Line {
  LineKind kind = LineKind::blank;
  nlohmann::json json;
};

// A line as JSON, told apart: a blank line, a header or a record (an object
// naming its export).  TraceError when it is neither.
Line parse_line(std::string_view text, int number);

// A header a replay can take: this trace format.
void check_header(const nlohmann::json &header, int number);

// A record checked whole, its steps of the kinds the replay knows, every
// text one that can cross a call; its maker calls.  TraceError naming what.
std::vector<MakerCall> check_record(const nlohmann::json &record, int number);

}  // namespace kreplay
