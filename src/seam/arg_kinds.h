// The kind of each maker-function argument, one letter, as the call trace
// records it and the replay libraries read it: t text, i integer, c character,
// v integer variable, b buffer the maker writes, p length-prefixed buffer.
#pragma once

#include <cstdint>
#include <type_traits>

namespace kalpo::seam {

template <typename T>
constexpr char kind_letter(bool length_prefixed) {
  if constexpr (std::is_same_v<T, const char *>)
    return 't';
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return 'i';
  else if constexpr (std::is_same_v<T, char>)
    return 'c';
  else if constexpr (std::is_same_v<T, std::int32_t *>)
    return 'v';
  else
    return length_prefixed ? 'p' : 'b';
}

}  // namespace kalpo::seam
