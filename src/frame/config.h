// The configuration file, read afresh at every use and never written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kalpo::frame::config {

inline constexpr std::string_view kFile = "c:\\zantrello\\configs\\kalpo.ini";
inline constexpr std::string_view kSection = "ECF";

// A key of section "ECF": the default when the file, section or key is
// missing; "" when the key is present but empty.
std::string read(std::string_view key, std::string_view fallback);
// "VELOCIDADE"-style integer reading: the default when not an integer.
int32_t read_int(std::string_view key, int32_t fallback);

// The digits right after a leading "COM" (any letter case) of a "PORTACOM"
// value; none when it does not start so.
std::string_view com_digits(std::string_view portacom);

// "DESATIVAFACA" is exactly "S".
bool paper_handling_on();

}  // namespace kalpo::frame::config
