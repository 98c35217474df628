// trace: the call trace as readable text, one export call per block with
// its maker calls, the operator's messages and the result.
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "exports.h"

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

}  // namespace

int cmd_trace(const Global &g, const std::string &file) {
  std::istringstream in(read_file(file));
  nlohmann::json all = nlohmann::json::array();
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    nlohmann::json record;
    try {
      record = nlohmann::json::parse(line);
      record.at("export");
    } catch (const std::exception &) {
      throw UsageError(file + ": line " + std::to_string(number) + " is not a trace record");
    }
    if (g.json)
      all.push_back(record);
    else
      print_record(record);
  }
  if (g.json) std::cout << all.dump(2) << '\n';
  return 0;
}

}  // namespace kt
