// The makers' message tables, each entry with its message code, and the
// lookup they share.  The tables live in the *_texts.cpp files beside each
// maker's analysis; the kalpo tool links them too, to find the code of a
// message it was shown (message_code.h).
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/cp1252.h"
#include "base/message_codes.h"
#include "frame/messages.h"

namespace kalpo::makers {

struct CodeText {
  int32_t code;
  std::string_view text;  // Windows-1252
  base::MessageCode kind = base::MessageCode::other;
};

// The entry of code in table, if it has one.
inline const CodeText *find_entry(std::span<const CodeText> table, int32_t code) {
  auto it = std::find_if(table.begin(), table.end(), [code](const CodeText &e) { return e.code == code; });
  return it == table.end() ? nullptr : &*it;
}

// The text of code in table, if it has one.
inline std::optional<std::string_view> find_text(std::span<const CodeText> table, int32_t code) {
  const CodeText *entry = find_entry(table, code);
  if (!entry) return std::nullopt;
  return entry->text;
}

// Bematech's status bits, in the order in which they are tested.
enum class StatusByte { St1, St2 };
struct StatusBit {
  StatusByte byte;
  int32_t value;
  std::string_view text;  // empty: the bit is cleared without a message
  base::MessageCode kind = base::MessageCode::other;
};

// The caption and icon of a message box.
struct Caption {
  std::string_view text;
  uint32_t flags;
};

inline constexpr Caption kErrorCaption{"Erro"_cp, frame::msg::kStop};
inline constexpr Caption kAttentionCaption{"Atenção"_cp, frame::msg::kInformation};

// Bematech's return codes that carry a message of their own, in a box.
struct ReturnCode {
  int32_t code;
  Caption caption;
  std::string_view text;
  base::MessageCode kind = base::MessageCode::other;
};

namespace tables {
std::span<const StatusBit> bematech_status_bits();
std::span<const ReturnCode> bematech_returns();
// Daruma's and Sigtron's error numbers.
std::span<const CodeText> daruma_errors();
std::span<const CodeText> sigtron_errors();
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
