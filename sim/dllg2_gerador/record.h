// One register line of the fiscal file: fixed-width fields, texts left-aligned
// and blank-filled, numbers right-aligned and zero-filled, cut to their width.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gerador {

class Record {
 public:
  explicit Record(std::string_view type) : line_(type) {}
  Record &text(std::string_view value, std::size_t width);
  Record &number(std::int64_t value, std::size_t width);  // negative values are written as 0
  std::string line() const { return line_ + "\r\n"; }

 private:
  std::string line_;
};

}  // namespace gerador
