// The profile (INI) reader shared by the POSIX layer and the tests, and the
// integer reading on top of any platform's profile strings.
#include "base/ini.h"

#include "base/ascii.h"
#include "platform/platform.h"

namespace kalpo::platform {
namespace {

std::string_view trim(std::string_view s) {
  const char *blanks = " \t\r\n";
  auto b = s.find_first_not_of(blanks);
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(blanks);
  return s.substr(b, e - b + 1);
}
}  // namespace

int32_t profile_int(std::string_view file, std::string_view section, std::string_view key, int32_t fallback) {
  // An absent value reads back as "", which is not a number.
  const std::string value = get().profile_string(file, section, key, "");
  std::string_view text = trim(value);
  // One leading plus sign is dropped; what follows may still carry a minus.
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') return fallback;
  return ascii::parse_integer<int32_t>(text).value_or(fallback);
}

bool ini_lookup(std::string_view contents, std::string_view section, std::string_view key, std::string &value) {
  bool in_section = false;
  std::size_t pos = 0;
  while (pos <= contents.size()) {
    std::size_t eol = contents.find_first_of("\r\n", pos);
    if (eol == std::string_view::npos) eol = contents.size();
    std::string_view line = trim(contents.substr(pos, eol - pos));
    pos = eol + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      auto close = line.find(']');
      in_section = close != std::string_view::npos && ascii::iequals(trim(line.substr(1, close - 1)), section);
      continue;
    }
    if (!in_section) continue;
    auto eq = line.find('=');
    if (eq == std::string_view::npos || !ascii::iequals(trim(line.substr(0, eq)), key)) continue;
    std::string_view v = trim(line.substr(eq + 1));
    // The profile functions drop one pair of surrounding quotes.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
      v = v.substr(1, v.size() - 2);
    value.assign(v);
    return true;
  }
  return false;
}

}  // namespace kalpo::platform
