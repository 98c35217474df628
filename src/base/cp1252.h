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

namespace kalpo::base::cp1252 {

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

inline constexpr char32_t kReplacement = 0xFFFD;

// Decodes the UTF-8 sequence at s[i] and advances i past it.  Malformed input
// gives U+FFFD once per maximal invalid subpart: a lead byte with the
// continuation bytes that may still follow it, so "\xE2\x82(" reads as one
// U+FFFD and "(", and a stray continuation byte is one U+FFFD of its own.
// Overlong forms, surrogates and code points above U+10FFFF are malformed.
constexpr char32_t decode_utf8(const char *s, std::size_t n, std::size_t &i) {
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kReplacement;
  }
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k, low = 0x80, high = 0xBF) {
    if (i >= n) return kReplacement;
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < low || c > high) return kReplacement;
    cp = (cp << 6) | (c & 0x3F);
    ++i;
  }
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
struct Literal {
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

// Runtime conversions (standard error, the trace, the kalpo tool).
std::string to_utf8(std::string_view cp1252);
// Characters without a Windows-1252 byte, and each malformed subpart, become '?'.
std::string from_utf8(std::string_view utf8);

}  // namespace kalpo::base::cp1252

// In the library's root namespace, so that every namespace of the library
// finds it by ordinary lookup.
namespace kalpo {
// A UTF-8 literal as a NUL-terminated Windows-1252 text with static storage.
template <base::cp1252::Utf8Literal S>
consteval std::string_view operator""_cp() {
  return {base::cp1252::Literal<S>::value.data(), base::cp1252::Literal<S>::size};
}
}  // namespace kalpo
