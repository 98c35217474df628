#include "replay/cp1252.h"

namespace kreplay {
namespace {

// The characters of the bytes 0x80..0x9F; 0 where the byte is its own.
constexpr char32_t kC1[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                              0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                              0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t character(unsigned char byte) {
  const char32_t mapped = byte >= 0x80 && byte < 0xA0 ? kC1[byte - 0x80] : 0;
  return mapped ? mapped : byte;
}

std::optional<char> byte_of(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (unsigned i = 0; i < 32; ++i)
    if (character(static_cast<unsigned char>(0x80 + i)) == c) return static_cast<char>(0x80 + i);
  return std::nullopt;
}

}  // namespace

std::string utf8_of(std::string_view cp1252) {
  std::string out;
  for (char byte : cp1252) {
    const char32_t c = character(static_cast<unsigned char>(byte));
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::optional<std::string> cp1252_of(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i++]);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : -1;
    if (extra < 0) return std::nullopt;
    char32_t c = extra == 0 ? lead : lead & (extra == 1 ? 0x1F : 0x0F);
    for (int k = 0; k < extra; ++k, ++i) {
      if (i >= utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    }
    // An overlong form (a character written in more bytes than it needs) is
    // malformed, as libkalpo's reading of UTF-8 has it.
    if ((extra == 1 && c < 0x80) || (extra == 2 && c < 0x800)) return std::nullopt;
    const std::optional<char> byte = byte_of(c);
    if (!byte) return std::nullopt;
    out += *byte;
  }
  return out;
}

}  // namespace kreplay
