#include "dllg2_gerador/record.h"

namespace gerador {

Record &Record::text(std::string_view value, std::size_t width) {
  std::string field(value.substr(0, width));
  for (char &c : field)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  line_ += field;
  line_.append(width - field.size(), ' ');
  return *this;
}

Record &Record::number(std::int64_t value, std::size_t width) {
  std::string digits = std::to_string(value < 0 ? 0 : value);
  if (digits.size() > width) digits.erase(0, digits.size() - width);
  line_.append(width - digits.size(), '0');
  line_ += digits;
  return *this;
}

}  // namespace gerador
