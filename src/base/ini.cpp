#include "base/ini.h"

#include <algorithm>

#include "base/ascii.h"

namespace kalpo::base::ini {
namespace {

using ascii::trim_blanks;

// One line of the file as the reader sees it.
struct Line {
  std::size_t begin = 0, end = 0;  // the line without its break
  std::size_t next = 0;            // where the next line starts
  bool section = false;            // a section header, named name
  bool entry = false;              // key=value: name is the key
  std::string_view name, value;
};

Line read_line(std::string_view contents, std::size_t pos) {
  Line line;
  line.begin = pos;
  line.end = std::min(contents.find_first_of("\r\n", pos), contents.size());
  line.next = line.end + 1;
  if (line.end + 1 < contents.size() && contents[line.end] == '\r' && contents[line.end + 1] == '\n') ++line.next;
  const std::string_view text = trim_blanks(contents.substr(pos, line.end - pos));
  if (!text.empty() && text.front() == '[') {
    const auto close = text.find(']');
    line.section = true;
    // A header without "]" closes the section before it and opens none.
    if (close != std::string_view::npos) line.name = trim_blanks(text.substr(1, close - 1));
    return line;
  }
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return line;
  line.entry = true;
  line.name = trim_blanks(text.substr(0, eq));
  line.value = trim_blanks(text.substr(eq + 1));
  return line;
}

// Calls f with each line until f answers false.
template <typename F>
void for_each_line(std::string_view contents, F &&f) {
  for (std::size_t pos = 0; pos < contents.size();) {
    const Line line = read_line(contents, pos);
    if (!f(line)) return;
    pos = line.next;
  }
}

bool in(const Line &header, std::string_view section) {
  return !header.name.empty() && ascii::iequals(header.name, section);
}

// The value as the profile functions give it: one pair of surrounding quotes
// dropped.
std::string_view unquoted(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

bool lookup(std::string_view contents, std::string_view section, std::string_view key, std::string &value) {
  bool inside = false, found = false;
  for_each_line(contents, [&](const Line &line) {
    if (line.section) {
      inside = in(line, section);
    } else if (inside && line.entry && ascii::iequals(line.name, key)) {
      value.assign(unquoted(line.value));
      found = true;
    }
    return !found;
  });
  return found;
}

void Index::reset(std::string_view contents) {
  contents_ = contents;
  read_to_ = 0;
  section_ = {};
  entries_.clear();
}

bool Index::lookup(std::string_view section, std::string_view key, std::string &value) {
  auto matches = [&](const Entry &e) { return ascii::iequals(e.key, key) && ascii::iequals(e.section, section); };
  for (const Entry &e : entries_) {
    if (matches(e)) {
      value.assign(e.value);
      return true;
    }
  }
  while (read_to_ < contents_.size()) {
    const Line line = read_line(contents_, read_to_);
    read_to_ = line.next;
    if (line.section) {
      section_ = line.name;
    } else if (!section_.empty() && line.entry) {
      entries_.push_back({section_, line.name, unquoted(line.value)});
      if (matches(entries_.back())) {
        value.assign(entries_.back().value);
        return true;
      }
    }
  }
  return false;
}

std::optional<std::string> set(std::string_view contents, std::string_view section, std::string_view key,
                               std::string_view value) {
  const auto one_line = [](std::string_view text) { return text.find_first_of("\r\n") == std::string_view::npos; };
  const auto readable_name = [&](std::string_view name) {
    return !name.empty() && trim_blanks(name) == name && one_line(name);
  };
  if (!readable_name(section) || !readable_name(key) || !one_line(value) ||
      section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos || key.front() == '[')
    return std::nullopt;
  std::size_t replace_begin = std::string_view::npos, replace_end = 0;  // the key's line
  std::size_t after_section = std::string_view::npos;                   // after the section's last entry
  bool inside = false;
  for_each_line(contents, [&](const Line &line) {
    if (line.section) {
      inside = in(line, section);
      if (inside && after_section == std::string_view::npos) after_section = line.next;
    } else if (inside && line.entry) {
      if (ascii::iequals(line.name, key)) {
        replace_begin = line.begin;
        replace_end = line.end;
        return false;
      }
      after_section = line.next;
    }
    return true;
  });
  const std::size_t first_break = contents.find_first_of("\r\n");
  std::string_view eol = "\r\n";
  if (first_break != std::string_view::npos && contents.substr(first_break, 2) != "\r\n")
    eol = contents.substr(first_break, 1);
  const std::string entry = std::string(key) + "=" + std::string(value);
  std::string out(contents);
  if (replace_begin != std::string_view::npos) return out.replace(replace_begin, replace_end - replace_begin, entry);
  // A last line without its break gets one before anything is added after it.
  if (!out.empty() && out.back() != '\n' && out.back() != '\r') {
    if (after_section != std::string_view::npos && after_section > out.size()) after_section = out.size() + eol.size();
    out += eol;
  }
  if (after_section == std::string_view::npos)
    return out + (out.empty() ? "" : std::string(eol)) + "[" + std::string(section) + "]" + std::string(eol) + entry +
           std::string(eol);
  return out.insert(std::min(after_section, out.size()), entry + std::string(eol));
}

}  // namespace kalpo::base::ini
