// Texts between the terminal (UTF-8) and the library (Windows-1252).
#pragma once

#include <string>
#include <string_view>

namespace kt {

std::string to_utf8(std::string_view cp1252);
// Characters without a Windows-1252 byte become '?'.
std::string to_cp1252(std::string_view utf8);

}  // namespace kt
