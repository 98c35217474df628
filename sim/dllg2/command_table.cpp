#include "dllg2/commands.h"

namespace dllg2 {

std::string Args::get(std::string_view name, std::string_view fallback) const {
  const auto it = values_.find(std::string(name));
  return it == values_.end() ? std::string(fallback) : it->second;
}

const Command *find_command(std::string_view name) {
  for (auto group : {coupon_commands, nonfiscal_commands, register_commands, day_commands, device_commands})
    for (const Command &command : group())
      if (command.name == name) return &command;
  return nullptr;
}

}  // namespace dllg2
