// Names of the outcomes, for logs and test messages.
#include "core/internal.h"

namespace ksim {

const char *to_string(Outcome outcome) {
  switch (outcome) {
    case Outcome::ok: return "ok";
    case Outcome::no_communication: return "no_communication";
    case Outcome::paper_end: return "paper_end";
    case Outcome::no_coupon_open: return "no_coupon_open";
    case Outcome::coupon_open: return "coupon_open";
    case Outcome::wrong_document: return "wrong_document";
    case Outcome::wrong_phase: return "wrong_phase";
    case Outcome::payment_short: return "payment_short";
    case Outcome::rate_not_programmed: return "rate_not_programmed";
    case Outcome::form_not_programmed: return "form_not_programmed";
    case Outcome::item_not_found: return "item_not_found";
    case Outcome::cancel_not_allowed: return "cancel_not_allowed";
    case Outcome::voucher_not_allowed: return "voucher_not_allowed";
    case Outcome::day_closed: return "day_closed";
    case Outcome::reduction_pending: return "reduction_pending";
    case Outcome::invalid_argument: return "invalid_argument";
    case Outcome::nothing_to_report: return "nothing_to_report";
    case Outcome::refused: return "refused";
  }
  return "unknown";
}

}  // namespace ksim
