// The fiscal day: X reading, Z reduction and the daylight-saving switch.
#include "dllg2/commands.h"

namespace dllg2 {
namespace {

using ksim::Outcome;

int x_reading(Context &c) { return code_for(c.session, c.session.x_reading()); }

int z_reduction(Context &c) { return code_for(c.session, c.session.z_reduction()); }

int daylight_saving(Context &c) {
  ksim::Session &s = c.session;
  const bool enter = c.args.get("EntradaHV") == "TRUE";
  if (s.state().daylight_saving == enter) return code::clock_already_so;
  // The clock moves only between fiscal days: after the Z reduction.
  if (!s.state().day.empty()) return code::daylight_after_z;
  return code_for(s, s.set_daylight_saving(enter),
                  {{Outcome::coupon_open, code::bad_clock_state}, {Outcome::wrong_document, code::bad_clock_state}});
}

const std::vector<Command> day_table = {
    {"EmiteLeituraX", {}, ksim::Call::command, true, x_reading},
    {"EmiteReducaoZ", {}, ksim::Call::command, true, z_reduction},
    {"AcertaHorarioVerao",
     {{"EntradaHV", type::choice, Form::boolean, true}},
     ksim::Call::command,
     false,
     daylight_saving},
};

}  // namespace

std::span<const Command> day_commands() { return day_table; }

}  // namespace dllg2
