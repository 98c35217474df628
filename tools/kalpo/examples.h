// The session scripts of examples/, built into the tool (so that the demo
// needs no file beside it): a whole fiscal day for each printer model, in
// <model in lower case>.kalpo.
#pragma once

#include <string_view>
#include <vector>

namespace kt {

struct Example {
  std::string_view file;  // "bematechmp20.kalpo"
  std::string_view text;
};

const std::vector<Example> &examples();

}  // namespace kt
