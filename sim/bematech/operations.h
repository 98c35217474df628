// The calls that BEMAFI32 and CONVECF take alike: each runs one call of the
// named library and function and returns its code (see conventions.h).
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "bematech/conventions.h"
#include "core/printer.h"

namespace bema {

struct Call {
  std::string_view library, function;
};

// Fiscal coupon.
std::int32_t open_coupon(Call call, const char *document, const char *name, const char *address);
// Sells the item that `read(session, item)` reads from the call's
// arguments, or answers its refusal.
template <typename Read>
std::int32_t sell(Call call, Read read) {
  return command(call.library, call.function, [&](ksim::Session &session, bool) -> Result {
    ksim::Item item;
    ksim::Outcome outcome = read(session, item);
    return outcome == ksim::Outcome::ok ? session.sell(std::move(item)) : outcome;
  });
}
std::int32_t start_closing(Call call, const char *kind, const char *type, const char *value);
std::int32_t pay(Call call, const char *form, const char *value);
std::int32_t close_coupon(Call call, const char *message);
std::int32_t cancel_item(Call call, const char *item);
std::int32_t cancel_coupon(Call call);

// Linked voucher and report text.
std::int32_t open_voucher(Call call, const char *form, const char *value, const char *coo);
std::int32_t print_text(Call call, const char *text);
std::int32_t close_voucher(Call call);
// Prints a text in the open voucher or report, a printer line for each of
// its lines (CR LF, LF or a lone CR ending one).
ksim::Outcome print_lines(ksim::Session &session, std::string_view text);

// Day.
std::int32_t x_reading(Call call);
std::int32_t z_reduction(Call call, const char *date, const char *time);

// Identification and counters, in fixed-width buffers.
std::int32_t coupon_number(Call call, char *buffer);
std::int32_t serial_number(Call call, char *buffer, std::size_t width);
std::int32_t firmware(Call call, char *buffer, std::size_t width);

}  // namespace bema
