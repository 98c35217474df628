#include "dllg2/params.h"

#include <algorithm>

#include "dllg2/values.h"

namespace dllg2 {
namespace {

constexpr std::size_t max_code = 20;

bool has_control(std::string_view text, std::string_view allowed) {
  return std::any_of(text.begin(), text.end(), [&](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 || u == 0x7f) && allowed.find(c) == std::string_view::npos;
  });
}

int check_form(Form form, std::string_view value) {
  switch (form) {
    case Form::text: return has_control(value, "\r\n\t") ? code::bad_characters : code::none;
    case Form::code:
      if (has_control(value, {})) return code::bad_characters;
      return value.size() > max_code ? code::bad_value : code::none;
    case Form::decimal: return is_decimal(value) ? code::none : code::bad_value;
    case Form::whole: return whole(value) ? code::none : code::bad_value;
    case Form::flag: return value == "T" || value == "F" ? code::none : code::bad_value;
    case Form::boolean: return value == "TRUE" || value == "FALSE" ? code::none : code::bad_value;
  }
  return code::bad_value;
}

const ParamRule *find_rule(const Command &command, std::string_view name) {
  for (const ParamRule &rule : command.params)
    if (rule.name == name) return &rule;
  return nullptr;
}

}  // namespace

int check_params(const Command &command, const std::vector<Param> &list, bool broken_list, Args &args) {
  if (broken_list) return code::parameter_syntax;
  for (const Param &p : list) {
    const ParamRule *rule = find_rule(command, p.name);
    if (!rule) return code::bad_parameter;
    if (args.has(p.name)) return code::repeated_parameter;
    if (!p.in_command && p.type != rule->type) return code::parameter_syntax;
    if (int error = check_form(rule->form, p.value)) return error;
    args.set(p.name, p.value);
  }
  for (const ParamRule &rule : command.params)
    if (rule.required && !args.has(rule.name)) return rule.missing_code;
  return code::none;
}

}  // namespace dllg2
