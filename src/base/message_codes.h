// A machine-readable code for each operator message, one list for all the
// makers.  Every entry of a maker's message table and every text the library
// shows of its own carries one; programs that cannot read Portuguese match
// the code instead of the text.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kalpo::base {

enum class MessageCode : uint8_t {
  no_error,
  paper_low,
  paper_end,
  printer_off,
  communication,
  printer_error,
  intervention,
  coupon_open,
  coupon_closed,
  sequence,
  item,
  discount,
  reduction_due,
  day_closed,
  day_open,
  day_not_open,
  fiscal_memory,
  detail_memory,
  limit_reached,
  clock,
  tax_rate,
  payment,
  transaction,
  cancel_refused,
  invalid_command,
  invalid_parameter,
  printer_setup,
  auxiliary_device,
  unsupported,
  configuration,
  not_executed,
  aborted,
  library_error,
  information,
  question,
  other,
};

struct MessageCodeName {
  MessageCode code;
  std::string_view name;     // "paper_end"
  std::string_view meaning;  // one line, in English
};

// Every code in the order of the enumeration, "other" last.
std::span<const MessageCodeName> message_codes();
std::string_view code_name(MessageCode code);

}  // namespace kalpo::base
