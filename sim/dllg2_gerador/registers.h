// The fiscal file of one day: its registers, one per line (see sim/README.md
// for the layout).
#pragma once

#include <string>
#include <string_view>

#include "core/printer.h"

namespace gerador {

// `day` is "aaaa-mm-dd", read from the printer's state and detail memory.
// A day without movement gives the identification registers (E01, E02)
// alone.
std::string day_file(const ksim::Session &session, std::string_view model, const std::string &day);

}  // namespace gerador
