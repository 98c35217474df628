// The virtual printer's paper, as printed.
#pragma once

#include <vector>

#include <nlohmann/json.hpp>

#include "core/printer.h"

namespace kt {

void print_pages(const std::vector<ksim::Page> &pages);
nlohmann::json pages_json(const std::vector<ksim::Page> &pages);

}  // namespace kt
