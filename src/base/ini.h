// INI profiles as the Windows profile functions read them: the one reader
// shared by the library's POSIX platform and the kalpo tool, and the writer
// the tool sets a key with, so that the tool shows and writes exactly what
// the library reads.
//
// A line holding "[name]" opens section "name" (blanks around the name are
// dropped, anything after "]" is ignored); a line "key=value" inside a section
// sets key; other lines are ignored.  Lines end at CR LF, a lone CR or a lone
// LF.  Section and key names match without regard to ASCII case; the first
// key found wins, a repeated section being searched too.  Values lose their
// surrounding blanks and then one pair of surrounding quotes, ' or ".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalpo::base::ini {

// The value of key in section; false when either is missing.
bool lookup(std::string_view contents, std::string_view section, std::string_view key, std::string &value);

// Lookups over one INI text with the answers of lookup, each line read at
// most once: the keys passed over are kept in the order written, and a later
// lookup searches them before reading on.  Views into the text: it must
// outlive the index's use.
class Index {
 public:
  void reset(std::string_view contents);
  bool lookup(std::string_view section, std::string_view key, std::string &value);

 private:
  struct Entry {
    std::string_view section, key, value;
  };
  std::string_view contents_;
  std::size_t read_to_ = 0;
  std::string_view section_;  // the section read last; empty outside any
  std::vector<Entry> entries_;
};

// The file text with key set to value: the first line setting the key is
// replaced, or a line is added after the section's last entry, or the section
// is added at the end.  Every other line stays byte for byte; a new line ends
// as the file's first line does (CR LF in an empty file).  Nothing when the
// names or the value could not be read back as written: a line break
// anywhere, "=" in the key or "[" ahead of it, "]" in the section, blanks
// around a name, an empty name.
std::optional<std::string> set(std::string_view contents, std::string_view section, std::string_view key,
                               std::string_view value);

}  // namespace kalpo::base::ini
