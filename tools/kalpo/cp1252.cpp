#include "cp1252.h"

#include <cstdint>

namespace kt {
namespace {

// Code points of the bytes 0x80..0x9F (0: undefined, the byte maps to itself).
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t code_point(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  return kHigh[byte - 0x80] ? kHigh[byte - 0x80] : byte;
}

int byte_of(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp || (kHigh[i] == 0 && cp == char32_t(0x80 + i))) return 0x80 + i;
  return -1;
}

void put_utf8(std::string &out, char32_t cp) {
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

// One UTF-8 sequence at text[i]; malformed input reads as U+FFFD.
char32_t next_code_point(std::string_view text, std::size_t &i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
  if (extra < 0) return 0xFFFD;
  char32_t cp = extra == 0 ? lead : (lead & (0x3F >> extra));
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return cp;
}

}  // namespace

std::string to_utf8(std::string_view cp1252) {
  std::string out;
  for (char ch : cp1252) put_utf8(out, code_point(static_cast<unsigned char>(ch)));
  return out;
}

std::string to_cp1252(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const int byte = byte_of(next_code_point(utf8, i));
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

}  // namespace kt
