// The Sigtron conventions of the fs345_32 library: the serial link that
// DAR_AbreSerial opens and nothing closes, the printer's answer kept for
// DAR_Resposta, the last error kept for DAR_Erro, and the printer's error
// numbers for each condition.
//
// An answer is a short text: character 1 is "." (or "*" while the paper is
// near its end), character 2 is "+" when the command was done and "E" when
// it was refused, followed on a refusal by the error number in two digits
// (characters 3 and 4) and on success by the command's fields: most
// commands give the coupon counter (COO) in characters 3 to 8.
#pragma once

#define KALPO_MAKER_DEFINE
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/readers.h"
#include "core/printer.h"
#include "seam/maker_import.h"

namespace fs345 {

// The printer's error numbers used by this library.
enum Error : int {
  document_open = 10,      // "Documento sendo emitido"
  document_not_open = 11,  // "Documento não foi aberto"
  nothing_to_cancel = 12,  // "Não existe documento a cancelar"
  not_digit = 13,          // a non-digit in a numeric field
  item_not_found = 15,
  syntax = 16,  // a field of the wrong length or form
  rate_not_defined = 18,
  day_closed = 22,  // reduction done: inoperative until midnight
  reduction_pending = 23,
  invalid_character = 25,  // a character code the command does not take
  zero_field = 28,
  accumulator_invalid = 30,  // the voucher's non-fiscal accumulator
  form_invalid = 38,
  closing_sequence = 39,
  date_before_memory = 41,
  voucher_refused = 43,
  blank_field = 45,
  paper_out = 50,
};

// Last-error values of the link itself, below the printer's offset: no
// printer error number goes with them.
constexpr std::int32_t error_offset = 536870912;
constexpr std::int32_t link_no_answer = 1;  // the printer did not answer
constexpr std::int32_t link_not_open = 2;   // no DAR_AbreSerial has opened the port

// What a command made of one call: refused with an error number, or done
// with the fields of its answer.
struct Reply {
  int error = -1;
  std::string fields;
  bool silent = false;  // the printer gave no answer at all
};

Reply refuse(int error);
// The reply of a printer operation: its refusal, or the COO field.
Reply reply(ksim::Outcome outcome, const ksim::Session &session);
// The reply of a command done with these fields.
Reply done(std::string fields);
// The COO field: six digits.
std::string coo_field(const ksim::Session &session);

using Command = std::function<Reply(ksim::Session &)>;

// Runs one command of the printer on the open port and keeps its answer.
// `mode` is the character code of the answer mode: '1' answers with the
// command's fields, '0' with the state characters only; anything else is
// refused.  Returns 0 when done, -1 when refused or not answered.
// A command that only reads the printer runs as a Call::query.
std::int32_t run(const char *function, std::int32_t mode, const Command &command,
                 ksim::Call call = ksim::Call::command) noexcept;

// The port: opened by DAR_AbreSerial, never closed.
bool open_port(std::string_view settings) noexcept;
std::int32_t last_error() noexcept;
std::int32_t copy_answer(char *buffer, std::int32_t size) noexcept;

}  // namespace fs345
