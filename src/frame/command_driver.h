// The command driver of DllG2.dll: named commands with named, typed
// parameters, and the ways the operations judge their outcome.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace kalpo::dllg2 {

// Parameter type codes.
enum Type : int32_t {
  kInteger = 0,  // item and coupon numbers, the flag "F"
  kCode = 4,     // "CodAliquota", "CodMeioPagamento", "CodGerencial"
  kInt = 5,      // the integer "350"
  kDecimal = 6,  // amounts and quantities
  kText = 7,     // texts and register names
  kOption = 9,   // "TRUE", "FALSE", "250"
};

struct Param {
  const char *name;
  std::string value;
  int32_t type;
  bool empty_as_null = false;  // an empty value goes to the driver as a null pointer
};

// Clears the parameter list, adds the parameters in order and executes the
// command; returns the driver's answer (above 0: the command ran).
int32_t execute(int32_t handle, const char *command, std::initializer_list<Param> params = {});

// The error code of the last command.
int32_t error_code(int32_t handle);

// The text of an error code, or "Erro " and the code when it has none.
std::string error_text(int32_t code);
// A notice with error_text(code).
void show_error_text(int32_t code);
// A notice with the code as bare decimal digits.
void show_error_number(int32_t code);

// The judgments.  Each shows its messages and answers true only when the
// command ran (answer above 0) and its error code is 0.
//
// Usual: answer 0 or less: the error code as a number; error code not 0: its
// text.
bool judge(int32_t handle, int32_t answer);
// Command check: a negative answer: the answer's text (the error code is not
// read); answer 0: the error code's text whatever the code; answer above 0:
// the error code's text when it is not 0.
bool judge_command_check(int32_t handle, int32_t answer);
// Payment check: answer above 0: the error code's text when it is not 0;
// answer 0 or less: the error code's text whatever the code.
bool judge_payment_check(int32_t handle, int32_t answer);

// Read-back of a register value into sRetornoDllG2.
// Sets sRetornoDllG2 to 50 blanks.
void clear_read_back();
// DLLG2_Retorno(handle, 0, value_name, 4000, sRetornoDllG2, 50); returns the
// text up to its first NUL, at most 50 characters.
const std::string &read_back(int32_t handle, const char *value_name);

}  // namespace kalpo::dllg2
