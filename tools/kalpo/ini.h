// A small INI reader and writer with the profile functions' rules: section
// and key names match without regard to case, values are trimmed, and a
// rewrite keeps every other line as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kt {

class Ini {
 public:
  explicit Ini(std::string_view text);

  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  // Replaces the key's value in place, or adds it at the end of its section
  // (adding the section when absent).
  void set(std::string_view section, std::string_view key, std::string_view value);
  // Lines end in CR LF, as on the workstation.
  std::string text() const;

 private:
  // Index of the key's line, or of the line after the section's last line
  // (npos when the section is absent).
  std::size_t find(std::string_view section, std::string_view key, bool &found) const;
  std::vector<std::string> lines_;
};

}  // namespace kt
