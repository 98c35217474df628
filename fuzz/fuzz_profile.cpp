// Fuzzes the configuration file as the library reads it: arbitrary file
// contents on the real drive C, every key read within one call scope, and the
// port settings derived from them.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/ini.h"
#include "frame/config.h"
#include "makers/sessions.h"
#include "platform/platform.h"
#include "seam.h"

using namespace kalpo;
using namespace kalpo::frame;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  fuzz::answer_from(data);
  const std::string key = data.ConsumeRandomLengthString(16);
  const std::string contents = data.ConsumeRemainingBytesAsString();
  fuzz::write_configuration(contents);

  platform::CallScope call;
  for (const char *name : {"PORTACOM", "VELOCIDADE", "PARIDADE", "DESATIVAFACA", "MENSAGEM", key.c_str()}) {
    const std::string value = config::read(name, "\x01");
    // A value is one line, read the same from the call's one reading.
    if (value.find_first_of("\r\n") != std::string::npos) fuzz::violated("a value spans lines");
    if (config::read(name, "\x01") != value) fuzz::violated("a key read twice differs");
    std::string direct;
    const bool found = base::ini::lookup(contents, config::kSection, name, direct);
    if (found ? direct != value : value != "\x01") fuzz::violated("the snapshot and the file disagree");
  }
  config::read_int("VELOCIDADE", 115200);
  config::paper_handling_on();
  const std::string port = config::read("PORTACOM", "COM1");
  makers::dllg2_port_name(port);
  makers::epson_port_number(port);
  makers::serial_settings(makers::SerialSetup::Full);
  return 0;
}
