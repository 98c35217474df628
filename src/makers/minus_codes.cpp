// ecf32m: the explanation of the minus code in a failed command's return
// text.  Each explanation carries the code with its sign.
#include "base/cp1252.h"
#include "frame/messages.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"

namespace kalpo::makers {
namespace {

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// The code is the two digits at positions 5 and 6; a text without them, or a
// code without an explanation, shows nothing.
void analisa_texto_ret_ecf32m(std::string_view text) {
  if (text.size() < 6 || !is_digit(text[4]) || !is_digit(text[5])) return;
  int32_t number = (text[4] - '0') * 10 + (text[5] - '0');
  if (auto message = find_text(tables::minus_codes(), number)) msg::notice(*message);
}

}  // namespace kalpo::makers
