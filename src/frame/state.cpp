#include "frame/state.h"

namespace kalpo {

ModuleState &state() {
  static ModuleState s;
  return s;
}

void reset_state() { state() = ModuleState{}; }

void begin_export_call() {
  ModuleState &s = state();
  s.previous_out_texts.swap(s.out_texts);
  s.out_texts.clear();
}

}  // namespace kalpo
