// The day text the generator is given.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gerador {

// "dd/mm/aaaa" (any one non-digit character between the parts) or
// "aaaa-mm-dd", a real calendar day: "aaaa-mm-dd"; nullopt otherwise.
std::optional<std::string> read_day(std::string_view text);

}  // namespace gerador
