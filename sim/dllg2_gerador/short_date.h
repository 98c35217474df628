// The workstation's short date format, as a pattern of fields: 'd' day,
// 'm' month, 'y' two-digit year, 'Y' four-digit year; any other character
// stands for itself.  "d/m/Y" under Brazilian settings.
#pragma once

#include <string>

namespace gerador {

// On Windows the user's regional settings; elsewhere the locale that the
// environment names (LC_ALL, LC_TIME, LANG).  "d/m/Y" when none can be read.
std::string short_date_pattern();

}  // namespace gerador
