// Fuzzes the parsers of outside text: the profile reader and writer, the
// text-list split and the Windows-1252 conversions.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/cp1252.h"
#include "base/ini.h"
#include "frame/args.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char *>(data), size);
  std::string value;
  kalpo::base::ini::lookup(input, "ECF", "PORTACOM", value);
  // A key set in any file reads back as set.
  const std::optional<std::string> written = kalpo::base::ini::set(input, "ECF", "PORTACOM", "COM2");
  if (!written || !kalpo::base::ini::lookup(*written, "ECF", "PORTACOM", value) || value != "COM2") __builtin_trap();
  kalpo::frame::split_lines(input);
  std::string utf8 = kalpo::base::cp1252::to_utf8(input);
  if (kalpo::base::cp1252::from_utf8(utf8) != input) __builtin_trap();  // the round trip loses nothing
  return 0;
}
