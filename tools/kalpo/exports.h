// The table of KALPO's exports: name, arguments with their kinds, result
// kind.  It alone drives `call`, `run` and the replay of a trace: each entry's
// kinds come from the export's own C signature.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kt {

// A command-line mistake: the message names the bad argument.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// An export's argument refused before the call, by kind: `code` is one of
// too_many_arguments, missing_argument, null_not_allowed, wrong_kind,
// not_an_input, not_windows_1252, nul_in_text; `argument` names it (empty
// for the count).  The service answers from these, never from the message.
struct ArgumentError : UsageError {
  ArgumentError(std::string code, std::string argument, const std::string &message)
      : UsageError(message), code(std::move(code)), argument(std::move(argument)) {}
  std::string code, argument;
};

enum class Kind {
  text,         // const char *
  out_text,     // const char **: a text handed out
  integer,      // int32_t
  var_integer,  // int32_t *: read and written
  real,         // double
  control,      // KALPO_TextControl *: a text the call reads and may replace
  unread,       // const void *: accepted, never read
  answer,       // char *: a buffer the call fills
  handler,      // the message handler (the tool keeps its own)
  context,
};
enum class ResultKind { flag, integer, none };

// An argument or out value: absent ('-'), a number or a text (UTF-8).
struct Value {
  enum class Type { absent, number, text } type = Type::absent;
  std::string text;
  double number = 0;

  static Value absent() { return {}; }
  static Value of_text(std::string t) { return {Type::text, std::move(t), 0}; }
  static Value of_number(double n) { return {Type::number, {}, n}; }
  bool operator==(const Value &) const = default;
};

struct Param {
  std::string name;
  Kind kind;
};

// What one call handed back: the result and the out values, in the order of
// the out arguments.
struct Returned {
  std::optional<std::int32_t> result;
  std::vector<std::pair<std::string, Value>> outs;
};

struct Export {
  std::string name;  // "KALPO_AbreCupom"
  std::vector<Param> params;
  ResultKind result = ResultKind::flag;
  // Whether a call may change the printer or the workstation (print, move a
  // counter, open the drawer, write a setting or a file): a query does not,
  // and repeating it is harmless.
  bool changes_printer = true;
  std::function<Returned(const std::vector<Value> &)> invoke;

  // Whether the tool may call it (not the handler's registration: the tool
  // keeps its own operator screen).
  bool callable() const;
};

bool is_out(Kind kind);
// Kinds that take '-' (or nothing, when trailing).
bool may_be_absent(Kind kind);
// Kinds a call must be given, if only as '-' (null): every one the call reads
// but the integer it may write back.
bool is_required(Kind kind);
const char *kind_name(Kind kind);
// "flag", "integer" or "none".
const char *result_name(ResultKind result);

const std::vector<Export> &exports();
// By name, with or without the KALPO_ prefix, in any letter case.
const Export *find_export(std::string_view name);
const Export &export_named(std::string_view name);  // throws UsageError

// The arguments checked against the export's kinds; trailing arguments that
// may be absent are filled in.  Throws UsageError naming the bad argument.
std::vector<Value> check_args(const Export &e, std::vector<Value> args);
// One shell word as the value of an argument of the given kind.
Value word_value(const std::string &word, Kind kind);
// For a number written with a decimal comma ("24,90"), a hint to write a
// point; empty for any other text.
std::string comma_hint(std::string_view text);
// Why a text (UTF-8) cannot reach the library, which takes Windows-1252: a
// character it has not, or a NUL that would cut it short; none when it can.
// ArgumentError naming argument `index` of `e` otherwise.
// The longest text argument a call takes, in bytes of UTF-8, and the longest
// model identifier (the longest known one has 15 characters); longer ones
// are refused before the library is called.
inline constexpr std::size_t kLongestText = 8192;
inline constexpr std::size_t kLongestModel = 64;
void check_text(const Export &e, std::size_t index, const std::string &text);

// Formatting for the terminal and scripts: texts quoted, numbers as numbers.
std::string show(const Value &v);

}  // namespace kt
