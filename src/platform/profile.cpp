// The profile (INI) reader shared by the POSIX layer and the tests, and the
// integer reading on top of any platform's profile strings.
#include "platform/profile.h"

#include "frame/ascii.h"
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

// One line of INI text that means something: a section line (a broken one
// has no closing bracket) or a key, its value trimmed and rid of one pair of
// surrounding quotes as the profile functions drop them.
struct IniLine {
  enum Kind { Section, BrokenSection, Key } kind = Key;
  std::string_view name, value;
};

// Reads from pos the next line that means something and moves pos past it;
// false at the end of the text.
bool next_line(std::string_view contents, std::size_t &pos, IniLine &out) {
  while (pos <= contents.size()) {
    std::size_t eol = contents.find_first_of("\r\n", pos);
    if (eol == std::string_view::npos) eol = contents.size();
    std::string_view line = trim(contents.substr(pos, eol - pos));
    pos = eol + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      auto close = line.find(']');
      out.kind = close == std::string_view::npos ? IniLine::BrokenSection : IniLine::Section;
      if (close != std::string_view::npos) out.name = trim(line.substr(1, close - 1));
      return true;
    }
    auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view v = trim(line.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
      v = v.substr(1, v.size() - 2);
    out = {IniLine::Key, trim(line.substr(0, eq)), v};
    return true;
  }
  return false;
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
  for (IniLine line; next_line(contents, pos, line);) {
    if (line.kind != IniLine::Key) {
      in_section = line.kind == IniLine::Section && ascii::iequals(line.name, section);
    } else if (in_section && ascii::iequals(line.name, key)) {
      value.assign(line.value);
      return true;
    }
  }
  return false;
}

void IniIndex::reset(std::string_view contents) {
  contents_ = contents;
  read_to_ = 0;
  in_section_ = false;
  entries_.clear();
}

bool IniIndex::lookup(std::string_view section, std::string_view key, std::string &value) {
  auto matches = [&](const Entry &e) { return ascii::iequals(e.key, key) && ascii::iequals(e.section, section); };
  for (const Entry &e : entries_) {
    if (matches(e)) {
      value.assign(e.value);
      return true;
    }
  }
  for (IniLine line; next_line(contents_, read_to_, line);) {
    if (line.kind != IniLine::Key) {
      in_section_ = line.kind == IniLine::Section;
      section_ = line.name;
    } else if (in_section_) {
      entries_.push_back({section_, line.name, line.value});
      if (matches(entries_.back())) {
        value.assign(line.value);
        return true;
      }
    }
  }
  return false;
}

}  // namespace kalpo::platform
