// CONVECF: the fiscal coupon.
#include "convecf/library.h"

using convecf::at;

namespace {

using common::digits;
using common::text;
using ksim::Outcome;

struct ItemArguments {
  const char *code, *description, *rate, *quantity_type, *quantity;
  std::int32_t price_decimals;
  const char *unit_price, *discount_type, *discount;
};

// Quantity in thousandths, up to 7 digits, whatever its type; the type says
// how the paper shows it: "I" whole units when it is whole, "F" (or "I" with
// a fraction) three decimals.
std::optional<ksim::Milli> quantity(std::string_view type, std::string_view value, int &shown_decimals) {
  auto thousandths = digits(value, 1, 7);
  if (!thousandths || (type != "I" && type != "F")) return std::nullopt;
  shown_decimals = type == "I" && *thousandths % 1000 == 0 ? 0 : 3;
  return *thousandths;
}

// Unit price, up to 9 digits with 2 or 3 implied decimals.
std::optional<ksim::Milli> unit_price(std::int32_t decimals, std::string_view value) {
  auto price = digits(value, 1, 9);
  if (!price || (decimals != 2 && decimals != 3)) return std::nullopt;
  return common::rescaled(*price, decimals, 3);
}

// Discount: "$" (or none) in hundredths, up to 8 digits; "%" in hundredths
// of a percent of the item total, up to 4 digits.
std::optional<ksim::Cents> discount(std::string_view type, std::string_view value, ksim::Cents gross) {
  if (type.empty() || type == "$") return digits(value, 1, 8).optional();
  auto basis_points = digits(value, 1, 4);
  if (type != "%" || !basis_points || *basis_points > 10000) return std::nullopt;
  return common::percent_of(gross, *basis_points);
}

// Code up to 14 characters, description up to 29.
Outcome read_item(const ksim::Session &session, const ItemArguments &in, ksim::Item &item) {
  int shown_decimals = 3;
  auto amount = quantity(text(in.quantity_type), text(in.quantity), shown_decimals);
  auto price = unit_price(in.price_decimals, text(in.unit_price));
  if (!amount || *amount == 0 || !price || text(in.code).size() > 14 || text(in.description).empty() ||
      text(in.description).size() > 29) {
    return Outcome::invalid_argument;
  }
  auto off = discount(text(in.discount_type), text(in.discount), common::gross(*amount, *price));
  if (!off) return Outcome::invalid_argument;
  Outcome outcome = Outcome::ok;
  const ksim::Rate *rate = bema::read_rate(session, text(in.rate), outcome);
  if (!rate) return outcome;
  item.code = text(in.code), item.description = text(in.description), item.unit = "UN";
  item.rate = rate->code, item.quantity = *amount, item.unit_price = *price, item.discount = *off;
  item.quantity_decimals = shown_decimals;
  return Outcome::ok;
}

}  // namespace

BEMA_EXPORT ECF_AbreCupomMFD(const char *cpf, const char *nome, const char *endereco) {
  return bema::open_coupon(at(__func__), cpf, nome, endereco);
}

BEMA_EXPORT ECF_VendeItem(const char *codigo, const char *descricao, const char *aliquota, const char *tipo_quantidade,
                          const char *quantidade, std::int32_t casas_decimais, const char *valor_unitario,
                          const char *tipo_desconto, const char *desconto) {
  ItemArguments in{codigo,         descricao,      aliquota,      tipo_quantidade, quantidade,
                   casas_decimais, valor_unitario, tipo_desconto, desconto};
  return bema::sell(at(__func__),
                    [&](const ksim::Session &session, ksim::Item &item) { return read_item(session, in, item); });
}

BEMA_EXPORT ECF_IniciaFechamentoCupom(const char *acrescimo_desconto, const char *tipo, const char *valor) {
  return bema::start_closing(at(__func__), acrescimo_desconto, tipo, valor);
}

BEMA_EXPORT ECF_EfetuaFormaPagamento(const char *forma, const char *valor) {
  return bema::pay(at(__func__), forma, valor);
}

BEMA_EXPORT ECF_TerminaFechamentoCupom(const char *mensagem) { return bema::close_coupon(at(__func__), mensagem); }

BEMA_EXPORT ECF_CancelaItemGenerico(const char *item) { return bema::cancel_item(at(__func__), item); }

BEMA_EXPORT ECF_CancelaCupom() { return bema::cancel_coupon(at(__func__)); }
