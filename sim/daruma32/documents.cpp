// Non-fiscal documents: the linked voucher, its text, the management report
// and the close of either.
#include "daruma32/daruma.h"

using daruma::text;
using ksim::Outcome;
using ksim::Session;

namespace {

// The voucher's amount when none is given: what is left of the form's
// payments in the last coupon (the printer refuses when nothing is).
ksim::Cents remaining(const Session &session, int form) {
  const auto &coupon = session.state().coupon;
  ksim::Cents left = 0;
  if (coupon)
    for (const ksim::Payment &payment : coupon->payments)
      if (payment.form == form) left += payment.amount - payment.vouchered;
  return left;
}

// The COO of the voucher's coupon: digits, or empty for the last coupon.
struct CouponNumber {
  bool readable = false;
  std::optional<std::uint32_t> coo;  // none: the last coupon
};

CouponNumber coupon_number(std::string_view coo) {
  if (coo.empty()) return {true, std::nullopt};
  const common::Number number = common::digits(coo, 1, 9);
  return number ? CouponNumber{true, std::uint32_t(*number)} : CouponNumber{};
}

Outcome open_voucher(Session &session, const char *forma, const char *valor, const char *coo) {
  const ksim::PaymentForm *form = daruma::form(session, text(forma));
  if (!form) return Outcome::form_not_programmed;
  auto linked = coupon_number(text(coo));
  std::optional<ksim::Cents> amount =
      text(valor).empty() ? remaining(session, form->index) : daruma::regional(text(valor), 2);
  if (!linked.readable || !amount) return Outcome::invalid_argument;
  return session.open_voucher(form->index, *amount, linked.coo);
}

// A text of several lines goes to the paper line by line.
Outcome print_text(Session &session, std::string_view text) {
  do {
    std::size_t end = text.find_first_of("\r\n");
    Outcome outcome = session.print_line(text.substr(0, end));
    if (outcome != Outcome::ok || end == std::string_view::npos) return outcome;
    text.remove_prefix(end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1));
  } while (!text.empty());
  return Outcome::ok;
}

}  // namespace

extern "C" {

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_AbreComprovanteNaoFiscalVinculado(const char *forma,
                                                                                             const char *valor,
                                                                                             const char *coo) {
  return daruma::command("Daruma_FI_AbreComprovanteNaoFiscalVinculado",
                         [&](Session &s) { return open_voucher(s, forma, valor, coo); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_EnviarTextoCNF(const char *texto) {
  return daruma::command("Daruma_FI_EnviarTextoCNF", [&](Session &s) { return print_text(s, text(texto)); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_AbreRelatorioGerencial() {
  return daruma::command("Daruma_FI_AbreRelatorioGerencial", [](Session &s) { return s.open_report(); });
}

// Closes whichever non-fiscal document is open: a voucher or a report.
KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_TEF_FechaRelatorio() {
  return daruma::command("Daruma_TEF_FechaRelatorio", [](Session &s) {
    return s.state().open == ksim::Document::report ? s.close_report() : s.close_voucher();
  });
}

}  // extern "C"
