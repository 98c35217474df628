#include "runner.h"

#include <iostream>
#include <optional>
#include <set>

#include "models.h"
#include "output.h"

namespace kt {
namespace {

bool same(const Value &expected, const Value &got) {
  if (expected.type == Value::Type::number && got.type == Value::Type::number) return expected.number == got.number;
  return expected == got;
}

std::vector<std::string> check(const ScriptLine &line, const Returned &back) {
  std::vector<std::string> failures;
  if (!line.expect) return failures;
  const std::string where = "line " + std::to_string(line.line) + ": " + line.target->name;
  if (line.expect->result && back.result != line.expect->result)
    failures.push_back(where + " returned " + (back.result ? std::to_string(*back.result) : "nothing") + ", expected " +
                       std::to_string(*line.expect->result));
  const auto &outs = line.expect->outs;
  if (outs.size() > back.outs.size())
    failures.push_back(where + " hands out " + std::to_string(back.outs.size()) + " values, " +
                       std::to_string(outs.size()) + " expected");
  for (std::size_t i = 0; i < outs.size() && i < back.outs.size(); ++i) {
    if (outs[i].type == Value::Type::absent || same(outs[i], back.outs[i].second)) continue;
    failures.push_back(where + ": " + back.outs[i].first + " is " + show(back.outs[i].second) + ", expected " +
                       show(outs[i]));
  }
  return failures;
}

// An identifier KALPO does not know is answered as KALPO answers any unknown
// one; the call is made, after a word on which model was meant (once a text).
// The texts remembered are cut and few: a service's clients may send any.
void check_model(const Export &e, const std::vector<Value> &args) {
  static std::set<std::string> warned;
  for (const auto &[given, warning] : model_warnings(e, args)) {
    if (warned.size() >= 256) warned.clear();
    if (warned.insert(given.substr(0, kShownModel + 1)).second) warn(warning);
  }
}

}  // namespace

std::vector<std::pair<std::string, std::string>> model_warnings(const Export &e, const std::vector<Value> &args) {
  std::vector<std::pair<std::string, std::string>> out;
  for (std::size_t i = 0; i < e.params.size() && i < args.size(); ++i) {
    if (e.params[i].name != "modelo" || args[i].type != Value::Type::text) continue;
    const std::optional<std::string> closest = closest_model(args[i].text);
    if (closest)
      out.emplace_back(args[i].text, "'" + printable(args[i].text, kShownModel) +
                                         "' is not a model KALPO knows (the closest is " + *closest +
                                         "); the call is made anyway, and KALPO answers it as any unknown model");
  }
  return out;
}

nlohmann::json value_json(const Value &v) {
  if (v.type == Value::Type::text) return v.text;
  if (v.type == Value::Type::number) return v.number;
  return nullptr;
}

std::string outs_text(const Returned &back) {
  std::string out;
  for (const auto &[name, value] : back.outs) out += "  " + name + '=' + show(value);
  return out;
}

Step Runner::execute(const ScriptLine &line) {
  Step step;
  step.line = &line;
  if (!json_) std::cout << "> " << script_text(*line.target, line.args) << '\n' << std::flush;
  check_model(*line.target, line.args);
  queue_answers(line.answers);
  step.back = line.target->invoke(line.args);
  step.messages = take_messages();
  step.failures = check(line, step.back);
  if (!json_) {
    std::cout << "  = " << (step.back.result ? std::to_string(*step.back.result) : "(no result)")
              << outs_text(step.back) << '\n';
  }
  // With --json the failures are in the step.
  if (!json_)
    for (const std::string &f : step.failures) std::cerr << "FAILED " << f << '\n';

  // A call from the command line has no line and no expectation.
  nlohmann::json j = {{"export", line.target->name}};
  if (line.line > 0) j["line"] = line.line;
  j["args"] = nlohmann::json::array();
  for (const Value &v : line.args) j["args"].push_back(value_json(v));
  j["result"] = step.back.result ? nlohmann::json(*step.back.result) : nlohmann::json();
  j["out"] = nlohmann::json::object();
  for (const auto &[name, value] : step.back.outs) j["out"][name] = value_json(value);
  j["messages"] = nlohmann::json::array();
  for (const Message &m : step.messages) j["messages"].push_back(message_json(m));
  if (line.line > 0) j["failures"] = step.failures;
  steps_.push_back(std::move(j));
  return step;
}

nlohmann::json call_export(const Export &e, std::vector<Value> args, bool quiet) {
  ScriptLine line;
  line.target = &e;
  line.args = check_args(e, std::move(args));
  Runner runner(quiet);
  runner.execute(line);
  return runner.steps().front();
}

bool Runner::run(const std::vector<ScriptLine> &lines) {
  bool ok = true;
  for (const ScriptLine &line : lines) ok = execute(line).failures.empty() && ok;
  return ok;
}

}  // namespace kt
