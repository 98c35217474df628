// Texts between the trace (UTF-8) and the calls (Windows-1252): every byte
// has its character (the five bytes Windows-1252 leaves undefined stand for
// the C1 controls of the same value), so both ways are exact.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kreplay {

std::string utf8_of(std::string_view cp1252);
// Nothing when a character has no Windows-1252 byte or the UTF-8 is broken.
std::optional<std::string> cp1252_of(std::string_view utf8);

}  // namespace kreplay
