// BEMAFI32: the fiscal day and the fiscal-memory readings.
#include "bemafi32/library.h"

using bemafi32::at;

namespace {

using common::digits;
using common::text;
using ksim::Outcome;
using ksim::Session;

// An amount "0", "150" or "1,50": whole reais, or reais and two decimals.
std::optional<ksim::Cents> amount(std::string_view value) {
  static constexpr common::DecimalForm kFund{",", 2, true, false, false, 14};
  return common::decimal(value, kFund, 2);
}

// A date "dd/mm/yyyy" or "dd/mm/yy" as "YYYY-MM-DD".
std::optional<std::string> read_date(std::string_view value) {
  std::optional<ksim::DateTime> when = common::date_time(value, "dd/mm/yyyy");
  if (!when) when = common::date_time(value, "dd/mm/yy");
  return when ? std::optional(common::iso_date(*when)) : std::nullopt;
}

template <typename Op>
std::int32_t run(std::string_view function, Op op) {
  return bema::command(bemafi32::kLibrary, function,
                       [&](Session &session, bool) -> bema::Result { return op(session); });
}

}  // namespace

BEMA_EXPORT Bematech_FI_LeituraX() { return bema::x_reading(at(__func__)); }

BEMA_EXPORT Bematech_FI_ReducaoZ(const char *data, const char *hora) {
  return bema::z_reduction(at(__func__), data, hora);
}

// The opening fund and its payment form; a fund of 0 takes no form ("-").
BEMA_EXPORT Bematech_FI_AberturaDoDia(const char *valor, const char *forma) {
  return run(__func__, [&](Session &session) {
    auto fund = amount(text(valor));
    if (!fund) return Outcome::invalid_argument;
    if (*fund == 0) return session.open_day();
    const ksim::PaymentForm *programmed = session.form_by_name(text(forma));
    return programmed ? session.open_day(*fund, programmed->index) : Outcome::form_not_programmed;
  });
}

BEMA_EXPORT Bematech_FI_LeituraMemoriaFiscalData(const char *inicio, const char *fim) {
  return run(__func__, [&](Session &session) {
    auto from = read_date(text(inicio)), to = read_date(text(fim));
    return from && to ? session.memory_by_date(*from, *to) : Outcome::invalid_argument;
  });
}

BEMA_EXPORT Bematech_FI_LeituraMemoriaFiscalReducao(const char *inicio, const char *fim) {
  return run(__func__, [&](Session &session) {
    auto from = digits(text(inicio), 1, 4), to = digits(text(fim), 1, 4);
    return from && to ? session.memory_by_crz(int(*from), int(*to)) : Outcome::invalid_argument;
  });
}
