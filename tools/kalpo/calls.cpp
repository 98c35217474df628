// call and run: export calls from the command line, a script or a trace.
#include <iostream>

#include "commands.h"
#include "output.h"
#include "replay/field_file.h"
#include "runner.h"

namespace kt {

std::string read_file(const std::string &path) {
  // Larger than any script or trace the tool reads; an endless file stops here.
  try {
    return kreplay::read_field_file(path, 64 << 20);
  } catch (const kreplay::FieldFileError &e) {
    throw UsageError(e.what());
  }
}

int cmd_call(const Global &g, const std::string &name, const std::vector<std::string> &words) {
  const Export &e = export_named(name);
  if (words.size() > e.params.size())
    throw UsageError(e.name + " takes " + std::to_string(e.params.size()) + " arguments, " +
                     std::to_string(words.size()) + " given");
  std::vector<Value> args;
  for (std::size_t i = 0; i < words.size(); ++i) {
    args.push_back(word_value(words[i], e.params[i].kind));
    if (args.back().type == Value::Type::text) check_text(e, i, args.back().text);
  }
  const nlohmann::json step = call_export(e, std::move(args), g.json);
  if (g.json) print_json(step);
  return step["result"] == 0 && e.result == ResultKind::flag ? kExitFailed : kExitDone;
}

int cmd_list(const Global &g) {
  nlohmann::json out = nlohmann::json::array();
  for (const Export &e : exports()) {
    nlohmann::json params = nlohmann::json::array();
    std::string text = e.name + "(";
    for (std::size_t i = 0; i < e.params.size(); ++i) {
      params.push_back({{"name", e.params[i].name}, {"kind", kind_name(e.params[i].kind)}});
      text += (i ? ", " : "") + e.params[i].name + ": " + kind_name(e.params[i].kind);
    }
    const char *result = result_name(e.result);
    out.push_back({{"name", e.name}, {"params", params}, {"result", result}, {"callable", e.callable()}});
    if (!g.json) std::cout << text << ") -> " << result << (e.callable() ? "" : "   (not called by the tool)") << '\n';
  }
  if (g.json) print_json(out);
  return 0;
}

int cmd_run(const Global &g, const std::string &file, bool quiet) {
  const std::string contents = read_file(file);
  const bool trace = looks_like_trace(contents);
  std::vector<ScriptLine> lines;
  try {
    lines = trace ? parse_trace(contents) : parse_script(contents);
  } catch (const UsageError &e) {
    throw UsageError(file + ": " + e.what());
  }
  if (lines.empty()) throw UsageError(file + ": no export call to run (empty, or only comments or headers)");
  Runner runner(g.json || quiet);
  const bool ok = runner.run(lines);
  if (g.json) {
    print_json({{"file", as_utf8(file)}, {"ok", ok}, {"steps", runner.steps()}});
  } else {
    std::size_t failed = 0;
    for (const auto &step : runner.steps()) failed += !step["failures"].empty();
    std::cout << file << ": " << lines.size() << " call(s), "
              << (ok ? "every expectation held" : std::to_string(failed) + " failed") << '\n';
  }
  return ok ? kExitDone : kExitFailed;
}

}  // namespace kt
