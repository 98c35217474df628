#include "entry/trace_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/cp1252.h"

namespace kalpo::entry::trace::json {

std::string string(std::string_view utf8) {
  std::string out = "\"";
  for (char ch : utf8) {
    const auto byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (ch == '\n') {
      out += "\\n";
    } else if (ch == '\r') {
      out += "\\r";
    } else if (ch == '\t') {
      out += "\\t";
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += ch;
    }
  }
  return out + '"';
}

std::string text(std::string_view cp1252) { return string(kalpo::base::cp1252::to_utf8(cp1252)); }

std::string number(double value) {
  if (!std::isfinite(value)) return "null";
  char digits[32];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  return error == std::errc() ? std::string(digits, end) : "null";
}

}  // namespace kalpo::entry::trace::json
