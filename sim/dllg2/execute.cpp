// One command: its text parsed, its parameters checked, then run on the
// fiscal core under the printer's lock, with the faults this driver applies
// (no answer, slow answer, unreadable answer).
#include <algorithm>
#include <chrono>
#include <thread>

#include "dllg2/driver.h"
#include "dllg2/params.h"

namespace dllg2 {
namespace {

struct Answer {
  std::int32_t result = answered;
  int code = code::none;
  Returns returns;
};

// "CortaPapel;TipoCorte=1": the name, then name=value pieces after
// semicolons (they carry no type code).
bool split_command(std::string_view text, std::string_view &name, std::vector<Param> &params) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0;;) {
    const auto end = text.find(';', start);
    pieces.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  name = pieces.front();
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    const auto equals = pieces[i].find('=');
    if (equals == 0 || equals == std::string_view::npos) return false;
    params.push_back({std::string(pieces[i].substr(0, equals)), std::string(pieces[i].substr(equals + 1)), 0, true});
  }
  return true;
}

std::string describe(std::string_view text, const std::vector<Param> &params) {
  std::string line(text);
  for (const Param &p : params) line += "; " + p.name + ":" + std::to_string(p.type) + "=\"" + p.value + "\"";
  return line;
}

// A slow answer is waited for up to the time-out; beyond it the command is
// given up before the printer takes it.
bool answer_in_time(const ksim::Session &session, const Instance &instance) {
  const int late_ms = session.faults().slow_ms;
  if (late_ms <= 0) return true;
  const int limit_ms = instance.timeout_s * 1000;
  std::this_thread::sleep_for(std::chrono::milliseconds(std::min(late_ms, limit_ms)));
  return late_ms <= limit_ms;
}

Answer run(const Command &command, const Args &args, const Instance &instance) {
  ksim::Session session = printer().begin(command.name, command.call);
  if (session.silent()) return {not_answered, code::no_dtr, {}};
  if (!answer_in_time(session, instance)) return {not_answered, code::timed_out, {}};
  if (command.starts_document && session.state().open == ksim::Document::report) {
    // KALPO never closes a management report on this driver: the next
    // document closes it.
    if (auto closed = session.close_report(); closed != ksim::Outcome::ok)
      return {answered, code_for(session, closed), {}};
  }
  Answer answer;
  Context context{session, args, answer.returns};
  answer.code = command.handler(context);
  if (answer.code != code::none) answer.returns.clear();
  if (session.faults().unreadable) spoil_numbers(answer.returns);
  return answer;
}

Answer answer_for(std::string_view text, std::vector<Param> params, bool broken_list, const Instance &instance) {
  std::string_view name;
  if (!split_command(text, name, params)) return {answered, code::parameter_syntax, {}};
  const Command *command = find_command(name);
  if (!command) return {answered, code::unknown_command, {}};
  Args args;
  if (int error = check_params(*command, params, broken_list, args)) return {answered, error, {}};
  return run(*command, args, instance);
}

}  // namespace

std::int32_t execute(const Drivers &drivers, std::int32_t handle, Instance &instance, std::string_view command_text) {
  const std::string asked = describe(command_text, instance.params);
  Answer answer = answer_for(command_text, std::move(instance.params), instance.broken_list, instance);
  instance.params.clear();
  instance.broken_list = false;
  instance.error = answer.code;
  instance.returns = std::move(answer.returns);
  log(drivers, "[h" + std::to_string(handle) + "] " + asked + " => " + std::to_string(answer.result) + " erro " +
                   std::to_string(answer.code) + " " + returns_text(instance.returns, {}));
  return answer.result;
}

}  // namespace dllg2
