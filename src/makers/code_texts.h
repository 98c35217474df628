// Code-to-text message tables of the makers whose answers are plain codes,
// and the lookup they share.  Each table lives beside its maker's analysis.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kalpo::makers {

struct CodeText {
  int32_t code;
  std::string_view text;  // Windows-1252
};

// The text of code in table, if it has one.
inline std::optional<std::string_view> find_text(std::span<const CodeText> table, int32_t code) {
  auto it = std::find_if(table.begin(), table.end(), [code](const CodeText &e) { return e.code == code; });
  if (it == table.end()) return std::nullopt;
  return it->text;
}

namespace tables {
// Epson state fields: field-error codes, port codes, command results.
std::span<const CodeText> epson_field_errors();
std::span<const CodeText> epson_ports();
std::span<const CodeText> epson_results();
// ecf32m integer return codes.
std::span<const CodeText> ecf32m_returns();
// ecf32m minus codes of the return text, by the number without its sign.
std::span<const CodeText> minus_codes();
// Command-driver error codes.
std::span<const CodeText> dllg2_errors();
}  // namespace tables

}  // namespace kalpo::makers
