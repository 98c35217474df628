#include "coupon/normaliza_texto.h"

#include <array>

namespace kalpo::coupon {
namespace {

// The replacement of every byte: itself unless listed.
constexpr std::array<char, 256> make_table() {
  std::array<char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<char>(i);
  for (unsigned char c : {'\'', '^', '~', '"', '/', '\\'}) t[c] = ' ';
  struct Pair {
    unsigned char from;
    char to;
  };
  constexpr Pair pairs[] = {
      {0xC7, 'C'}, {0xE7, 'c'}, {0xC1, 'A'}, {0xC0, 'A'}, {0xC9, 'E'}, {0xC8, 'E'}, {0xCD, 'I'}, {0xCC, 'I'},
      {0xD3, 'O'}, {0xD2, 'O'}, {0xDA, 'U'}, {0xD9, 'U'}, {0xE1, 'a'}, {0xE0, 'a'}, {0xE9, 'e'}, {0xE8, 'e'},
      {0xED, 'i'}, {0xEC, 'i'}, {0xF3, 'o'}, {0xF2, 'o'}, {0xFA, 'u'}, {0xFC, 'u'}, {0xDC, 'U'}, {0xE3, 'a'},
      {0xC3, 'A'}, {0xF5, 'o'}, {0xD5, 'O'}, {0xCA, 'E'}, {0xEA, 'e'}, {0xD4, 'O'}, {0xF4, 'o'}, {0xF6, 'o'},
      {0xD6, 'O'}, {0xC2, 'A'}, {0xE2, 'a'}, {0xA6, 'a'}, {0xA7, 'o'}, {0xBA, 'o'}, {0xAA, 'a'},
  };
  for (const Pair &p : pairs) t[p.from] = p.to;
  return t;
}

constexpr std::array<char, 256> kTable = make_table();

}  // namespace

std::string normaliza_texto(std::string_view text) {
  std::string out(text);
  for (char &c : out) c = kTable[static_cast<unsigned char>(c)];
  return out;
}

}  // namespace kalpo::coupon
