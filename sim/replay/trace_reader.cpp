#include "replay/trace_reader.h"

#include <algorithm>
#include <limits>

#include "replay/cp1252.h"

namespace kreplay {
namespace {

constexpr int kFormat = 2;

using nlohmann::json;

// What a check found wrong, before the line is known.
struct Bad {
  std::string what;
};

[[noreturn]] void bad(const std::string &what) { throw Bad{what}; }

std::string shown(std::string_view text) {
  return json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
}

std::int64_t integer(const json &j, const std::string &what,
                     std::int64_t low = std::numeric_limits<std::int32_t>::min(),
                     std::int64_t high = std::numeric_limits<std::int32_t>::max()) {
  if (!j.is_number_integer()) bad(what + " is not a whole number");
  if (j.is_number_unsigned()) {
    const std::uint64_t value = j.get<std::uint64_t>();
    if (value > static_cast<std::uint64_t>(high)) bad(what + " is out of range");
    return static_cast<std::int64_t>(value);
  }
  const std::int64_t value = j.get<std::int64_t>();
  if (value < low || value > high) bad(what + " is out of range");
  return value;
}

// A text as it crosses a call: Windows-1252, and (but for a file's contents)
// without a NUL, which would end it early.
std::string text(const json &j, const std::string &what, bool nul_allowed = false) {
  if (!j.is_string()) bad(what + " is not a text");
  const std::string &utf8 = j.get_ref<const std::string &>();
  std::optional<std::string> bytes = cp1252_of(utf8);
  if (!bytes) bad(what + " has a character that Windows-1252 cannot hold");
  if (!nul_allowed && bytes->find('\0') != std::string::npos) bad(what + " holds a NUL character");
  return *bytes;
}

const json &member(const json &object, const char *name, const std::string &what) {
  const auto it = object.find(name);
  if (it == object.end()) bad(what + " has no \"" + name + "\"");
  return *it;
}

Arg maker_arg(char kind, const json &j, const std::string &what) {
  Arg a;
  a.kind = kind;
  switch (kind) {
    case 't':
      a.null = j.is_null();
      if (!a.null) a.text = text(j, what);
      break;
    case 'i': a.number = integer(j, what); break;
    case 'c':
      a.text = text(j, what, true);
      if (a.text.size() != 1) bad(what + " is not one character");
      break;
    case 'v': {
      if (!j.is_object()) bad(what + " is not {\"out\": ...}");
      const json &out = member(j, "out", what);
      a.null = out.is_null();
      if (!a.null) a.number = integer(out, what + "'s out value");
      break;
    }
    default: {  // b, p
      if (!j.is_object()) bad(what + " is not {\"out\": ..., \"size\": ...}");
      const std::size_t limit = kind == 'p' ? kPrefixedSize : kBufferLimit;
      a.size = static_cast<std::size_t>(integer(member(j, "size", what), what + "'s size", 0, std::int64_t(limit)));
      if (kind == 'p' && a.size != kPrefixedSize) bad(what + " is not the 256 bytes of a length-prefixed text");
      const json &out = member(j, "out", what);
      a.null = out.is_null();
      if (!a.null) a.text = text(out, what + "'s out value");
      const std::size_t room = kind == 'p' ? kPrefixedSize - 1 : a.size;
      if (a.text.size() > room)
        bad(what + " writes " + std::to_string(a.text.size()) + " characters into a buffer of " + std::to_string(room));
      break;
    }
  }
  return a;
}

MakerCall maker_call(const json &step, const std::string &where) {
  MakerCall call;
  const json &name = member(step, "vendor", where);
  if (!name.is_string()) bad(where + ": the maker function's name is not a text");
  call.function = find_maker_function(name.get_ref<const std::string &>());
  const std::string what = where + " (" + shown(name.get_ref<const std::string &>()) + ")";
  if (!call.function) bad(what + ": no maker library has this function");
  const json &kinds = member(step, "kinds", what);
  if (!kinds.is_string() || kinds.get_ref<const std::string &>() != call.function->kinds)
    bad(what + ": the argument kinds are not \"" + call.function->kinds + "\"");
  const json &args = member(step, "args", what);
  if (!args.is_array() || args.size() != call.function->kinds.size())
    bad(what + ": not " + std::to_string(call.function->kinds.size()) + " arguments");
  for (std::size_t i = 0; i < args.size(); ++i)
    call.args.push_back(maker_arg(call.function->kinds[i], args[i], what + ": argument " + std::to_string(i + 1)));
  const json &returned = member(step, "return", what);
  if (!call.function->returns_text)
    call.returned = integer(returned, what + ": the return");
  else if (!returned.is_null())
    call.returned_text = text(returned, what + ": the return");
  return call;
}

void texts(const json &args, std::size_t count, const std::string &what) {
  if (!args.is_array() || args.size() != count) bad(what + ": not " + std::to_string(count) + " arguments");
  for (const json &a : args) text(a, what + ": an argument");
}

// The workstation's readings and the answers they had.
void workstation_step(const json &step, const std::string &where) {
  const json &kind = member(step, "platform", where);
  const std::string name = kind.is_string() ? kind.get<std::string>() : std::string();
  const std::string what = where + " (workstation " + shown(name) + ")";
  const auto returned = [&]() -> const json & { return member(step, "return", what); };
  const auto boolean = [&] {
    texts(member(step, "args", what), 1, what);
    if (!returned().is_boolean()) bad(what + ": the answer is not true or false");
  };
  if (name == "clock") {
    const std::string t = text(returned(), what);
    if (t.size() != 19 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':')
      bad(what + ": the time is not yyyy-mm-ddThh:mm:ss");
  } else if (name == "regional") {
    if (!returned().is_object()) bad(what + ": the settings are not an object");
    for (const char *field : {"decimal", "thousands", "short_date"}) text(member(returned(), field, what), what);
  } else if (name == "profile") {
    texts(member(step, "args", what), 4, what);
    text(returned(), what);
  } else if (name == "file_exists" || name == "remove_file" || name == "create_directories") {
    boolean();
  } else if (name == "read_file") {
    texts(member(step, "args", what), 1, what);
    if (!returned().is_null()) text(returned(), what, true);
  } else if (name == "file_size") {
    texts(member(step, "args", what), 1, what);
    integer(returned(), what, -1, std::numeric_limits<std::int64_t>::max());
  } else if (name == "ticks") {
    integer(returned(), what, 0, std::numeric_limits<std::int64_t>::max());
  } else if (name == "sleep") {
    const json &args = member(step, "args", what);
    if (!args.is_array() || args.size() != 1) bad(what + ": not one argument");
    integer(args[0], what, 0, std::numeric_limits<std::uint32_t>::max());
  } else {
    bad(what + ": not a reading of the workstation");
  }
}

void message_step(const json &step, const std::string &where) {
  const json &m = member(step, "message", where);
  const std::string what = where + " (operator message)";
  if (!m.is_object()) bad(what + " is not an object");
  integer(member(m, "form", what), what + ": the form");
  integer(member(m, "flags", what), what + ": the flags", 0, std::numeric_limits<std::uint32_t>::max());
  integer(member(m, "button", what), what + ": the button");
  text(member(m, "text", what), what + ": the text");
  if (const json &caption = member(m, "caption", what); !caption.is_null()) text(caption, what + ": the caption");
}

void out_values(const json &outs) {
  if (!outs.is_object()) bad("the out values are not an object");
  for (const auto &[index, value] : outs.items()) {
    if (index.empty() || index.size() > 2 ||
        !std::all_of(index.begin(), index.end(), [](char c) { return c >= '0' && c <= '9'; }))
      bad("the out values are not by argument number");
    if (value.is_string()) text(value, "out value " + index);
  }
}

// How deep the line's arrays and objects nest, strings aside; a trace record
// nests five deep, and a deeper line is not read at all (nor its JSON built).
int nesting(std::string_view text) {
  int depth = 0, deepest = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

constexpr int kNestingLimit = 8;

}  // namespace

TraceError::TraceError(int number, const std::string &what)
    : std::runtime_error("line " + std::to_string(number) + ": " + what), line(number) {}

bool LineReader::next(std::string &line) {
  line.clear();
  std::streambuf *buffer = in_.rdbuf();
  if (!buffer) return false;
  bool any = false;
  for (int c; (c = buffer->sbumpc()) != std::char_traits<char>::eof();) {
    any = true;
    if (c == '\n') break;
    // Refused at the bound: the rest of the line is never read.
    if (line.size() == kLineLimit) throw TraceError(number_ + 1, "longer than any trace line (1 MiB)");
    line += static_cast<char>(c);
  }
  if (!any) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++number_;
  return true;
}

Line parse_line(std::string_view text, int number) {
  Line line;
  if (text.find_first_not_of(" \t\r") == std::string_view::npos) return line;
  if (nesting(text) > kNestingLimit) throw TraceError(number, "not a trace record: nested too deep");
  line.json = json::parse(text.begin(), text.end(), nullptr, false);
  if (line.json.is_discarded()) throw TraceError(number, "not a JSON line (damaged or not a trace)");
  if (!line.json.is_object()) throw TraceError(number, "not a trace record");
  if (line.json.contains("kalpo_trace")) {
    line.kind = LineKind::header;
  } else if (const auto it = line.json.find("export"); it != line.json.end() && it->is_string()) {
    line.kind = LineKind::record;
  } else {
    throw TraceError(number, "not a trace record: it names no export");
  }
  return line;
}

void check_header(const json &header, int number) {
  const auto it = header.find("kalpo_trace");
  if (it == header.end() || !it->is_number_integer() || it->get<std::int64_t>() != kFormat)
    throw TraceError(number, "a trace of another format (this KALPO reads format " + std::to_string(kFormat) + ")");
}

std::vector<MakerCall> check_record(const json &record, int number) {
  std::vector<MakerCall> calls;
  try {
    const json &args = member(record, "args", "the record");
    if (!args.is_array()) bad("the export's arguments are not a list");
    for (const json &a : args)
      if (a.is_string()) text(a, "an export argument");
    const json &steps = member(record, "steps", "the record");
    if (!steps.is_array()) bad("the steps are not a list");
    for (std::size_t i = 0; i < steps.size(); ++i) {
      const json &step = steps[i];
      const std::string where = "step " + std::to_string(i + 1);
      if (!step.is_object()) bad(where + " is not an object");
      if (step.contains("vendor"))
        calls.push_back(maker_call(step, where));
      else if (step.contains("platform"))
        workstation_step(step, where);
      else if (step.contains("message"))
        message_step(step, where);
      else
        bad(where + " is neither a maker call, a reading of the workstation nor a message");
    }
    if (const json &result = member(record, "result", "the record"); !result.is_null()) integer(result, "the result");
    out_values(member(record, "out", "the record"));
  } catch (const Bad &b) {
    throw TraceError(number, b.what);
  }
  return calls;
}

}  // namespace kreplay
