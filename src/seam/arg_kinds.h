// The kind of each maker-function argument, one letter, as the call trace
// records it and the replay libraries read it: t text, i integer, c character,
// v integer variable, b buffer the maker writes, p length-prefixed buffer.
// Beside them, the width of an answer buffer, which the trace writer records
// and the replay libraries match a call by: both measure it here.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <tuple>
#include <type_traits>

namespace kalpo::seam {

// An answer buffer holds at most kBufferLimit bytes.  The length-prefixed one
// (ObtemRetorno's) is kPrefixedSize bytes: a length byte, then up to 255
// characters.
inline constexpr std::size_t kBufferLimit = 4096;
inline constexpr std::size_t kPrefixedSize = 256;

// Whether the maker function fills a length-prefixed text.
constexpr bool length_prefixed(std::string_view function) { return function == "ObtemRetorno"; }

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

// The width of argument I when it is an answer buffer (0 otherwise), known
// before the call: a buffer followed by a size argument has that size; the
// length-prefixed one kPrefixedSize; any other is handed filled with blanks
// to its width and a zero after it.  Never more than kBufferLimit.
template <std::size_t I, typename Tuple>
std::size_t buffer_width(const Tuple &args, bool length_prefixed) {
  if constexpr (!std::is_same_v<std::tuple_element_t<I, Tuple>, char *>) {
    return 0;
  } else {
    if constexpr (I + 1 < std::tuple_size_v<Tuple>)
      if constexpr (std::is_same_v<std::tuple_element_t<I + 1, Tuple>, std::int32_t>)
        return static_cast<std::size_t>(
            std::clamp<std::int32_t>(std::get<I + 1>(args), 0, static_cast<std::int32_t>(kBufferLimit)));
    if (length_prefixed) return kPrefixedSize;
    return std::get<I>(args) ? strnlen(std::get<I>(args), kBufferLimit) : 0;
  }
}

}  // namespace kalpo::seam
