// InterfaceEpson: the answer conventions of the Epson library over the
// virtual printer.  Every call answers 0 when done, otherwise an error code;
// what went wrong is read with EPSON_Obter_Estado_Impressora, whose state
// text of 20 characters carries the field error, the port code, the printer
// and fiscal status words and the result code of the last command.  Commands
// are served only between EPSON_Serial_Abrir_Porta and
// EPSON_Serial_Fechar_Porta.
#pragma once

#define KALPO_MAKER_DEFINE
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "common/readers.h"
#include "core/printer.h"
#include "seam/maker_import.h"

namespace epson {

// Command result codes this library answers with (the printer's own).
namespace code {
constexpr int ok = 0x0000;
constexpr int state = 0x0101, document = 0x0102;
constexpr int numeric_field = 0x0208, date_field = 0x020C, time_field = 0x020D;
constexpr int paper_end = 0x0304;
constexpr int day_closed = 0x0801, day_open = 0x0802, day_must_close = 0x0804, no_sales = 0x0807,
              day_opening_refused = 0x080F;
constexpr int item_not_found = 0x0907, form_not_found = 0x0908, rate_not_found = 0x090F;
constexpr int after_adjustment = 0x0A01, after_payments = 0x0A02, blank_description = 0x0A04, before_payments = 0x0A08,
              payment_incomplete = 0x0A09, bad_payment = 0x0A0B, cancel_refused = 0x0A12, bad_item_number = 0x0A16,
              quantity_digits = 0x0A1A, price_digits = 0x0A1B, bad_price = 0x0A21, bad_quantity = 0x0A22;
constexpr int not_allowed = 0x0E18;
}  // namespace code

// Port codes of the state text.
namespace port {
constexpr int ok = 0x0000, already_open = 0x0001, in_use = 0x0002, closed = 0x0003, bad_number = 0x0004,
              bad_speed = 0x0005;
}  // namespace port

// What one command came to: the printer's outcome, or a code of the
// library's own reading of the arguments (a field error or a result code).
struct Reply {
  ksim::Outcome outcome = ksim::Outcome::ok;
  int command = code::ok;  // overrides the outcome's code when not 0
  int field_error = 0;     // 2 date, 3 time...
  int field = 0;           // number of the field in error
  Reply(ksim::Outcome o) : outcome(o) {}
  static Reply refuse(int command) {
    Reply reply(ksim::Outcome::refused);
    reply.command = command;
    return reply;
  }
};

// The connection of this process and what the last call left to report.
struct Link {
  bool open = false;
  int port_number = 0;
  int port_code = port::ok;
  int command = code::ok;
  int field_error = 0, field = 0;
  bool paper_end = false;
  bool unreadable = false;  // the next state text has fields that are not numbers
  // The status words last read from the printer, answered while the port
  // could not be opened.
  int printer_word = 0x0000, fiscal_word = 0xC200;
};

ksim::Printer &printer();
Link &link();

// One command inside the open port: a command session, the faults this
// library applies (slow, unreadable), `op` run when the printer answers, its
// result kept for the state text.  Returns 0 or the error code.  Never
// throws.
using Operation = std::function<Reply(ksim::Session &)>;
std::int32_t command(std::string_view function, const Operation &op);
// Sleeps for a slow answer and notes an unreadable one.
void apply_faults(const ksim::Faults &faults);

// Argument forms.
using common::text;
// Digits (at least six) with `decimals` implied decimals, in thousandths.
std::optional<ksim::Milli> thousandths(std::string_view digits, std::int32_t decimals);
// A plain decimal number of one to nine digits.
std::optional<int> whole(std::string_view digits);
// A tax code: "T01".."T16" or "01".."16" by index, "F"/"FF", "I"/"II", "N"/"NN".
const ksim::Rate *rate(const ksim::Session &session, std::string_view code);
// A payment form by its number ("1", "01") or its description.
const ksim::PaymentForm *form(const ksim::Session &session, std::string_view code);

}  // namespace epson
