// trace: the call trace as readable text, one export call per block with
// its maker calls, the readings of the workstation, the operator's messages
// and the result.
#include <fstream>
#include <iostream>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "exports.h"
#include "replay/trace_reader.h"

namespace kt {
namespace {

std::string value_text(const nlohmann::json &v) {
  if (v.is_null()) return "-";
  if (v.is_object() && v.contains("out")) return "out " + value_text(v["out"]);
  return v.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string list_text(const nlohmann::json &values) {
  std::string out;
  for (const auto &v : values) out += (out.empty() ? "" : ", ") + value_text(v);
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
    std::cout << "    " << step["vendor"].get<std::string>() << '(' << list_text(step["args"]) << ") -> "
              << value_text(step["return"]) << '\n';
    return;
  }
  const auto &m = step["message"];
  const int form = m.value("form", 0);
  std::cout << "    message [" << (form == 0 ? "notice" : form == 1 ? "dialog" : "box");
  if (m.contains("caption") && !m["caption"].is_null()) std::cout << " \"" << m["caption"].get<std::string>() << '"';
  std::cout << "] " << m.value("text", "") << "  -> button " << m.value("button", 0) << '\n';
}

void print_record(const nlohmann::json &r) {
  const std::string name = r.at("export").get<std::string>();
  const Export *e = find_export(name);
  std::string args;
  const auto &values = r.at("args");
  for (std::size_t i = 0; i < values.size(); ++i) {
    args += i ? ", " : "";
    if (e && i < e->params.size()) args += e->params[i].name + '=';
    args += value_text(values[i]);
  }
  std::cout << r.value("time", "") << "  " << name << '(' << args << ")\n";
  for (const auto &step : r.value("steps", nlohmann::json::array())) print_step(step);
  std::cout << "  = " << value_text(r.value("result", nlohmann::json()));
  const nlohmann::json outs = r.value("out", nlohmann::json::object());
  for (const auto &[index, value] : outs.items()) {
    const std::size_t i = std::stoul(index);
    std::cout << "  " << (e && i < e->params.size() ? e->params[i].name : "#" + index) << '=' << value_text(value);
  }
  std::cout << "   (" << r.value("ms", 0.0) << " ms)\n\n";
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
  std::ifstream in(file, std::ios::binary);
  if (!in) throw UsageError("cannot read '" + file + "'");
  kreplay::LineReader lines(in);
  nlohmann::json all = nlohmann::json::array();
  for (std::string text; lines.next(text);) {
    kreplay::Line line;
    try {
      if (lines.cut()) throw kreplay::TraceError(lines.number(), "longer than any trace line (1 MiB)");
      line = kreplay::parse_line(text, lines.number());
    } catch (const kreplay::TraceError &e) {
      std::cerr << "kalpo: warning: " << file << ": " << e.what() << "; the line is skipped\n";
      continue;
    }
    if (line.kind == kreplay::LineKind::record && g.json) {
      all.push_back(line.json);
    } else if (line.kind == kreplay::LineKind::record) {
      try {
        print_record(line.json);
      } catch (const std::exception &) {
        std::cerr << "\nkalpo: warning: " << file << ": line " << lines.number() << " is not a whole record; skipped\n";
      }
    } else if (line.kind == kreplay::LineKind::header && !g.json) {
      print_header(line.json);
    }
  }
  if (g.json) std::cout << all.dump(2) << '\n';
  return 0;
}

}  // namespace kt
