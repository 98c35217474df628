// Profile (INI) reading shared by the platforms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kalpo::platform {

// Profile reading as an integer: the default when the value is missing or is
// not a decimal integer.
int32_t profile_int(std::string_view file, std::string_view section, std::string_view key, int32_t fallback);

// Parses INI text with the profile semantics above (shared by the POSIX
// reader and the tests).
bool ini_lookup(std::string_view contents, std::string_view section, std::string_view key, std::string &value);

}  // namespace kalpo::platform
