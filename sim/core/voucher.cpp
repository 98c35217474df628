// The linked credit/debit voucher: tied to a payment form of the last
// coupon, for no more than what that form's payments have left.
#include "core/internal.h"

namespace ksim {
namespace {

Cents remaining(const Coupon &coupon, int form) {
  Cents left = 0;
  for (const Payment &payment : coupon.payments)
    if (payment.form == form) left += payment.amount - payment.vouchered;
  return left;
}

void use(Coupon &coupon, int form, Cents amount) {
  for (Payment &payment : coupon.payments) {
    if (payment.form != form) continue;
    Cents part = std::min(amount, payment.amount - payment.vouchered);
    payment.vouchered += part;
    amount -= part;
  }
}

}  // namespace

Outcome ops::open_voucher(State &s, Printout &, const Command &c) {
  std::int64_t form = 0, amount = 0, coo = 0;
  bool with_coo = !arg_text(c, 2).empty();
  if (!arg_int(c, 0, form) || !arg_int(c, 1, amount) || (with_coo && !arg_int(c, 2, coo)) || amount <= 0)
    return Outcome::invalid_argument;
  if (Outcome o = can_start_document(s, c.when); o != Outcome::ok) return o;
  if (!find_form(s, static_cast<int>(form))) return Outcome::form_not_programmed;
  const std::optional<Coupon> &coupon = s.coupon;
  if (!coupon || !coupon->closed || coupon->cancelled || coupon->day != s.day ||
      (with_coo && coo != coupon->coo) || remaining(*coupon, static_cast<int>(form)) < amount)
    return Outcome::voucher_not_allowed;
  use(*s.coupon, static_cast<int>(form), amount);
  NonFiscal voucher;
  voucher.kind = Document::voucher;
  voucher.coo = begin_document(s);
  voucher.form = static_cast<int>(form);
  voucher.amount = amount;
  voucher.coupon_coo = coupon->coo;
  s.nonfiscal = std::move(voucher);
  s.open = Document::voucher;
  ++s.gnf;
  ++s.ccdc;
  return Outcome::ok;
}

Outcome ops::close_voucher(State &s, Printout &out, const Command &c) {
  if (Outcome o = nonfiscal_is_open(s, Document::voucher); o != Outcome::ok) return o;
  const NonFiscal &voucher = *s.nonfiscal;
  close_nonfiscal(s, out, c.when, "COMPROVANTE CREDITO OU DEBITO", [&](PageBuilder &page) {
    page.pair("COO DO CUPOM FISCAL:", pad_number(voucher.coupon_coo, 6));
    page.pair("FORMA DE PAGAMENTO:", find_form(s, voucher.form)->name);
    page.pair("VALOR DA COMPRA R$", money(voucher.amount));
  });
  return Outcome::ok;
}

Outcome Session::open_voucher(int form, Cents amount, std::optional<std::uint32_t> coo) {
  return impl_->run("open_voucher", {number(form), number(amount), coo ? number(*coo) : std::string()});
}

Outcome Session::close_voucher() { return impl_->run("close_voucher", {}); }

}  // namespace ksim
