// Defining a maker library's exported functions: each definition is checked
// against the maker's declaration in seam/maker_list.h.
#pragma once

#define KALPO_MAKER_DEFINE
#include <cstdint>

#include "seam/maker_import.h"

#define BEMA_EXPORT extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL
