// A replayed export call against its recorded one: the first difference in
// its steps (maker calls, readings of the workstation, operator messages), its
// result or its out values, shown side by side with the differing part marked.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "exports.h"

namespace kt {

struct Divergence {
  int line = 0;          // the export call's line in the recorded trace
  std::string call;      // the export call as recorded
  std::string where;     // "step 2 of 3", "the result", "out value numero"
  std::string recorded;  // side by side
  std::string made;
  std::size_t mark_at = 0;  // the differing part of `made`
  std::size_t mark_length = 0;
  std::string mark_note;  // "argument 4 (valor_unitario)"
};

// The first difference between the recorded and the replayed record.
std::optional<Divergence> compare_records(const nlohmann::json &recorded, const nlohmann::json &replayed, int line,
                                          const Export &e);

std::string divergence_text(const Divergence &d);
nlohmann::json divergence_json(const Divergence &d);

}  // namespace kt
