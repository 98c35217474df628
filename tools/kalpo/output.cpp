#include "output.h"

#include <iostream>

#include <nlohmann/json.hpp>

#include "base/cp1252.h"

namespace kt {

using kalpo::base::cp1252::to_utf8;
namespace {

bool g_json = false;

std::string dump(const nlohmann::json &value, int indent) {
  return value.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The length of the UTF-8 sequence at text[i], or 0 when none starts there.
std::size_t sequence_length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  // Overlong forms, surrogates and code points beyond U+10FFFF.
  const unsigned char second = byte(i + 1);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F))
    return 0;
  return length;
}

bool is_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = sequence_length(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace

void set_json_output(bool json) { g_json = json; }

std::string json_text(const nlohmann::json &value) { return dump(value, 2); }

void print_json(const nlohmann::json &value) { std::cout << json_text(value) << '\n' << std::flush; }

void warn(const std::string &text) {
  if (g_json)
    std::cerr << dump({{"warning", text}}, -1) << '\n';
  else
    std::cerr << "kalpo: warning: " << text << '\n';
}

int fail(const std::string &text, int status) {
  std::cout << std::flush;
  if (g_json)
    print_json({{"error", text}, {"exit_status", status}});
  else
    std::cerr << "kalpo: " << text << '\n';
  return status;
}

std::string as_utf8(std::string_view text) { return is_utf8(text) ? std::string(text) : to_utf8(text); }

}  // namespace kt
