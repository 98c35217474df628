// The command driver of dllg2: named commands with named, typed
// parameters, and the ways the operations judge their outcome.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace kalpo::makers::dllg2 {

// Parameter type codes.
enum Type : int32_t {
  kNumberOrFlag = 0,  // item and coupon numbers, the flag "F"
  kCode = 4,          // "CodAliquota", "CodMeioPagamento", "CodGerencial"
  kIntegerValue = 5,  // the value written into an integer register ("350")
  kDecimal = 6,       // amounts and quantities
  kText = 7,          // texts and register names
  kOption = 9,        // "TRUE", "FALSE", "250"
};

// How an empty parameter value reaches the driver.
enum class EmptyValue { EmptyText, NullPointer };
inline constexpr EmptyValue kNullWhenEmpty = EmptyValue::NullPointer;

// A parameter value: a terminated text borrowed, never copied, from a string
// or a literal that outlives the call it is handed to.
class Value {
 public:
  Value(const std::string &text) : text_(text) {}
  Value(const char *text) : text_(text ? text : "") {}
  const char *c_str() const { return text_.data(); }
  bool empty() const { return text_.empty(); }

 private:
  std::string_view text_;
};

// A parameter of one command; its value is borrowed, so a Param lives only
// in the list handed to execute.
struct Param {
  const char *name;
  Value value;
  int32_t type;
  EmptyValue empty = EmptyValue::EmptyText;
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

// The judgments, named by what they tell the operator.  Each answers true only
// when the command ran (answer above 0) and its error code is 0.
//
// A command that did not run (answer 0 or less) is told by its error code as
// a bare number; an error code that is not 0, by its text.
bool judge_showing_code_number(int32_t handle, int32_t answer);
// A negative answer is told by its own text (the error code is not read);
// answer 0: the error code's text whatever the code; answer above 0: the
// error code's text when it is not 0.
// QUIRK: answer 0 shows an error text even when the error code is 0.
bool judge_showing_negative_answer(int32_t handle, int32_t answer);
// Every failure is told by the error code's text: answer above 0 when the
// code is not 0; answer 0 or less whatever the code.
bool judge_showing_code_text(int32_t handle, int32_t answer);

// "LeTexto" of a text register, judged by judge_showing_code_number; on
// success the register's value read back into sRetornoDllG2.
std::optional<std::string> read_text_register(int32_t handle, const char *register_name);

// Read-back of a register value into sRetornoDllG2.
// Sets sRetornoDllG2 to 50 blanks.
void clear_read_back();
// DLLG2_Retorno(handle, 0, value_name, 4000, sRetornoDllG2, 50); returns the
// text up to its first NUL, at most 50 characters.
const std::string &read_back(int32_t handle, const char *value_name);

}  // namespace kalpo::makers::dllg2
