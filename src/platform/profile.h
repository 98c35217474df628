// Profile (INI) reading shared by the platforms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalpo::platform {

// Profile reading as an integer: the default when the value is missing or is
// not a decimal integer.
int32_t profile_int(std::string_view file, std::string_view section, std::string_view key, int32_t fallback);

// Parses INI text with the profile semantics above (shared by the POSIX
// reader and the tests).
bool ini_lookup(std::string_view contents, std::string_view section, std::string_view key, std::string &value);

// Lookups over one INI text with the answers of ini_lookup, each line read at
// most once: the keys passed over are kept in the order written, and a later
// lookup searches them before reading on.  Views into the text: it must
// outlive the index's use.
class IniIndex {
 public:
  void reset(std::string_view contents);
  bool lookup(std::string_view section, std::string_view key, std::string &value);

 private:
  struct Entry {
    std::string_view section, key, value;
  };
  std::string_view contents_;
  std::size_t read_to_ = 0;
  std::string_view section_;
  bool in_section_ = false;  // after a section line that names a section
  std::vector<Entry> entries_;
};

}  // namespace kalpo::platform
