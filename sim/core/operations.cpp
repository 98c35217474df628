// The table of operations, by their journal names.
#include "core/internal.h"

namespace ksim {

const Operation *find_operation(std::string_view name) {
#define KSIM_ENTRY(op, printing) Operation{#op, &ops::op, printing},
  static const Operation table[] = {KSIM_OPERATIONS(KSIM_ENTRY)};
#undef KSIM_ENTRY
  for (const Operation &operation : table)
    if (operation.name == name) return &operation;
  return nullptr;
}

bool arg_int(const Command &command, std::size_t index, std::int64_t &value) {
  return index < command.args.size() && parse_int(command.args[index], value);
}

std::string arg_text(const Command &command, std::size_t index) {
  return index < command.args.size() ? command.args[index] : std::string();
}

}  // namespace ksim
