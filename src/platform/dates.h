// Date helpers shared by the platforms and the operations.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kalpo::platform {

// Formats a date with a Windows date picture.
std::string format_date(const DateTime &when, std::string_view picture);

// The date of a date-time value counted in days from 30 December 1899.
DateTime from_day_count(double days);

}  // namespace kalpo::platform
