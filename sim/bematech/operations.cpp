// The calls BEMAFI32 and CONVECF take alike.
#include "bematech/operations.h"

#include "bematech/fields.h"

namespace bema {
namespace {

using common::digits;
using common::text;
using ksim::Outcome;
using ksim::Session;

constexpr std::size_t kCouponNumberWidth = 6;
constexpr std::size_t kMessageMax = 384;  // eight lines of 48 columns

// A customer text, blanks around it dropped (a lone blank is no text).
std::string_view customer(const char *argument) {
  std::string_view value = text(argument);
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  return value;
}

template <typename Op>
std::int32_t simple(Call call, Op op) {
  return command(call.library, call.function, [&](Session &session, bool) -> Result { return op(session); });
}

// A query that writes `value` of the printer's state over a buffer of `width`.
template <typename Value>
std::int32_t identification(Call call, char *buffer, std::size_t width, Value value) {
  return query(call.library, call.function, [&](Session &session, bool unreadable) -> Result {
    if (!buffer) return Outcome::invalid_argument;
    std::string answer = value(session.state());
    put_text(buffer, width, unreadable ? common::garbled(answer) : answer);
    return Outcome::ok;
  });
}

}  // namespace

std::int32_t open_coupon(Call call, const char *document, const char *name, const char *address) {
  return simple(call, [&](Session &session) {
    std::string_view id = customer(document), who = customer(name), where = customer(address);
    if (id.size() > 29 || who.size() > 30 || where.size() > 80) return Outcome::invalid_argument;
    return session.open_coupon(id, who, where);
  });
}

std::int32_t start_closing(Call call, const char *kind, const char *type, const char *value) {
  return simple(call, [&](Session &session) { return start_closing(session, text(kind), text(type), text(value)); });
}

std::int32_t pay(Call call, const char *form, const char *value) {
  return simple(call, [&](Session &session) {
    auto cents = digits(text(value), 12, 14);
    if (!form || !cents) return Outcome::invalid_argument;
    const ksim::PaymentForm *programmed = session.form_by_name(form);
    return programmed ? session.pay(programmed->index, *cents) : Outcome::form_not_programmed;
  });
}

std::int32_t close_coupon(Call call, const char *message) {
  return simple(call, [&](Session &session) {
    std::string_view lines = text(message);
    return lines.size() > kMessageMax ? Outcome::invalid_argument : session.close_coupon(lines);
  });
}

std::int32_t cancel_item(Call call, const char *item) {
  return simple(call, [&](Session &session) {
    auto number = digits(text(item), 1, 3);
    return number ? session.cancel_item(int(*number)) : Outcome::invalid_argument;
  });
}

std::int32_t cancel_coupon(Call call) {
  return simple(call, [](Session &session) { return session.cancel_coupon(); });
}

std::int32_t open_voucher(Call call, const char *form, const char *value, const char *coo) {
  return simple(call, [&](Session &session) {
    auto cents = digits(text(value), 14, 14);
    std::optional<std::int64_t> coupon;
    if (!text(coo).empty() && !(coupon = digits(text(coo), 1, 6).optional())) return Outcome::invalid_argument;
    if (!form || !cents) return Outcome::invalid_argument;
    const ksim::PaymentForm *programmed = session.form_by_name(form);
    if (!programmed) return Outcome::form_not_programmed;
    std::optional<std::uint32_t> linked;
    if (coupon) linked = std::uint32_t(*coupon);
    return session.open_voucher(programmed->index, *cents, linked);
  });
}

Outcome print_lines(Session &session, std::string_view text) {
  std::string lines(text);
  for (std::size_t at = 0; (at = lines.find('\r', at)) != std::string::npos; ++at) {
    if (at + 1 == lines.size() || lines[at + 1] != '\n') lines[at] = '\n';  // a lone CR breaks the line too
  }
  return session.print_line(lines);
}

std::int32_t print_text(Call call, const char *lines) {
  return simple(call, [&](Session &session) { return print_lines(session, text(lines)); });
}

std::int32_t close_voucher(Call call) {
  return simple(call, [](Session &session) { return session.close_voucher(); });
}

std::int32_t x_reading(Call call) {
  return simple(call, [](Session &session) { return session.x_reading(); });
}

std::int32_t z_reduction(Call call, const char *date, const char *time) {
  return simple(call, [&](Session &session) {
    // A date "dd/mm/yy" and a time "hh:mm:ss" given with the reduction set
    // the printer's clock.
    std::optional<ksim::DateTime> clock;
    if (!text(date).empty() || !text(time).empty()) {
      clock = common::date_time(std::string(text(date)) + " " + std::string(text(time)), "dd/mm/yy hh:nn:ss");
      if (!clock) return Outcome::invalid_argument;
    }
    Outcome outcome = session.z_reduction();
    if (outcome != Outcome::ok || !clock) return outcome;
    return session.set_clock_offset(session.state().clock_offset + (ksim::from_civil(*clock) - session.now()));
  });
}

std::int32_t coupon_number(Call call, char *buffer) {
  return identification(call, buffer, kCouponNumberWidth,
                        [](const ksim::State &state) { return common::padded(state.coo, kCouponNumberWidth); });
}

std::int32_t serial_number(Call call, char *buffer, std::size_t width) {
  return identification(call, buffer, width, [](const ksim::State &state) { return state.identity.serial; });
}

std::int32_t firmware(Call call, char *buffer, std::size_t width) {
  return identification(call, buffer, width, [](const ksim::State &state) { return state.identity.firmware; });
}

}  // namespace bema
