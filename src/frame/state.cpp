#include "frame/state.h"

#include <optional>

namespace kalpo::frame {

namespace {
std::optional<ModuleState> &holder() {
  static std::optional<ModuleState> s{std::in_place};
  return s;
}
}  // namespace

ModuleState &state() { return *holder(); }

void reset_state() { holder().emplace(); }

void begin_export_call() {
  ModuleState &s = state();
  s.previous_out_texts.swap(s.out_texts);
  s.out_texts.clear();
}

}  // namespace kalpo::frame
