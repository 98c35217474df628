// trace: the call trace as readable text, one export call per block with
// its maker calls (status bytes decoded), the readings of the workstation,
// the operator's messages and the result; with --json the records with their
// out values keyed by name.
#include <charconv>
#include <iostream>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "exports.h"
#include "operator.h"
#include "output.h"
#include "replay/field_file.h"
#include "replay/trace_reader.h"
#include "status_bytes.h"

namespace kt {
namespace {

std::string value_text(const nlohmann::json &v) {
  if (v.is_null()) return "-";
  if (v.is_object() && v.contains("out")) return "out " + value_text(v["out"]);
  return json_line(v);
}

std::string list_text(const nlohmann::json &values) {
  std::string out;
  for (const auto &v : values) out += (out.empty() ? "" : ", ") + value_text(v);
  return out;
}

// A recorded message as the operator's screen shows one.
Message recorded_message(const nlohmann::json &m) {
  Message out;
  out.form = m.value("form", 0);
  if (m.contains("caption") && m["caption"].is_string()) out.caption = m["caption"].get<std::string>();
  out.text = m.value("text", "");
  out.flags = m.value("flags", 0u);
  out.button = m.value("button", 0);
  return out;
}

void print_step(const nlohmann::json &step) {
  if (step.contains("platform")) {
    std::cout << "    workstation " << step["platform"].get<std::string>() << '('
              << list_text(step.value("args", nlohmann::json::array())) << ')'
              << (step.contains("return") ? " -> " + value_text(step["return"]) : "") << '\n';
    return;
  }
  if (step.contains("vendor")) {
    const std::string function = step["vendor"].get<std::string>();
    std::cout << "    " << function << '(' << list_text(step["args"]) << ") -> " << value_text(step["return"]) << '\n';
    if (const auto meaning = status_meaning(function, step["args"])) std::cout << "      = " << *meaning << '\n';
    return;
  }
  std::cout << "    " << message_line(recorded_message(step["message"])) << '\n';
}

// The name of out argument `index` ("4": contagem) of the export.
std::string out_name(const Export *e, const std::string &index) {
  std::size_t i = 0;
  const auto [end, error] = std::from_chars(index.data(), index.data() + index.size(), i);
  const bool known = error == std::errc() && end == index.data() + index.size() && e && i < e->params.size();
  return known ? e->params[i].name : "#" + index;
}

void print_record(const nlohmann::json &r, const Export *e) {
  std::string args;
  const auto &values = r.at("args");
  for (std::size_t i = 0; i < values.size(); ++i) {
    args += i ? ", " : "";
    if (e && i < e->params.size()) args += e->params[i].name + '=';
    args += value_text(values[i]);
  }
  std::cout << r.value("time", "") << "  " << r.at("export").get<std::string>() << '(' << args << ")\n";
  for (const auto &step : r.value("steps", nlohmann::json::array())) print_step(step);
  std::cout << "  = " << value_text(r.value("result", nlohmann::json()));
  const nlohmann::json outs = r.value("out", nlohmann::json::object());
  for (const auto &[index, value] : outs.items()) std::cout << "  " << out_name(e, index) << '=' << value_text(value);
  std::cout << "   (" << r.value("ms", 0.0) << " ms)\n\n";
}

// The record with its out values keyed by the arguments' names, as call and
// run key them.
nlohmann::json named_outs(nlohmann::json r, const Export *e) {
  const nlohmann::json outs = r.value("out", nlohmann::json::object());
  nlohmann::json named = nlohmann::json::object();
  for (const auto &[index, value] : outs.items()) named[out_name(e, index)] = value;
  r["out"] = named;
  return r;
}

void print_header(const nlohmann::json &h) {
  std::cout << "==== trace format " << value_text(h.value("kalpo_trace", nlohmann::json())) << ", KALPO "
            << h.value("kalpo", "?") << " on " << h.value("platform", "?") << ", process "
            << value_text(h.value("process", nlohmann::json())) << ", from " << h.value("time", "?") << " ====\n\n";
}

}  // namespace

// Traces of every format are read; a damaged line (torn, or not a trace's)
// is skipped with a warning naming it.
int cmd_trace(const Global &g, const std::string &file) {
  kreplay::FieldFile source(file);
  std::istream in(&source);
  kreplay::LineReader lines(in);
  nlohmann::json all = nlohmann::json::array();
  const auto next = [&](std::string &text) {
    try {
      return lines.next(text);
    } catch (const kreplay::TraceError &e) {
      throw UsageError(file + ": " + e.what());
    }
  };
  for (std::string text; next(text);) {
    kreplay::Line line;
    try {
      line = kreplay::parse_line(text, lines.number());
    } catch (const kreplay::TraceError &e) {
      std::cerr << "kalpo: warning: " << file << ": " << e.what() << "; the line is skipped\n";
      continue;
    }
    if (line.kind == kreplay::LineKind::header) {
      if (!g.json) print_header(line.json);
      continue;
    }
    if (line.kind != kreplay::LineKind::record) continue;
    try {
      const Export *e = find_export(line.json.at("export").get<std::string>());
      if (g.json)
        all.push_back(named_outs(std::move(line.json), e));
      else
        print_record(line.json, e);
    } catch (const std::exception &) {
      std::cerr << "\nkalpo: warning: " << file << ": line " << lines.number() << " is not a whole record; skipped\n";
    }
  }
  if (g.json) print_json(all);
  return kExitDone;
}

}  // namespace kt
