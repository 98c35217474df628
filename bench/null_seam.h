// A maker seam that answers every call at once with the answer each maker's
// analysis reads as success, and records nothing: what an export costs on top
// of it is KALPO's own work.
#pragma once

#include <cstdint>

#include "seam/seam.h"

namespace kalpo::bench {

// The table; install it with seam::install.
const seam::Api &null_api();

// Maker calls answered since the start (one increment per call).
std::uint64_t null_calls();

}  // namespace kalpo::bench
