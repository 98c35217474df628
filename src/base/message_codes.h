// A machine-readable code for each operator message, one list for all the
// makers: the message's Windows-1252 text judged by what it reports (paper,
// the printer's connection, the coupon's state, ...).  The message tables
// stay as the makers word them; programs that cannot read Portuguese match
// the code instead.
#pragma once

#include <span>
#include <string_view>

namespace kalpo::base {

struct MessageCode {
  std::string_view code;     // "paper_end"
  std::string_view meaning;  // one line, in English
};

// Every code message_code gives, "other" last.
std::span<const MessageCode> message_codes();
// The code of a message's Windows-1252 text; "other" when none fits.
std::string_view message_code(std::string_view text);

}  // namespace kalpo::base
