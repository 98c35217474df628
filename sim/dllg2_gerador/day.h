// The day text the generator is given.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gerador {

// The day in the workstation's short date format (see short_date.h), or as
// "aaaa-mm-dd"; a real calendar day.  "aaaa-mm-dd", or nullopt.
std::optional<std::string> read_day(std::string_view text);

// The same against a given pattern.
std::optional<std::string> read_day(std::string_view text, std::string_view pattern);

}  // namespace gerador
