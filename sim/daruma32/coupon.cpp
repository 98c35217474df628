// The fiscal coupon: open, sell, start of closing, payment, close, cancel.
#include <cstdio>

#include "daruma32/daruma.h"

using daruma::text;
using ksim::Outcome;
using ksim::Session;

namespace {

// An amount with two decimals ("1.000,50") in cents.
std::optional<ksim::Cents> cents(const char *value) { return daruma::regional(text(value), 2); }

// The unit price with `decimals` decimals, in thousandths.
std::optional<ksim::Milli> unit_price(const char *value, std::int32_t decimals) {
  if (decimals < 2 || decimals > 3) return std::nullopt;
  auto price = daruma::regional(text(value), decimals);
  return price ? std::optional(common::rescaled(*price, decimals, 3)) : std::nullopt;
}

// The item discount: "$" an amount, "%" a percentage of the item's total.
std::optional<ksim::Cents> item_discount(std::string_view kind, const char *value, const ksim::Item &item) {
  auto amount = cents(value);
  if (!amount || (kind != "$" && kind != "%")) return std::nullopt;
  if (kind == "$") return amount;
  return common::percent_of(common::gross(item.quantity, item.unit_price), *amount);
}

Outcome sell(Session &session, const char *code, const char *description, const char *rate_code,
             const char *quantity_kind, const char *quantity, std::int32_t decimals, const char *price,
             const char *discount_kind, const char *discount) {
  const ksim::Rate *rate = daruma::rate(session, text(rate_code));
  if (!rate) return Outcome::rate_not_programmed;
  std::string_view kind = text(quantity_kind);
  auto thousandths = daruma::regional(text(quantity), 3);
  auto unit = unit_price(price, decimals);
  if ((kind != "I" && kind != "F") || !thousandths || !unit || (kind == "I" && *thousandths % 1000 != 0))
    return Outcome::invalid_argument;
  ksim::Item item;
  item.code = text(code);
  item.description = text(description);
  item.unit = "UN";
  item.rate = rate->code;
  item.quantity = *thousandths;
  item.unit_price = *unit;
  auto off = item_discount(text(discount_kind), discount, item);
  if (!off) return Outcome::invalid_argument;
  item.discount = *off;
  return session.sell(std::move(item));
}

Outcome start_closing(Session &session, std::string_view which, std::string_view kind, const char *value) {
  auto amount = cents(value);
  bool discount = which == "D" || which == "d";
  if (!amount || (!discount && which != "A" && which != "a") || (kind != "$" && kind != "%"))
    return Outcome::invalid_argument;
  if (kind == "%") return session.start_closing_percent(int(*amount), discount);
  return session.start_closing(discount ? -*amount : *amount);
}

}  // namespace

extern "C" {

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_AbreCupom(const char *cpf) {
  return daruma::command("Daruma_FI_AbreCupom", [&](Session &s) { return s.open_coupon(text(cpf)); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_NumeroCupom(char *numero) {
  return daruma::query("Daruma_FI_NumeroCupom", [&](Session &s) {
    if (!numero) return Outcome::invalid_argument;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06u", unsigned(s.state().coo % 1000000));
    daruma::put(numero, digits, 6);
    return Outcome::ok;
  });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_VendeItem(const char *codigo, const char *descricao,
                                                                     const char *aliquota, const char *tipo_quantidade,
                                                                     const char *quantidade,
                                                                     std::int32_t casas_decimais,
                                                                     const char *valor_unitario,
                                                                     const char *tipo_desconto, const char *desconto) {
  return daruma::command("Daruma_FI_VendeItem", [&](Session &s) {
    return sell(s, codigo, descricao, aliquota, tipo_quantidade, quantidade, casas_decimais, valor_unitario,
                tipo_desconto, desconto);
  });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_IniciaFechamentoCupom(const char *acrescimo_desconto,
                                                                                 const char *tipo, const char *valor) {
  return daruma::command("Daruma_FI_IniciaFechamentoCupom",
                         [&](Session &s) { return start_closing(s, text(acrescimo_desconto), text(tipo), valor); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_EfetuaFormaPagamento(const char *forma, const char *valor) {
  return daruma::command("Daruma_FI_EfetuaFormaPagamento", [&](Session &s) {
    const ksim::PaymentForm *form = daruma::form(s, text(forma));
    auto amount = cents(valor);
    if (!form) return Outcome::form_not_programmed;
    return amount ? s.pay(form->index, *amount) : Outcome::invalid_argument;
  });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_TerminaFechamentoCupom(const char *mensagem) {
  return daruma::command("Daruma_FI_TerminaFechamentoCupom",
                         [&](Session &s) { return s.close_coupon(text(mensagem)); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_CancelaCupom() {
  return daruma::command("Daruma_FI_CancelaCupom", [](Session &s) { return s.cancel_coupon(); });
}

}  // extern "C"
