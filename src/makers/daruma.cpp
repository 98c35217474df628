// Daruma: the printer's status and its extended error code after the last
// command.  The extended error alone decides; a number of 1 or more is an
// error and gets one notice.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "base/cp1252.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "frame/state.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "seam/seam.h"

namespace kalpo::makers {
namespace {

constexpr std::size_t kExtendedErrorLength = 4;

std::string_view error_text(int32_t number) {
  return find_text(tables::daruma_errors(), number).value_or(std::string_view());
}

// Status bytes are kept in the module state and not examined.
void read_status(DarumaStatus &daruma) {
  daruma.ack = daruma.st1 = daruma.st2 = 0;
  daruma.status_return = seam::api().Daruma_FI_RetornoImpressora(&daruma.ack, &daruma.st1, &daruma.st2);
}

// The extended error text as the library wrote it, never read past its
// four characters.
void read_extended_error(DarumaStatus &daruma) {
  char buffer[kExtendedErrorLength + 1] = "    ";
  daruma.error_return = seam::api().Daruma_FI_RetornaErroExtendido(buffer);
  daruma.extended_error.assign(buffer, strnlen(buffer, kExtendedErrorLength));
}

}  // namespace

bool analisa_ret_daruma() {
  DarumaStatus &daruma = state().daruma;
  read_status(daruma);
  read_extended_error(daruma);

  const std::optional<int32_t> number =
      base::ascii::parse_integer<int32_t>(base::ascii::trim_spaces_and_controls(daruma.extended_error));
  if (!number) {
    msg::release_input();
    report_unreadable_answer(daruma.extended_error);
    return false;
  }
  if (*number < 1) return true;

  msg::release_input();
  msg::notice(std::string(own::kPrinterErrorNumber.text) + std::to_string(*number) + "\r\n" +
              std::string(error_text(*number)));
  return false;
}

}  // namespace kalpo::makers
