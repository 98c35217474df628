#include "common/ports.h"

#include "common/readers.h"

namespace common {

std::string port_name(std::string_view port) {
  std::string name(port);
  for (char &c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

std::optional<int> com_port(std::string_view name) {
  if (name.size() < 4 || port_name(name.substr(0, 3)) != "COM") return std::nullopt;
  const Number number = digits(name.substr(3), 1, 9);
  return number ? std::optional(int(*number)) : std::nullopt;
}

bool known_port(std::string_view port) {
  if (port_name(port) == "USB") return true;
  const std::optional<int> number = com_port(port);
  return number && port[3] != '0' && *number >= 1 && *number <= 256;
}

}  // namespace common
