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

bool is_utf8(std::string_view text) {
  namespace cp = kalpo::base::cp1252;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    // Malformed input decodes as U+FFFD too, but never as the three bytes
    // EF BF BD that write U+FFFD itself.
    if (cp::decode_utf8(text.data(), text.size(), i) == cp::kReplacement &&
        !(i - start == 3 && static_cast<unsigned char>(text[start]) == 0xEF))
      return false;
  }
  return true;
}

}  // namespace

void set_json_output(bool json) { g_json = json; }

std::string json_text(const nlohmann::json &value) { return dump(value, 2); }

std::string json_line(const nlohmann::json &value) { return dump(value, -1); }

void print_json(const nlohmann::json &value) { std::cout << json_text(value) << '\n' << std::flush; }

void warn(const std::string &text) {
  if (g_json)
    std::cerr << json_line({{"warning", text}}) << '\n';
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
