// Session scripts and call traces read into calls.
//
// Script: one export call per line, in the export's own argument order:
//   AbreCupom "BEMATECHMP20" - "Maria" "Rua A, 1" "123"   => 1 "000001"
// texts quoted ("\"", "\\", "\r", "\n", "\t" escapes), numbers as numbers,
// '-' for an out or unread argument, '#' starts a comment; after "=>" the
// expected result and then the expected out values in order ('-' skips one).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "exports.h"

namespace kt {

struct Expectation {
  std::optional<std::int32_t> result;
  std::vector<Value> outs;  // absent: not checked
};

struct ScriptLine {
  int line = 0;
  const Export *target = nullptr;
  std::vector<Value> args;
  std::optional<Expectation> expect;
  std::vector<std::int32_t> answers;  // buttons for the call's confirmations (a replayed trace)
};

// A mistake in a script, with its line number.
struct ScriptError : UsageError {
  ScriptError(int line, const std::string &what) : UsageError("line " + std::to_string(line) + ": " + what) {}
};

bool looks_like_trace(std::string_view contents);
std::vector<ScriptLine> parse_script(std::string_view contents);
// The export calls of a trace, each expecting its recorded result.  A
// damaged line is refused with its number, as `kalpo replay` refuses it.
std::vector<ScriptLine> parse_trace(std::string_view contents);
// One trace record as the call it records, expecting its recorded result and
// with the recorded answers to its confirmations.
ScriptLine trace_line(const nlohmann::json &record, int number);

// One call written as a script line.
std::string script_text(const Export &e, const std::vector<Value> &args);

}  // namespace kt
