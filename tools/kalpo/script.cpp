#include "script.h"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "output.h"
#include "replay/trace_reader.h"

namespace kt {
namespace {

struct Token {
  enum class Type { word, text, number, dash, arrow } type;
  std::string text;
  double number = 0;
};

std::string quoted(std::string_view line, std::size_t &i, int number) {
  std::string out;
  for (++i; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      ++i;
      return out;
    }
    if (c == '\\' && i + 1 < line.size()) {
      c = line[++i];
      out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
    } else {
      out += c;
    }
  }
  throw ScriptError(number, "a text is not closed by '\"'");
}

std::vector<Token> tokens(std::string_view line, int number) {
  std::vector<Token> out;
  for (std::size_t i = 0; i < line.size();) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      out.push_back({Token::Type::text, quoted(line, i, number)});
    } else {
      std::size_t end = line.find_first_of(" \t\r#", i);
      if (end == std::string_view::npos) end = line.size();
      std::string word(line.substr(i, end - i));
      i = end;
      double value = 0;
      const auto [stop, error] = std::from_chars(word.data(), word.data() + word.size(), value);
      if (word == "-")
        out.push_back({Token::Type::dash, word});
      else if (word == "=>")
        out.push_back({Token::Type::arrow, word});
      else if (error == std::errc() && stop == word.data() + word.size())
        out.push_back({Token::Type::number, word, value});
      else
        out.push_back({Token::Type::word, word});
    }
  }
  return out;
}

Value value_of(const Token &t, int number) {
  switch (t.type) {
    case Token::Type::text: return Value::of_text(as_utf8(t.text));
    case Token::Type::number: return Value::of_number(t.number);
    case Token::Type::dash: return Value::absent();
    default:
      throw ScriptError(number,
                        "'" + as_utf8(t.text) + "' is neither a quoted text, a number nor '-'" + comma_hint(t.text));
  }
}

Expectation expectation(const std::vector<Token> &ts, std::size_t from, int number) {
  Expectation e;
  if (from >= ts.size()) throw ScriptError(number, "'=>' needs the expected result");
  const Value result = value_of(ts[from], number);
  if (result.type == Value::Type::text) throw ScriptError(number, "the expected result is a number or '-'");
  if (result.type == Value::Type::number) e.result = static_cast<std::int32_t>(result.number);
  for (std::size_t i = from + 1; i < ts.size(); ++i) e.outs.push_back(value_of(ts[i], number));
  return e;
}

ScriptLine script_line(const std::vector<Token> &ts, int number) {
  if (ts.front().type != Token::Type::word) throw ScriptError(number, "a line starts with the export's name");
  ScriptLine out;
  out.line = number;
  out.target = find_export(ts.front().text);
  if (!out.target) throw ScriptError(number, "unknown export '" + printable(ts.front().text, 80) + "'");
  if (!out.target->callable()) throw ScriptError(number, out.target->name + " is not called by the tool");
  std::size_t i = 1;
  for (; i < ts.size() && ts[i].type != Token::Type::arrow; ++i) out.args.push_back(value_of(ts[i], number));
  if (i < ts.size()) out.expect = expectation(ts, i + 1, number);
  if (out.expect && out.expect->result && out.target->result == ResultKind::none)
    throw ScriptError(number, out.target->name + " has no result to expect");
  try {
    out.args = check_args(*out.target, std::move(out.args));
  } catch (const UsageError &e) {
    throw ScriptError(number, e.what());
  }
  return out;
}

// A recorded argument as the call's value: out texts, answer buffers and
// unread arguments are '-' (what the caller had in them is not recorded).
Value trace_value(const nlohmann::json &j, Kind kind) {
  if (kind == Kind::unread || kind == Kind::out_text || kind == Kind::answer) return Value::absent();
  if (j.is_string()) return Value::of_text(j.get<std::string>());
  if (j.is_number()) return Value::of_number(j.get<double>());
  return Value::absent();
}

}  // namespace

ScriptLine trace_line(const nlohmann::json &record, int number) {
  ScriptLine out;
  out.line = number;
  out.target = find_export(record.at("export").get<std::string>());
  if (!out.target)
    throw ScriptError(number, "unknown export '" + printable(record.at("export").get<std::string>(), 80) + "'");
  const auto &args = record.at("args");
  for (std::size_t i = 0; i < args.size() && i < out.target->params.size(); ++i) {
    out.args.push_back(trace_value(args[i], out.target->params[i].kind));
  }
  if (record.contains("result") && record["result"].is_number())
    out.expect = Expectation{record["result"].get<std::int32_t>(), {}};
  for (const auto &step : record.value("steps", nlohmann::json::array()))
    if (step.contains("message") && step["message"].value("flags", 0) == 0x24)
      out.answers.push_back(step["message"].value("button", 7));
  out.args = check_args(*out.target, std::move(out.args));
  return out;
}

bool looks_like_trace(std::string_view contents) {
  const std::size_t first = contents.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && contents[first] == '{';
}

std::vector<ScriptLine> parse_script(std::string_view contents) {
  std::vector<ScriptLine> out;
  std::istringstream in{std::string(contents)};
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::vector<Token> ts = tokens(line, number);
    if (!ts.empty()) out.push_back(script_line(ts, number));
  }
  return out;
}

std::vector<ScriptLine> parse_trace(std::string_view contents) {
  std::vector<ScriptLine> out;
  std::istringstream in{std::string(contents)};
  kreplay::LineReader lines(in);
  std::string text;
  for (;;) {
    kreplay::Line line;
    try {
      if (!lines.next(text)) break;
      line = kreplay::parse_line(text, lines.number());
    } catch (const kreplay::TraceError &e) {
      throw UsageError(e.what());  // "line N: ..." already
    }
    const int number = lines.number();
    if (line.kind != kreplay::LineKind::record) continue;
    try {
      if (const Export *e = find_export(line.json["export"].get<std::string>()); e && !e->callable()) continue;
      out.push_back(trace_line(line.json, number));
    } catch (const ScriptError &) {
      throw;
    } catch (const std::exception &e) {
      throw ScriptError(number, std::string("not a trace record: ") + e.what());
    }
  }
  return out;
}

std::string script_text(const Export &e, const std::vector<Value> &args) {
  std::string out = e.name.substr(6);
  for (const Value &v : args) out += ' ' + show(v);
  return out;
}

}  // namespace kt
