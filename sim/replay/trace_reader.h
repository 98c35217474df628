// The call trace as it is read back: one JSON line each, a header line (the
// trace format, KALPO's version, the platform) where a process began writing
// and one record per export call.  A trace comes from a store and is read on
// a support machine, so every line is checked before any of it is used, and
// a bad line is named by its number.
#pragma once

#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "replay/calls.h"

namespace kreplay {

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
