// Heap allocations made through operator new, counted for the whole program.
#pragma once

#include <cstdint>

namespace kalpo::bench {

uint64_t allocations();

}  // namespace kalpo::bench
