// Serial port names as the maker libraries read them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

// The name in upper case ("com1" -> "COM1").
std::string port_name(std::string_view port);

// The number of a serial port named "COMn" in any letter case, n written
// with 1 to 9 digits.
std::optional<int> com_port(std::string_view name);

// The ports of the command driver and of its file generator: "COM1" to
// "COM256" and "USB", in any letter case.
bool known_port(std::string_view port);

}  // namespace common
