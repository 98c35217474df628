#include "base/cp1252.h"

namespace kalpo::base::cp1252 {

std::string to_utf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (char ch : cp1252) {
    char32_t cp = code_point_of(static_cast<unsigned char>(ch));
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string from_utf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    int b = byte_of(decode_utf8(utf8.data(), utf8.size(), i));
    out += b < 0 ? '?' : static_cast<char>(static_cast<unsigned char>(b));
  }
  return out;
}

}  // namespace kalpo::base::cp1252
