// Non-fiscal documents: the linked voucher and the management report, their
// free text and their common closing.
#include "fs345_32/answer.h"
#include "fs345_32/fields.h"

using fs345::Reply;
using ksim::Session;

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_AbreCNFV(char forma, char forma2, const char *coo,
                                                                         const char *valor, std::int32_t modo) {
  return fs345::run("DAR_AbreCNFV", modo, [&](Session &s) {
    // The payment form of the coupon, then the non-fiscal accumulator the
    // voucher is recorded under, both by the form's initial.
    const ksim::PaymentForm *form = nullptr, *accumulator = nullptr;
    Reply bad = fs345::read_form(s, forma, fs345::form_invalid, form);
    if (bad.error < 0) bad = fs345::read_form(s, forma2, fs345::accumulator_invalid, accumulator);
    if (bad.error >= 0) return bad;
    const common::Number number = common::digits(common::text(coo), 1, 15),
                         amount = common::digits(common::text(valor), 13);
    if (!number.ok() || number.value > 999999) return fs345::refuse(fs345::field_error(number));
    if (!amount.ok()) return fs345::refuse(fs345::field_error(amount));
    if (amount.value == 0) return fs345::refuse(fs345::zero_field);
    return fs345::reply(s.open_voucher(form->index, amount.value, std::uint32_t(number.value)), s);
  });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_LinhaX(const char *texto, std::int32_t modo) {
  return fs345::run("DAR_LinhaX", modo, [&](Session &s) {
    if (s.state().open == ksim::Document::none) return fs345::refuse(fs345::document_not_open);
    return fs345::reply(s.print_line(common::text(texto)), s);
  });
}

// Closes the voucher or the report, whichever is open.
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_FechaX(std::int32_t modo) {
  return fs345::run("DAR_FechaX", modo, [](Session &s) {
    switch (s.state().open) {
      case ksim::Document::voucher: return fs345::reply(s.close_voucher(), s);
      case ksim::Document::report: return fs345::reply(s.close_report(), s);
      case ksim::Document::coupon: return fs345::refuse(fs345::document_open);
      default: return fs345::refuse(fs345::document_not_open);
    }
  });
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_AbreX(std::int32_t modo) {
  return fs345::run("DAR_AbreX", modo, [](Session &s) { return fs345::reply(s.open_report(), s); });
}
