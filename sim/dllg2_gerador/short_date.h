// The workstation's short date format, as a pattern of the maker libraries'
// date reader (common/readers.h): "d" day and "m" month in one or two
// digits, "yy" or "yyyy" the year; any other character stands for itself.
// "d/m/yyyy" under Brazilian settings.
#pragma once

#include <string>

namespace gerador {

// On Windows the user's regional settings; elsewhere the locale that the
// environment names (LC_ALL, LC_TIME, LANG).  "d/m/yyyy" when none can be read.
std::string short_date_pattern();

}  // namespace gerador
