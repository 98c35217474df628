// The port names the command driver (and its file generator) accept: "COM1"
// to "COM256" and "USB", in any letter case.  Header-only: both libraries
// compile it.
#pragma once

#include <string>
#include <string_view>

namespace dllg2 {

inline std::string port_name(std::string_view port) {
  std::string name(port);
  for (char &c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

inline bool known_port(std::string_view port) {
  const std::string name = port_name(port);
  if (name == "USB") return true;
  if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, "COM") != 0 || name[3] == '0') return false;
  int number = 0;
  for (char c : name.substr(3)) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return number >= 1 && number <= 256;
}

}  // namespace dllg2
