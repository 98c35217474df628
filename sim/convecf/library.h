// CONVECF: the printer of the SWEDA7000 model.
#pragma once

#include "bematech/conventions.h"
#include "bematech/export.h"
#include "bematech/fields.h"
#include "bematech/operations.h"

namespace convecf {

inline constexpr std::string_view kLibrary = "convecf";

inline bema::Call at(std::string_view function) { return {kLibrary, function}; }

}  // namespace convecf
