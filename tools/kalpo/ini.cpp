#include "ini.h"

#include <algorithm>

namespace kt {
namespace {

std::string trim(std::string_view s) {
  const auto begin = s.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  return std::string(s.substr(begin, s.find_last_not_of(" \t\r") - begin + 1));
}

bool same(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The section a line opens, if it is a section header.
std::optional<std::string> header(const std::string &line) {
  const std::string t = trim(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return std::nullopt;
  return trim(std::string_view(t).substr(1, t.size() - 2));
}

}  // namespace

Ini::Ini(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(line);
    start = end + 1;
  }
}

std::size_t Ini::find(std::string_view section, std::string_view key, bool &found) const {
  found = false;
  bool inside = false;
  std::size_t end = std::string::npos;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = header(lines_[i])) {
      inside = same(*name, section);
      continue;
    }
    if (!inside) continue;
    if (!trim(lines_[i]).empty()) end = i + 1;
    const auto eq = lines_[i].find('=');
    if (eq != std::string::npos && same(trim(std::string_view(lines_[i]).substr(0, eq)), key)) {
      found = true;
      return i;
    }
  }
  if (end == std::string::npos) {
    // The section's header alone, or no section.
    for (std::size_t i = 0; i < lines_.size(); ++i)
      if (const auto name = header(lines_[i]); name && same(*name, section)) return i + 1;
  }
  return end;
}

std::optional<std::string> Ini::get(std::string_view section, std::string_view key) const {
  bool found = false;
  const std::size_t at = find(section, key, found);
  if (!found) return std::nullopt;
  std::string value = trim(std::string_view(lines_[at]).substr(lines_[at].find('=') + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value;
}

void Ini::set(std::string_view section, std::string_view key, std::string_view value) {
  bool found = false;
  const std::size_t at = find(section, key, found);
  const std::string line = std::string(key) + "=" + std::string(value);
  if (found) {
    lines_[at] = line;
  } else if (at != std::string::npos) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), line);
  } else {
    if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.push_back("");
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(line);
  }
}

std::string Ini::text() const {
  std::string out;
  for (const std::string &line : lines_) out += line + "\r\n";
  return out;
}

}  // namespace kt
