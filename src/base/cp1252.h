// Windows-1252 texts.  Inside the library every text is held in Windows-1252,
// the encoding of the exports and of the makers' libraries.  Literals are
// written in UTF-8 source and converted at compile time with the _cp suffix:
//   msg::notice("Comando não executado!"_cp);
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kalpo::text {

// Code points of the bytes 0x80..0x9F in Windows-1252 (0 where the byte is
// undefined; those bytes map to the C1 control of the same value).
inline constexpr char32_t kHighBlock[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Windows-1252 byte of a code point, or -1 when it has none.
constexpr int byte_of(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHighBlock[i] == cp || (kHighBlock[i] == 0 && cp == char32_t(0x80 + i))) return 0x80 + i;
  }
  return -1;
}

constexpr char32_t code_point_of(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  char32_t cp = kHighBlock[byte - 0x80];
  return cp ? cp : char32_t(byte);
}

// Decodes one UTF-8 sequence at s[i]; advances i.  Malformed input yields
// U+FFFD so that runtime conversion never fails.
constexpr char32_t decode_utf8(const char *s, std::size_t n, std::size_t &i) {
  auto b = static_cast<unsigned char>(s[i]);
  int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
  if (extra < 0 || i + extra >= n + (extra == 0 ? 1 : 0)) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = extra == 0 ? b : (b & (0x3F >> extra));
  for (int k = 1; k <= extra; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return cp;
}

template <std::size_t N>
struct Utf8Literal {
  char data[N]{};
  constexpr Utf8Literal(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) data[i] = s[i];
  }
  constexpr std::size_t code_points() const {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 1 < N;) {
      decode_utf8(data, N - 1, i);
      ++count;
    }
    return count;
  }
};

template <Utf8Literal S>
struct Cp1252Literal {
  static constexpr std::size_t size = S.code_points();
  static constexpr std::array<char, size + 1> make() {
    std::array<char, size + 1> out{};
    std::size_t o = 0;
    for (std::size_t i = 0; i + 1 < sizeof(S.data);) {
      int b = byte_of(decode_utf8(S.data, sizeof(S.data) - 1, i));
      if (b < 0) throw "character without a Windows-1252 byte";
      out[o++] = static_cast<char>(static_cast<unsigned char>(b));
    }
    return out;
  }
  static constexpr std::array<char, size + 1> value = make();
};

// Runtime conversions (for standard error, test transcripts and tools).
std::string to_utf8(std::string_view cp1252);
std::string from_utf8(std::string_view utf8);  // unmappable characters become '?'

}  // namespace kalpo::text

namespace kalpo {
// A UTF-8 literal as a NUL-terminated Windows-1252 text with static storage.
template <text::Utf8Literal S>
consteval std::string_view operator""_cp() {
  return {text::Cp1252Literal<S>::value.data(), text::Cp1252Literal<S>::size};
}
}  // namespace kalpo
