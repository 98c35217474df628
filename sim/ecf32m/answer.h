// The conventions of the ecf32m library: the port that OpenCif opens and
// CloseCif closes (a command on a closed port fails as the serial link
// does), and the printer's return text that ObtemRetorno hands over.
//
// Return texts: "COMANDO OK" for a command done; "ERR-nn" for a refusal,
// nn being the printer's error number (characters 5 and 6); a value asked
// with EcfPar as "Pnn:" followed by the value (and " COMANDO OK" after a
// text value: the firmware, the serial number).  While a
// slow answer is on its way ObtemRetorno answers -97.
#pragma once

#define KALPO_MAKER_DEFINE
#include <cstdint>
#include <functional>
#include <string>

#include "common/readers.h"
#include "core/printer.h"
#include "seam/maker_import.h"

namespace ecf32m {

// Return codes of the library's calls.
enum Code : std::int32_t {
  done = 0,
  timeout = -99,         // the printer did not answer
  pending = -97,         // the answer has not arrived yet
  paper_low = -92,       // done, and the paper is near its end
  unknown_answer = -89,  // the printer's answer could not be read
  serial_failure = -87,  // the port is not open, or could not be opened
  dll_failure = -84,     // a call the library cannot serve (no buffer)
};

// The printer's error numbers (the return text carries them as "ERR-nn").
enum Error : int {
  not_numeric = 3,
  sign_field = 5,  // a field type outside its set
  range = 7,       // first value above the second
  syntax = 10,
  too_many_lines = 11,
  tax_letter = 15,  // a tax code not starting with T, F, I or N
  bad_date = 16,
  rate_not_programmed = 18,
  sign = 19,
  coupon_needed = 22,
  not_during_coupon = 23,
  not_during_nonfiscal = 25,
  reduction_needed = 28,
  reduction_done = 29,
  cannot_cancel = 32,
  paper_out = 33,
  already_totalled = 50,
  total_first = 51,
  memory_empty = 55,
  form_not_programmed = 57,
  payment_incomplete = 58,
  too_long = 60,
  disabled = 62,
};

// What a command made of one call: refused with an error number, or done
// with its return text.
struct Reply {
  int error = -1;
  std::string text = "COMANDO OK";
  bool silent = false;  // no answer at all
};

Reply refuse(int error);
// The reply of a printer operation.  `phase_error` is the number for an
// operation out of its place in the coupon.
Reply reply(ksim::Outcome outcome, const ksim::Session &session, int phase_error = syntax);
// The error number for a numeric field that cannot be read.
int field_error(const common::Number &n);

using Command = std::function<Reply(ksim::Session &)>;

// Runs one command on the open port and keeps its return text.  A command
// that only reads the printer runs as a Call::query.
std::int32_t run(const char *function, const Command &command, ksim::Call call = ksim::Call::command) noexcept;

std::int32_t open_port() noexcept;
void close_port() noexcept;
std::int32_t fetch(char *buffer) noexcept;

}  // namespace ecf32m
