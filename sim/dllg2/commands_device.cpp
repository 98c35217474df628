// The device: cash drawer, paper advance and paper cut.
#include "dllg2/commands.h"
#include "dllg2/values.h"

namespace dllg2 {
namespace {

constexpr std::int64_t max_advance = 99 * dots_per_line;

int open_drawer(Context &c) { return code_for(c.session, c.session.open_drawer()); }

int advance_paper(Context &c) {
  const auto dots = whole(c.args.get("Avanco"));
  if (!dots || *dots <= 0 || *dots > max_advance) return code::bad_value;
  return code_for(c.session, c.session.feed(static_cast<int>((*dots + dots_per_line - 1) / dots_per_line)));
}

// "TipoCorte": 0 whole cut, 1 partial; the virtual cutter does both alike.
int cut_paper(Context &c) {
  const std::string kind = c.args.get("TipoCorte", "0");
  if (kind != "0" && kind != "1") return code::bad_value;
  return code_for(c.session, c.session.cut());
}

const std::vector<Command> device_table = {
    {"AbreGaveta", {}, ksim::Call::command, false, open_drawer},
    {"AvancaPapel", {{"Avanco", type::choice, Form::whole, true}}, ksim::Call::command, false, advance_paper},
    {"CortaPapel", {{"TipoCorte", type::integer, Form::whole}}, ksim::Call::command, false, cut_paper},
};

}  // namespace

std::span<const Command> device_commands() { return device_table; }

}  // namespace dllg2
