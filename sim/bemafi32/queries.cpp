// BEMAFI32: identification, counters and totals, in fixed-width buffers.
#include "bemafi32/library.h"

using bemafi32::at;

namespace {

using bema::put_number;
using common::padded;
using ksim::Outcome;
using ksim::Session;

constexpr std::size_t kRates = 16, kRateWidth = 4, kTotalWidth = 14, kGrandTotalWidth = 18;

// A query whose buffers must all be given.
template <typename Op>
std::int32_t read(std::string_view function, std::initializer_list<const char *> buffers, Op op) {
  return bema::query(bemafi32::kLibrary, function, [&](Session &session, bool unreadable) -> bema::Result {
    for (const char *buffer : buffers) {
      if (!buffer) return Outcome::invalid_argument;
    }
    op(session, unreadable);
    return Outcome::ok;
  });
}

ksim::Cents day_total(const ksim::State &state, std::string_view code) {
  for (const auto &[rate, total] : state.day_per_rate) {
    if (rate == code) return total;
  }
  return 0;
}

// The day's partial totalizers, 14 digits each, separated by commas: the
// taxed rates 01 to 16, substitution, exempt, non-incidence, cancellations,
// discounts, surcharges, gross sales; then the grand total in 18 digits.
std::string partial_totals(const Session &session) {
  const ksim::State &state = session.state();
  std::string totals;
  auto add = [&](ksim::Cents value, std::size_t width) {
    totals += (totals.empty() ? "" : ",") + padded(value, width);
  };
  for (int index = 1; index <= int(kRates); ++index) {
    const ksim::Rate *rate = session.rate_by_index(index);
    add(rate ? day_total(state, rate->code) : 0, kTotalWidth);
  }
  for (const char *code : {"FF", "II", "NN"}) add(day_total(state, code), kTotalWidth);
  for (ksim::Cents value : {state.day_cancellations, state.day_discounts, state.day_surcharges, state.day_gross}) {
    add(value, kTotalWidth);
  }
  add(state.grand_total, kGrandTotalWidth);
  return totals;
}

// The programmed taxed rates 01 to 16, four digits each (hundredths of a
// percent, "0000" where none), separated by commas.
std::string rates(const Session &session) {
  std::string table;
  for (int index = 1; index <= int(kRates); ++index) {
    const ksim::Rate *rate = session.rate_by_index(index);
    table += (index > 1 ? "," : "") + padded(rate ? rate->basis_points : 0, kRateWidth);
  }
  return table;
}

// Writes `value` over `width`, its digits as question marks when unreadable.
void put_digits(char *buffer, std::size_t width, const std::string &value, bool unreadable) {
  bema::put_text(buffer, width, unreadable ? common::garbled(value) : value);
}

}  // namespace

BEMA_EXPORT Bematech_FI_NumeroCupom(char *numero) { return bema::coupon_number(at(__func__), numero); }

// The MP-20 keeps a 15-character serial number: the last 15 characters.
BEMA_EXPORT Bematech_FI_NumeroSerie(char *numero) { return bema::serial_number(at(__func__), numero, 15); }

BEMA_EXPORT Bematech_FI_NumeroSerieMFD(char *numero) { return bema::serial_number(at(__func__), numero, 20); }

BEMA_EXPORT Bematech_FI_VersaoFirmware(char *versao) { return bema::firmware(at(__func__), versao, 10); }

BEMA_EXPORT Bematech_FI_GrandeTotal(char *total) {
  return read(__func__, {total}, [&](const Session &session, bool unreadable) {
    put_number(total, kGrandTotalWidth, session.state().grand_total, unreadable);
  });
}

// Date "ddmmyy" and time "hhmmss" of the printer's clock.
BEMA_EXPORT Bematech_FI_DataHoraImpressora(char *data, char *hora) {
  return read(__func__, {data, hora}, [&](const Session &session, bool unreadable) {
    ksim::DateTime now = ksim::civil(session.now());
    put_digits(data, 6, padded(now.day, 2) + padded(now.month, 2) + padded(now.year % 100, 2), unreadable);
    put_digits(hora, 6, padded(now.hour, 2) + padded(now.minute, 2) + padded(now.second, 2), unreadable);
  });
}

BEMA_EXPORT Bematech_FI_RetornoAliquotas(char *aliquotas) {
  return read(__func__, {aliquotas}, [&](const Session &session, bool unreadable) {
    put_digits(aliquotas, kRates * (kRateWidth + 1) - 1, rates(session), unreadable);
  });
}

BEMA_EXPORT Bematech_FI_VerificaTotalizadoresParciais(char *totais) {
  return read(__func__, {totais}, [&](const Session &session, bool unreadable) {
    std::string totals = partial_totals(session);
    put_digits(totais, totals.size(), totals, unreadable);
  });
}
