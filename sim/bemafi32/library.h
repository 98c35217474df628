// BEMAFI32: the printer of the Bematech models (BEMATECHMP20, BEMATECHMFD).
#pragma once

#include "bematech/conventions.h"
#include "bematech/export.h"
#include "bematech/fields.h"
#include "bematech/operations.h"

namespace bemafi32 {

inline constexpr std::string_view kLibrary = "bemafi32";

inline bema::Call at(std::string_view function) { return {kLibrary, function}; }

}  // namespace bemafi32
