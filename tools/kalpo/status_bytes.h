// What the status bytes of the Bematech and Sweda status calls stand for:
// the messages KALPO shows for them, for the trace view.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace kt {

// For a maker call that hands out ACK, ST1 and ST2, what they stand for
// ("ACK; ST1 2: Cupom aberto!; ST2 1: not executed"); none for another call.
std::optional<std::string> status_meaning(const std::string &function, const nlohmann::json &args);

}  // namespace kt
