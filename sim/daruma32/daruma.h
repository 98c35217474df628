// Daruma32: the answer conventions of the Daruma library over the virtual
// printer.  Every command answers 1 (done), 0 (no communication), -1 (not
// executed), -2 (bad parameter), -3 (rate not programmed) or -5 (port not
// opened); the reason of a refusal is read afterwards with the status calls:
// Daruma_FI_RetornoImpressora (ACK, ST1, ST2 of the last command) and
// Daruma_FI_RetornaErroExtendido (the printer's error number, "000" when the
// command was done, "999" when the printer did not answer).
#pragma once

#define KALPO_MAKER_DEFINE
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/readers.h"
#include "core/printer.h"
#include "seam/maker_import.h"

namespace daruma {

// The Daruma error numbers this library answers with.
namespace error {
constexpr int none = 0;
constexpr int document_being_issued = 10;
constexpr int document_not_open = 11;
constexpr int nothing_to_cancel = 12;
constexpr int item_not_found = 15;
constexpr int syntax = 16;
constexpr int rate_not_defined = 18;
constexpr int memory_empty = 19;
constexpr int day_closed = 22;
constexpr int reduction_pending = 23;
constexpr int cannot_execute = 26;
constexpr int closing_sequence = 39;
constexpr int voucher_not_allowed = 43;
constexpr int form_not_found = 49;
constexpr int paper_end = 50;
constexpr int document_open = 56;
constexpr int no_communication = 999;
}  // namespace error

// What the status calls report: the answer to the last command of this
// process.
struct Last {
  int ack = 6, st1 = 0, st2 = 0;
  int error = error::none;
  bool unreadable = false;  // the next extended error is not a number
};

ksim::Printer &printer();
Last &last();

// One Daruma command: the library opens its port (a start of the driver,
// refused with -5 and "999" when the fault says so), then sends the command
// (`op`, run when the printer answers).  Its outcome is recorded for the
// status calls; slow and unreadable answers are this library's to apply.
// Returns the Daruma return code.  Never throws.
using Operation = std::function<ksim::Outcome(ksim::Session &)>;
std::int32_t command(std::string_view function, const Operation &op);
// A read of the printer that changes nothing.
std::int32_t query(std::string_view function, const Operation &op);

// Argument forms.
using common::text;
// A decimal text in the workstation's regional form with exactly `decimals`
// decimals ("1.234,50", "1,234.50", "1234,50"), scaled by 10^decimals.
std::optional<std::int64_t> regional(std::string_view text, int decimals);
// A tax code: "II", "FF", "NN", an index "01".."16" (or "T01", "Ta".."Tp"),
// or a rate of four digits ("1800").
const ksim::Rate *rate(const ksim::Session &session, std::string_view code);
// A payment form by its programmed description.
const ksim::PaymentForm *form(const ksim::Session &session, std::string_view name);

// Writes `value` and its terminating zero into a caller's buffer of
// `width` characters (the value is cut to the width).
void put(char *buffer, std::string_view value, std::size_t width);

}  // namespace daruma
