// Reading a page of the virtual printer's paper: its lines and the amounts on
// them.  Shared by the whole-day tests on Linux and the Windows day check.
#pragma once

#include <string>
#include <string_view>

#include "core/printer.h"

namespace kalpo::day {

// Whether a page has a line containing this text.
inline bool has_line(const ksim::Page &page, std::string_view text) {
  for (const std::string &line : page.lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

// The money on the right of the line that starts with this label, in cents;
// -1 when there is none.
inline ksim::Cents amount_on(const ksim::Page &page, std::string_view label) {
  for (const std::string &line : page.lines) {
    if (line.rfind(label, 0) != 0) continue;
    std::size_t start = line.find_last_of(' ') + 1;
    std::string digits;
    for (char c : line.substr(start))
      if (c >= '0' && c <= '9') digits += c;
    if (digits.empty()) return -1;
    ksim::Cents cents = std::stoll(digits);
    return line[start] == '-' ? -cents : cents;
  }
  return -1;
}

}  // namespace kalpo::day
