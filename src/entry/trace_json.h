// The few JSON forms the call trace writes, by hand: the library depends on
// the standard library only.
#pragma once

#include <string>
#include <string_view>

namespace kalpo::entry::trace::json {

// A UTF-8 text as a JSON string.
std::string string(std::string_view utf8);
// A Windows-1252 text as a JSON string.
std::string text(std::string_view cp1252);
// The shortest text that reads back as the same double (null when not finite).
std::string number(double value);

}  // namespace kalpo::entry::trace::json
