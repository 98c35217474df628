// Checking a command's parameter list against its schema.
#pragma once

#include <vector>

#include "dllg2/commands.h"
#include "dllg2/driver.h"

namespace dllg2 {

// Fills `args` from the list; answers 0, or the code of the first fault:
// an unknown name (11000), a wrong type code or a broken list (11001), a
// value not in its form (11002), control characters (11003), a repeated
// parameter (11004), a required one missing (its command's code, as a rule
// 11005).
int check_params(const Command &command, const std::vector<Param> &list, bool broken_list, Args &args);

}  // namespace dllg2
