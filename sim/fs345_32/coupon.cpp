// The fiscal coupon: opening, items, total, payments, closing and the
// cancellations.
#include "fs345_32/answer.h"
#include "fs345_32/fields.h"

using fs345::Reply;
using ksim::Session;

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_AbreCupomFiscal(std::int32_t modo) {
  return fs345::run("DAR_AbreCupomFiscal", modo, [](Session &s) { return fs345::reply(s.open_coupon(), s); });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_DescPreUn3dF53(
    const char *aliquota, const char *codigo, std::int32_t tipo_desconto, const char *desconto, const char *preco,
    const char *quantidade, const char *unidade, const char *descricao, std::int32_t modo) {
  return fs345::run("DAR_DescPreUn3dF53", modo, [&](Session &s) {
    ksim::Item item;
    item.code = common::text(codigo);
    item.description = common::text(descricao);
    item.unit = common::text(unidade);
    const Reply bad = fs345::read_item(s, item, {aliquota, tipo_desconto, desconto, preco, quantidade});
    return bad.error >= 0 ? bad : fs345::reply(s.sell(item), s);
  });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_Totaliza(std::int32_t tipo, const char *valor,
                                                                         std::int32_t modo) {
  return fs345::run("DAR_Totaliza", modo, [&](Session &s) {
    // '1' discount, '0' surcharge, by value in hundredths.
    if (tipo != '0' && tipo != '1') return fs345::refuse(fs345::invalid_character);
    const common::Number amount = common::digits(common::text(valor), 1, 15);
    if (!amount.ok()) return fs345::refuse(fs345::field_error(amount));
    return fs345::reply(s.start_closing(tipo == '1' ? -amount.value : amount.value), s);
  });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_DescFormPag(char forma, const char *valor,
                                                                            const char *texto, std::int32_t modo) {
  return fs345::run("DAR_DescFormPag", modo, [&](Session &s) {
    const ksim::PaymentForm *form = nullptr;
    const Reply bad = fs345::read_form(s, forma, fs345::form_invalid, form);
    if (bad.error >= 0) return bad;
    const common::Number amount = common::digits(common::text(valor), 1, 15);
    if (!amount.ok()) return fs345::refuse(fs345::field_error(amount));
    if (amount.value == 0) return fs345::refuse(fs345::zero_field);
    if (common::text(texto).size() > 40) return fs345::refuse(fs345::syntax);
    return fs345::reply(s.pay(form->index, amount.value), s);
  });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_FechaCupom(const char *mensagem, std::int32_t modo) {
  return fs345::run("DAR_FechaCupom", modo,
                    [&](Session &s) { return fs345::reply(s.close_coupon(common::text(mensagem)), s); });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_CancelaItem(const char *item, std::int32_t modo) {
  return fs345::run("DAR_CancelaItem", modo, [&](Session &s) {
    const common::Number number = common::digits(common::text(item), 1, 15);
    if (!number.ok()) return fs345::refuse(fs345::field_error(number));
    if (number.value == 0 || number.value > 999) return fs345::refuse(fs345::item_not_found);
    return fs345::reply(s.cancel_item(int(number.value)), s);
  });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_LeEstadoDoc(std::int32_t modo) {
  return fs345::run(
      "DAR_LeEstadoDoc", modo, [](Session &s) { return fs345::done(fs345::document_state(s)); }, ksim::Call::query);
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_CancelaDoc(std::int32_t modo) {
  return fs345::run("DAR_CancelaDoc", modo, [](Session &s) { return fs345::reply(s.cancel_coupon(), s); });
}
