// Running calls: each printed with its arguments, the operator's messages,
// the result and the out values, and checked against its expectation.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "operator.h"
#include "script.h"

namespace kt {

struct Step {
  const ScriptLine *line = nullptr;
  Returned back;
  std::vector<Message> messages;
  std::vector<std::string> failures;  // expectations that did not hold
};

class Runner {
 public:
  explicit Runner(bool json) : json_(json) {}

  Step execute(const ScriptLine &line);
  // All lines; true when every expectation held.
  bool run(const std::vector<ScriptLine> &lines);

  const nlohmann::json &steps() const { return steps_; }

 private:
  bool json_;
  nlohmann::json steps_ = nlohmann::json::array();
};

// One export call from arguments already parsed, checked against the
// export's kinds first (UsageError): the step as `kalpo call --json` gives
// it.  Printed as it runs unless `quiet`.
nlohmann::json call_export(const Export &e, std::vector<Value> args, bool quiet);

// For each model argument KALPO does not know: the text given and a warning
// naming the closest model.
// The most characters of an unknown model a warning shows, escaped.
inline constexpr std::size_t kShownModel = 40;
std::vector<std::pair<std::string, std::string>> model_warnings(const Export &e, const std::vector<Value> &args);

std::string outs_text(const Returned &back);
nlohmann::json value_json(const Value &v);

}  // namespace kt
