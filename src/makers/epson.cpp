// Epson: the printer's state after each call, cut into its six fields and
// told to the operator field by field.
#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "base/cp1252.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "frame/state.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "seam/seam.h"

namespace kalpo::makers {
namespace {

constexpr std::size_t kStateLength = 20;

// The six fields of the state text, as numbers where they are read as such.
struct StateFields {
  int32_t field_error = 0;
  std::string field_number;  // positions 3-4, shown unchanged
  int32_t port = 0;
  int32_t printer_status = 0;
  int32_t fiscal_status = 0;
  int32_t result = 0;
};

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

constexpr int hex_value(char c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A decimal field: an optional sign and at least one digit, nothing else.
std::optional<int32_t> read_decimal(std::string_view field) {
  bool negative = false;
  if (!field.empty() && (field.front() == '-' || field.front() == '+')) {
    negative = field.front() == '-';
    field.remove_prefix(1);
  }
  if (field.empty()) return std::nullopt;
  int32_t value = 0;
  for (char c : field) {
    if (!is_digit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

// A hexadecimal field: exactly its hex digits, nothing else.
std::optional<int32_t> read_hex(std::string_view field) {
  if (field.empty()) return std::nullopt;
  int32_t value = 0;
  for (char c : field) {
    int digit = hex_value(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char &c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Cuts the fields by position; nothing when a numeric field is unreadable.
std::optional<StateFields> cut_fields(std::string_view text) {
  auto field_error = read_decimal(text.substr(0, 2));
  auto port = read_hex(text.substr(4, 4));
  auto printer_status = read_hex(text.substr(8, 4));
  auto fiscal_status = read_hex(text.substr(12, 4));
  auto result = read_hex(upper(text.substr(16, 4)));
  if (!field_error || !port || !printer_status || !fiscal_status || !result) return std::nullopt;
  std::string_view number = text.substr(2, 2);
  return StateFields{*field_error,   std::string(number.substr(0, strnlen(number.data(), number.size()))),
                     *port,          *printer_status,
                     *fiscal_status, *result};
}

// The printer status word, walked from the top bit down.
// QUIRK: only the first four rows subtract, so a remainder of 8 or more reports the paper twice.
void printer_status_text(int32_t value, std::string &text) {
  if (value >= 0x8000) {
    text += own::kOffline.text;
    value -= 0x8000;
  }
  if (value >= 0x4000) {
    text += own::kPrintError.text;
    value -= 0x4000;
  }
  if (value >= 0x2000) {
    text += own::kCoverOpen.text;
    value -= 0x2000;
  }
  if (value >= 8) {
    text += own::kNoPaper.text;
    value -= 8;
  }
  if (value >= 2) text += own::kNoPaper.text;
}

// The fiscal status word: mode bits 15 and 14, technical intervention, the
// fiscal memory's bits 11 and 10, and the sales period in bits 9 to 7.
void fiscal_status_text(int32_t value, std::string &text) {
  bool bit15 = false, bit14 = false, bit11 = false, bit10 = false;
  if (value >= 0x8000) {
    bit15 = true;
    value -= 0x8000;
  }
  if (value >= 0x4000) {
    bit14 = true;
    value -= 0x4000;
  }
  if (!bit15 && !bit14) text += own::kBlocked.text;
  if (value >= 0x1000) {
    text += own::kIntervention.text;
    value -= 0x1000;
  }
  if (value >= 0x800) {
    bit11 = true;
    value -= 0x800;
  }
  if (value >= 0x400) {
    bit10 = true;
    value -= 0x400;
  }
  if (bit11 && bit10) {
    text += own::kFiscalMemoryError.text;
  } else if (bit11) {
    text += own::kFiscalMemoryFull.text;
  } else if (bit10) {
    text += own::kFiscalMemoryEnding.text;
  }
  if (value < 0x80) text += own::kSalesClosed.text;
}

}  // namespace

// The name of the call is not shown to the operator.
bool analisa_ret_epson(std::string_view) {
  bool result = true;
  std::array<char, kStateLength + 1> buffer{};
  std::memset(buffer.data(), ' ', kStateLength);
  if (seam::api().EPSON_Obter_Estado_Impressora(buffer.data()) != 0) {
    msg::notice(own::kNoCommunication.text);
    return false;
  }
  if (state().iRetornoEpson != 0) {
    msg::notice(own::kNoCommunication.text);
    result = false;
  }

  buffer[kStateLength] = '\0';
  std::string_view state_text(buffer.data(), kStateLength);
  std::optional<StateFields> fields = cut_fields(state_text);
  if (!fields) {
    report_unreadable_answer(state_text.substr(0, strnlen(buffer.data(), kStateLength)));
    return false;
  }

  if (fields->field_error != 0) {
    std::string_view error =
        find_text(tables::epson_field_errors(), fields->field_error).value_or(own::kUnmappedFieldError.text);
    msg::notice(std::string(error) + " - Campo com erro: " + fields->field_number);
    result = false;
  }
  if (fields->port != 0) {
    msg::notice(find_text(tables::epson_ports(), fields->port).value_or(own::kUnmappedPort.text));
    result = false;
  }
  std::string status;
  printer_status_text(fields->printer_status, status);
  fiscal_status_text(fields->fiscal_status, status);
  if (!status.empty()) {
    msg::notice(status);
    result = false;
  }
  if (fields->result != 0) {
    msg::notice(find_text(tables::epson_results(), fields->result).value_or(own::kUnknownResult.text));
    result = false;
  }
  return result;
}

}  // namespace kalpo::makers
