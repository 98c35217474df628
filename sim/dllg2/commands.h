// The driver's commands as a table: each command's name, the schema of its
// named parameters and the handler that runs it on the fiscal core.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/printer.h"
#include "dllg2/answers.h"

namespace dllg2 {

// Type codes of DLLG2_AdicionaParam.
namespace type {
inline constexpr int integer = 0;  // numbers of items and coupons, flags
inline constexpr int code = 4;     // codes of rates, payment forms, reports
inline constexpr int number = 5;   // integers written to registers
inline constexpr int decimal = 6;  // amounts and quantities
inline constexpr int text = 7;
inline constexpr int choice = 9;  // TRUE/FALSE and small settings
}  // namespace type

// Paper lengths ("Avanco", "EspacamentoDocumentos") are given in dot rows;
// a printed line is this many of them.
inline constexpr std::int64_t dots_per_line = 24;

// The form a parameter's value must have.
enum class Form { text, code, decimal, whole, flag, boolean };

struct ParamRule {
  std::string_view name;
  int type = type::text;
  Form form = Form::text;
  bool required = false;
  int missing_code = code::missing_parameter;  // the code when a required one is absent
};

// The validated parameters of one command, by name.
class Args {
 public:
  void set(std::string_view name, std::string value) { values_[std::string(name)] = std::move(value); }
  bool has(std::string_view name) const { return values_.find(std::string(name)) != values_.end(); }
  // The value, or `fallback` when the parameter was not given.
  std::string get(std::string_view name, std::string_view fallback = {}) const;

 private:
  std::map<std::string, std::string> values_;
};

// What a handler works with.
struct Context {
  ksim::Session &session;
  const Args &args;
  Returns &returns;
};

// Runs a command whose parameters are valid; answers its error code (0 done).
using Handler = int (*)(Context &);

struct Command {
  std::string_view name;
  std::vector<ParamRule> params;
  ksim::Call call = ksim::Call::command;
  bool starts_document = false;  // a management report still open is closed first
  Handler handler = nullptr;
};

// The groups of the table, one file each.
std::span<const Command> coupon_commands();
std::span<const Command> nonfiscal_commands();
std::span<const Command> register_commands();
std::span<const Command> day_commands();
std::span<const Command> device_commands();

// The command of that name, or null.
const Command *find_command(std::string_view name);

}  // namespace dllg2
