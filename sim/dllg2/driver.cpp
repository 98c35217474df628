#include "dllg2/driver.h"

#include <ctime>

namespace dllg2 {

ksim::Printer &printer() { return ksim::Printer::of("dllg2"); }

Drivers &drivers() { return printer().local<Drivers>(); }

void log(const Drivers &d, std::string_view line) {
  if (d.log_path.empty()) return;
  char stamp[32] = "";
  const std::time_t now = std::time(nullptr);
  if (const std::tm *t = std::localtime(&now)) std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", t);
  // One line an entry: line breaks inside texts are written as \r and \n.
  std::string entry = stamp;
  for (char c : line) entry += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  entry += '\n';
  ksim::append_log_line(d.log_path, entry, log_limit);
}

}  // namespace dllg2
