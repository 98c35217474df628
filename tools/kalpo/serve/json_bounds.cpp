// A body's nesting and size in values, judged from its bytes before it is
// parsed: the parser, and every copy, dump and comparison of what it gives,
// recurse once per level.
#include "serve/service.h"

namespace kt::serve {

std::string json_over_bounds(std::string_view text, std::size_t depth_limit, std::size_t value_limit) {
  std::size_t depth = 0;
  // Each bracket opens one value, each comma one more; the count is at least
  // the number of values in arrays and members in objects.
  std::size_t values = 1;
  bool in_text = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_text) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        in_text = false;
      continue;
    }
    switch (c) {
      case '"': in_text = true; break;
      case '[':
      case '{':
        if (++depth > depth_limit)
          return "the body nests deeper than " + std::to_string(depth_limit) + " levels (at byte " +
                 std::to_string(i + 1) + ")";
        ++values;
        break;
      case ']':
      case '}':
        if (depth > 0) --depth;
        break;
      case ',': ++values; break;
      default: break;
    }
    if (values > value_limit) return "the body holds more than " + std::to_string(value_limit) + " values";
  }
  return {};
}

}  // namespace kt::serve
