// The fiscal coupon: open, sell, pay, close, cancel an item or the coupon.
#include "interfaceepson/epson.h"

using epson::Reply;
using epson::text;
using ksim::Outcome;
using ksim::Session;
namespace code = epson::code;

namespace {

Reply sell(Session &session, const char *codigo, const char *descricao, const char *quantidade,
           std::int32_t casas_quantidade, const char *unidade, const char *preco, std::int32_t casas_preco,
           const char *aliquota) {
  if (casas_quantidade < 0 || casas_quantidade > 3) return Reply::refuse(code::quantity_digits);
  if (casas_preco < 0 || casas_preco > 3) return Reply::refuse(code::price_digits);
  // Both always in thousandths; their decimals say what the paper shows.
  auto quantity = epson::thousandths(text(quantidade), 3);
  auto price = epson::thousandths(text(preco), 3);
  if (!quantity) return Reply::refuse(code::bad_quantity);
  if (!price) return Reply::refuse(code::bad_price);
  if (text(descricao).empty()) return Reply::refuse(code::blank_description);
  const ksim::Rate *rate = epson::rate(session, text(aliquota));
  if (!rate) return Outcome::rate_not_programmed;
  ksim::Item item;
  item.code = text(codigo);
  item.description = text(descricao);
  item.unit = text(unidade);
  item.rate = rate->code;
  item.quantity = *quantity;
  item.unit_price = *price;
  item.quantity_decimals = casas_quantidade;
  item.price_decimals = casas_preco;
  return session.sell(std::move(item));
}

// The first payment ends the sale of items: the printer totals the coupon
// (this library takes no discount on the subtotal).
Reply pay(Session &session, const char *forma, const char *valor, std::int32_t casas) {
  const ksim::PaymentForm *form = epson::form(session, text(forma));
  if (!form) return Outcome::form_not_programmed;
  int index = form->index;  // the state changes with the total below
  auto amount = epson::thousandths(text(valor), casas);
  if (!amount || *amount % 10 != 0) return Reply::refuse(code::bad_payment);
  const ksim::State &state = session.state();
  if (state.open == ksim::Document::coupon && state.coupon && state.coupon->phase == ksim::Phase::selling) {
    Outcome totalled = session.start_closing(0);
    if (totalled != Outcome::ok) return totalled;
  }
  return session.pay(index, *amount / 10);
}

// The paper after the coupon is cut as the printer's cutter is set.
Reply close(Session &session, std::int32_t cortar, std::int32_t adicional) {
  if ((cortar != 0 && cortar != 1) || (adicional != 0 && adicional != 1)) return Outcome::invalid_argument;
  return session.close_coupon({});
}

Reply cancel_item(Session &session, const char *item) {
  auto number = epson::whole(text(item));
  if (!number || *number < 1) return Reply::refuse(code::bad_item_number);
  return session.cancel_item(*number);
}

}  // namespace

extern "C" {

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_Fiscal_Abrir_Cupom(const char *cpf, const char *nome,
                                                                          const char *endereco, const char *reservado,
                                                                          std::int32_t modo) {
  return epson::command("EPSON_Fiscal_Abrir_Cupom", [&](Session &s) -> Reply {
    if (!text(reservado).empty() || modo < 0 || modo > 1) return Outcome::invalid_argument;
    return s.open_coupon(text(cpf), text(nome), text(endereco));
  });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_Fiscal_Vender_Item(
    const char *codigo, const char *descricao, const char *quantidade, std::int32_t casas_quantidade,
    const char *unidade, const char *preco, std::int32_t casas_preco, const char *aliquota, std::int32_t linhas) {
  return epson::command("EPSON_Fiscal_Vender_Item", [&](Session &s) -> Reply {
    if (linhas < 0 || linhas > 3) return Outcome::invalid_argument;
    return sell(s, codigo, descricao, quantidade, casas_quantidade, unidade, preco, casas_preco, aliquota);
  });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_Fiscal_Pagamento(const char *forma, const char *valor,
                                                                        std::int32_t casas, const char *,
                                                                        const char *) {
  return epson::command("EPSON_Fiscal_Pagamento", [&](Session &s) { return pay(s, forma, valor, casas); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_Fiscal_Fechar_Cupom(std::int32_t cortar,
                                                                           std::int32_t adicional) {
  return epson::command("EPSON_Fiscal_Fechar_Cupom", [&](Session &s) { return close(s, cortar, adicional); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_Fiscal_Cancelar_Item(const char *item) {
  return epson::command("EPSON_Fiscal_Cancelar_Item", [&](Session &s) { return cancel_item(s, item); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_Fiscal_Cancelar_Cupom() {
  return epson::command("EPSON_Fiscal_Cancelar_Cupom", [](Session &s) -> Reply { return s.cancel_coupon(); });
}

}  // extern "C"
