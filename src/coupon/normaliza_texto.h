// Cleaning of a promotional text before it goes to the command-driver
// printers: accented letters become plain ones and a few punctuation marks
// become spaces.  Windows-1252 in, a text of the same length out.
#pragma once

#include <string>
#include <string_view>

namespace kalpo::coupon {

std::string normaliza_texto(std::string_view text);

}  // namespace kalpo::coupon
