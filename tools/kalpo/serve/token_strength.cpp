// Whether a token carries the 128 bits a guess must not find: 32 hex digits
// or 22 characters of base64 at least, and neither repeated nor of a few
// characters only (what a person types, not what a random source gives).
#include <set>

#include "serve/service.h"

namespace kt::serve {

std::string weak_token(std::string_view token) {
  const bool hex = token.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
  const std::size_t shortest = hex ? 32 : 22;
  if (token.size() < shortest)
    return "carries fewer than 128 bits: " + std::to_string(token.size()) + " characters, " + std::to_string(shortest) +
           " at least for " + (hex ? "hex digits" : "base64");
  for (std::size_t period = 1; period <= token.size() / 2; ++period)
    if (token.size() % period == 0 && token.substr(period) == token.substr(0, token.size() - period))
      return "is a piece repeated (" + std::to_string(period) + " characters), which can be guessed";
  const std::set<char> distinct(token.begin(), token.end());
  if (distinct.size() < 8)
    return "holds " + std::to_string(distinct.size()) + " different characters only, which can be guessed";
  return {};
}

}  // namespace kt::serve
