// BEMAFI32: the fiscal coupon.
#include "bemafi32/library.h"

using bemafi32::at;

namespace {

using common::digits;
using common::text;
using ksim::Outcome;

struct ItemArguments {
  const char *code, *description, *rate, *unit_price, *quantity, *surcharge, *discount, *department, *unit;
};

// Code up to 49 characters, description up to 29, unit price up to 9 digits
// and quantity up to 7 digits in thousandths, surcharge and discount up to
// 10 digits in hundredths (the printer takes no item surcharge: it must be
// 0), department 1 to 20, unit up to 2 characters.
Outcome read_item(const ksim::Session &session, const ItemArguments &in, ksim::Item &item) {
  auto price = digits(text(in.unit_price), 1, 9), quantity = digits(text(in.quantity), 1, 7);
  auto surcharge = digits(text(in.surcharge), 1, 10), discount = digits(text(in.discount), 1, 10);
  auto department = digits(text(in.department), 1, 2);
  if (!price || !quantity || *quantity == 0 || !surcharge || *surcharge != 0 || !discount || !department ||
      *department < 1 || *department > 20 || text(in.code).size() > 49 || text(in.description).empty() ||
      text(in.description).size() > 29 || text(in.unit).size() > 2) {
    return Outcome::invalid_argument;
  }
  Outcome outcome = Outcome::ok;
  const ksim::Rate *rate = bema::read_rate(session, text(in.rate), outcome);
  if (!rate) return outcome;
  item.code = text(in.code), item.description = text(in.description), item.unit = text(in.unit);
  item.rate = rate->code, item.quantity = *quantity, item.unit_price = *price;
  item.discount = *discount;
  return Outcome::ok;
}

}  // namespace

BEMA_EXPORT Bematech_FI_AbreCupom(const char *cpf) { return bema::open_coupon(at(__func__), cpf, nullptr, nullptr); }

BEMA_EXPORT Bematech_FI_VendeItemDepartamento(const char *codigo, const char *descricao, const char *aliquota,
                                              const char *valor_unitario, const char *quantidade, const char *acrescimo,
                                              const char *desconto, const char *departamento, const char *unidade) {
  ItemArguments in{codigo, descricao, aliquota, valor_unitario, quantidade, acrescimo, desconto, departamento, unidade};
  return bema::sell(at(__func__),
                    [&](const ksim::Session &session, ksim::Item &item) { return read_item(session, in, item); });
}

BEMA_EXPORT Bematech_FI_IniciaFechamentoCupom(const char *acrescimo_desconto, const char *tipo, const char *valor) {
  return bema::start_closing(at(__func__), acrescimo_desconto, tipo, valor);
}

BEMA_EXPORT Bematech_FI_EfetuaFormaPagamento(const char *forma, const char *valor) {
  return bema::pay(at(__func__), forma, valor);
}

BEMA_EXPORT Bematech_FI_TerminaFechamentoCupom(const char *mensagem) {
  return bema::close_coupon(at(__func__), mensagem);
}

BEMA_EXPORT Bematech_FI_CancelaItemGenerico(const char *item) { return bema::cancel_item(at(__func__), item); }

BEMA_EXPORT Bematech_FI_CancelaCupom() { return bema::cancel_coupon(at(__func__)); }
