// trace: the call trace as readable text, one export call per block with
// its maker calls (status bytes decoded), the operator's messages and the
// result; with --json the records with their out values keyed by name.
#include <charconv>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "exports.h"
#include "operator.h"
#include "output.h"
#include "status_bytes.h"

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

}  // namespace

int cmd_trace(const Global &g, const std::string &file) {
  std::istringstream in(read_file(file));
  nlohmann::json all = nlohmann::json::array();
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    nlohmann::json record;
    const Export *e = nullptr;
    try {
      record = nlohmann::json::parse(line);
      e = find_export(record.at("export").get<std::string>());
    } catch (const std::exception &) {
      throw UsageError(file + ": line " + std::to_string(number) + " is not a trace record");
    }
    if (g.json)
      all.push_back(named_outs(std::move(record), e));
    else
      print_record(record, e);
  }
  if (g.json) print_json(all);
  return kExitDone;
}

}  // namespace kt
