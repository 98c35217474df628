#include <cstdio>

#include "output.h"

namespace kt {
namespace {

// The length of the UTF-8 sequence at `at`, 0 when none begins there.  C1
// controls (U+0080 to U+009F) count as none: a terminal acts on them.
std::size_t utf8_length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  if (lead == 0xC2 && byte(at + 1) < 0xA0) return 0;   // C1 controls
  if (lead == 0xE0 && byte(at + 1) < 0xA0) return 0;   // overlong
  if (lead == 0xED && byte(at + 1) >= 0xA0) return 0;  // surrogates
  if (lead == 0xF0 && byte(at + 1) < 0x90) return 0;   // overlong
  if (lead == 0xF4 && byte(at + 1) >= 0x90) return 0;  // past U+10FFFF
  return length;
}

}  // namespace

std::string printable(std::string_view text, std::size_t most) {
  std::string out;
  std::size_t shown = 0;
  for (std::size_t i = 0; i < text.size(); ++shown) {
    if (shown == most) return out + "...";
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += text[i++];
    } else if (const std::size_t length = c >= 0x80 ? utf8_length(text, i) : 0) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02x", c);
          out += hex;
        }
      }
      ++i;
    }
  }
  return out;
}

}  // namespace kt
