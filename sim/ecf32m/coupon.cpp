// The fiscal coupon: opening, items, total, payments, closing, cancelling.
#include "ecf32m/answer.h"
#include "ecf32m/fields.h"

using ecf32m::Reply;
using ksim::Session;

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL AbreCupomFiscal() {
  return ecf32m::run("AbreCupomFiscal", [](Session &s) { return ecf32m::reply(s.open_coupon(), s); });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL VendaItem(std::int32_t tipo_quantidade,
                                                                      const char *quantidade, const char *preco,
                                                                      const char *aliquota, std::int32_t tipo_desconto,
                                                                      const char *desconto, const char *unidade,
                                                                      const char *codigo, std::int32_t tipo_codigo,
                                                                      const char *descricao, const char *complemento) {
  return ecf32m::run("VendaItem", [&](Session &s) {
    ksim::Item item;
    const Reply bad = ecf32m::read_item(s, item,
                                        {tipo_quantidade, quantidade, preco, aliquota, tipo_desconto, desconto, unidade,
                                         codigo, tipo_codigo, descricao, complemento});
    return bad.error >= 0 ? bad : ecf32m::reply(s.sell(item), s, ecf32m::already_totalled);
  });
}

// operacao 0 discount, 1 surcharge; tipo '&' value in hundredths, '%'
// percent with two decimals; the amount in 15 digits.
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL TotalizarCupom(std::int32_t operacao, std::int32_t tipo,
                                                                           const char *valor, const char *texto) {
  return ecf32m::run("TotalizarCupom", [&](Session &s) {
    if (operacao != 0 && operacao != 1) return ecf32m::refuse(ecf32m::sign);
    if (tipo != '&' && tipo != '%') return ecf32m::refuse(ecf32m::sign_field);
    const common::Number amount = common::digits(common::text(valor), 15);
    if (!amount.ok()) return ecf32m::refuse(ecf32m::field_error(amount));
    if (common::text(texto).size() > 40) return ecf32m::refuse(ecf32m::too_long);
    const bool discount = operacao == 0;
    const ksim::Outcome outcome = tipo == '&' ? s.start_closing(discount ? -amount.value : amount.value)
                                              : s.start_closing_percent(int(amount.value), discount);
    return ecf32m::reply(outcome, s, ecf32m::already_totalled);
  });
}

// The form by name or index, the amount in 15 digits of hundredths, and the
// character code '0' (or '1').
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Pagamento(const char *forma, const char *valor,
                                                                      std::int32_t modo) {
  return ecf32m::run("Pagamento", [&](Session &s) {
    if (modo != '0' && modo != '1') return ecf32m::refuse(ecf32m::syntax);
    const ksim::PaymentForm *form = ecf32m::form_of(s, common::text(forma));
    if (!form) return ecf32m::refuse(ecf32m::form_not_programmed);
    const common::Number amount = common::digits(common::text(valor), 15);
    if (!amount.ok()) return ecf32m::refuse(ecf32m::field_error(amount));
    if (amount.value == 0) return ecf32m::refuse(ecf32m::syntax);
    return ecf32m::reply(s.pay(form->index, amount.value), s, ecf32m::total_first);
  });
}

// The header is "S" followed by the message's length in characters; the
// message has at most eight lines.
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL FechaCupomFiscal(const char *cabecalho,
                                                                             const char *mensagem) {
  return ecf32m::run("FechaCupomFiscal", [&](Session &s) {
    const std::string_view header = common::text(cabecalho), message = common::text(mensagem);
    const common::Number length = common::digits(header.substr(header.empty() ? 0 : 1), 1, 15);
    if (header.empty() || header[0] != 'S' || !length.ok() || std::size_t(length.value) != message.size())
      return ecf32m::refuse(ecf32m::syntax);
    if (ecf32m::line_count(message) > 8) return ecf32m::refuse(ecf32m::too_many_lines);
    return ecf32m::reply(s.close_coupon(message), s, ecf32m::total_first);
  });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL CancelaCupomFiscal() {
  return ecf32m::run("CancelaCupomFiscal", [](Session &s) { return ecf32m::reply(s.cancel_coupon(), s); });
}
