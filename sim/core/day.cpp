// The fiscal day: which documents the day allows, and its opening.
#include "core/internal.h"

namespace ksim {

Outcome no_document_open(const State &state) {
  if (state.open == Document::coupon) return Outcome::coupon_open;
  if (state.open != Document::none) return Outcome::wrong_document;
  return Outcome::ok;
}

// A day open on another date than the clock's wants its reduction; after
// the reduction nothing until the next calendar day.
Outcome day_allows_documents(const State &state, std::int64_t when) {
  std::string today = date_text(when);
  if (!state.day.empty()) return state.day == today ? Outcome::ok : Outcome::reduction_pending;
  if (!state.last_reduction_day.empty() && state.last_reduction_day >= today) return Outcome::day_closed;
  return Outcome::ok;
}

void open_day_if_needed(State &state, std::int64_t when) {
  if (state.day.empty()) state.day = date_text(when);
}

}  // namespace ksim

namespace ksim {

Outcome can_start_document(const State &state, std::int64_t when) {
  Outcome open = no_document_open(state);
  return open != Outcome::ok ? open : day_allows_documents(state, when);
}

std::uint32_t begin_document(State &state) {
  state.last_document_is_coupon = false;
  return ++state.coo;
}

Outcome coupon_is_open(const State &state) {
  if (state.open == Document::coupon) return Outcome::ok;
  return state.open == Document::none ? Outcome::no_coupon_open : Outcome::wrong_document;
}

Outcome nonfiscal_is_open(const State &state, Document kind) {
  if (state.open == kind) return Outcome::ok;
  return state.open == Document::none ? Outcome::no_coupon_open : Outcome::wrong_document;
}

}  // namespace ksim
