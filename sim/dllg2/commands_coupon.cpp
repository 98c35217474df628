// The fiscal coupon: open, sell, cancel an item, adjust the subtotal, pay,
// end the document, cancel the coupon.
#include <algorithm>

#include "dllg2/commands.h"
#include "dllg2/spellings.h"
#include "dllg2/values.h"

namespace dllg2 {
namespace {

using ksim::Document;
using ksim::Outcome;

constexpr std::size_t max_code = 20, max_description = 120, max_unit = 3, max_message_lines = 8;
constexpr ksim::Milli max_quantity = 9'999'999;   // 9999,999
constexpr ksim::Milli max_price = 9'999'999'999;  // 9999999,999
constexpr ksim::Cents max_surcharge = 99'999'999'999;
constexpr std::int64_t max_percent = 99'999;  // 999,99 %

const ksim::Coupon *open_coupon_of(const ksim::Session &s) {
  const auto &st = s.state();
  return st.open == Document::coupon && st.coupon ? &*st.coupon : nullptr;
}

int open_coupon(Context &c) {
  ksim::Session &s = c.session;
  return code_for(
      s, s.open_coupon(c.args.get("IdConsumidor"), c.args.get("NomeConsumidor"), c.args.get("EnderecoConsumidor")));
}

int sell_item(Context &c) {
  ksim::Session &s = c.session;
  ksim::Item item;
  item.code = c.args.get("CodProduto");
  item.description = c.args.get("NomeProduto");
  item.unit = c.args.get("Unidade", "UN");
  if (item.code.empty() || item.code.size() > max_code) return code::bad_product_code;
  if (item.description.empty() || item.description.size() > max_description) return code::bad_description;
  if (item.unit.empty() || item.unit.size() > max_unit) return code::bad_value;
  const auto rate = find_rate(s, c.args.get("CodAliquota"));
  if (!rate.found) return rate.error;
  const auto quantity = fixed_point(c.args.get("Quantidade"), 3);
  if (!quantity || *quantity <= 0 || *quantity > max_quantity) return code::bad_quantity;
  const auto price = fixed_point(c.args.get("PrecoUnitario"), 3);
  if (!price || *price < 0) return code::bad_value;
  if (*price > max_price) return code::price_too_long;
  if (*price == 0) return code::zero_total;
  item.rate = rate.found->code;
  item.quantity = *quantity;
  item.unit_price = *price;
  return code_for(s, s.sell(std::move(item)), {{Outcome::invalid_argument, code::zero_total}});
}

int cancel_item(Context &c) {
  ksim::Session &s = c.session;
  const int number = static_cast<int>(whole(c.args.get("NumItem")).value_or(0));
  if (number <= 0) return code::item_not_sold;
  const Outcome outcome = s.cancel_item(number);
  if (outcome != Outcome::item_not_found) return code_for(s, outcome);
  const ksim::Coupon *coupon = open_coupon_of(s);
  const bool cancelled = coupon && std::any_of(coupon->items.begin(), coupon->items.end(),
                                               [&](const ksim::Item &i) { return i.number == number && i.cancelled; });
  return cancelled ? code::cancelled_item : code::item_not_sold;
}

constexpr Overrides adjustment_codes = {{Outcome::wrong_phase, code::one_adjustment_per_coupon},
                                        {Outcome::invalid_argument, code::discount_too_big}};

// A coupon whose items are all cancelled cannot be totalled.
bool totals_zero(const ksim::Session &s) {
  const ksim::Coupon *coupon = open_coupon_of(s);
  return coupon && coupon->phase == ksim::Phase::selling && coupon->subtotal() <= 0;
}

int adjust_by_percent(ksim::Session &s, std::string_view text) {
  const auto percent = fixed_point(text, 2);
  if (!percent) return code::bad_surcharge;
  if (*percent < -10'000) return code::discount_over_100;
  if (*percent > max_percent) return code::surcharge_over_999;
  const bool discount = *percent < 0;
  return code_for(s, s.start_closing_percent(static_cast<int>(discount ? -*percent : *percent), discount),
                  adjustment_codes);
}

int adjust_by_value(ksim::Session &s, std::string_view text) {
  const auto value = fixed_point(text, 2);
  if (!value) return code::bad_surcharge;
  if (*value > max_surcharge) return code::surcharge_too_long;
  const ksim::Coupon *coupon = open_coupon_of(s);
  if (coupon && *value < 0 && -*value >= coupon->subtotal()) return code::discount_too_big;
  return code_for(s, s.start_closing(*value), adjustment_codes);
}

// Negative values are discounts.  "Cancelar" = "T" would undo an adjustment,
// which this printer does not keep apart from the totalled coupon.
int adjust_subtotal(Context &c) {
  if (c.args.get("Cancelar", "F") == "T") return code::bad_adjustment_cancel;
  if (totals_zero(c.session)) return code::coupon_total_zero;
  const bool by_value = c.args.has("ValorAcrescimo"), by_percent = c.args.has("ValorPercentual");
  if (!by_value && !by_percent) return code::no_value_nor_percent;
  if (by_value && by_percent) return code::bad_adjustment;
  return by_value ? adjust_by_value(c.session, c.args.get("ValorAcrescimo"))
                  : adjust_by_percent(c.session, c.args.get("ValorPercentual"));
}

// The first payment totals a coupon still selling (no subtotal adjustment).
int pay(Context &c) {
  ksim::Session &s = c.session;
  const auto form = find_form(s, c.args.get("CodMeioPagamento"), c.args.get("NomeMeioPagamento"));
  if (!form.found) return form.error;
  const int index = form.found->index;  // the state is replaced by each operation
  const auto amount = fixed_point(c.args.get("Valor"), 2);
  if (!amount || *amount <= 0) return code::bad_value;
  if (const ksim::Coupon *coupon = open_coupon_of(s); coupon && coupon->phase == ksim::Phase::selling) {
    const Outcome totalled = s.start_closing(0);
    if (totalled != Outcome::ok) return code_for(s, totalled, {{Outcome::wrong_phase, code::coupon_total_zero}});
  }
  return code_for(s, s.pay(index, *amount));
}

int close_coupon(Context &c) {
  ksim::Session &s = c.session;
  const std::string message = c.args.get("TextoPromocional");
  if (static_cast<std::size_t>(std::count(message.begin(), message.end(), '\n')) >= max_message_lines)
    return code::too_many_message_lines;
  return code_for(s, s.close_coupon(message), {{Outcome::wrong_phase, code::paid_below_total}});
}

// Ends whatever document is open: the coupon, a linked voucher or a report.
int end_document(Context &c) {
  ksim::Session &s = c.session;
  switch (s.state().open) {
    case Document::coupon: return close_coupon(c);
    case Document::voucher: return code_for(s, s.close_voucher());
    case Document::report: return code_for(s, s.close_report());
    default: return code::document_already_ended;
  }
}

int cancel_coupon(Context &c) {
  ksim::Session &s = c.session;
  return code_for(s, s.cancel_coupon(),
                  {{Outcome::no_coupon_open, code::bad_cancel}, {Outcome::wrong_document, code::bad_cancel}});
}

const std::vector<Command> coupon_table = {
    {"AbreCupomFiscal",
     {{"EnderecoConsumidor"}, {"IdConsumidor"}, {"NomeConsumidor"}},
     ksim::Call::command,
     true,
     open_coupon},
    {"VendeItem",
     {{"CodAliquota", type::code, Form::code, true},
      {"CodProduto", type::text, Form::text, true},
      {"NomeProduto", type::text, Form::text, true},
      {"PrecoUnitario", type::decimal, Form::decimal, true},
      {"Quantidade", type::decimal, Form::decimal, true},
      {"Unidade"}},
     ksim::Call::command,
     false,
     sell_item},
    {"CancelaItemFiscal", {{"NumItem", type::integer, Form::whole, true}}, ksim::Call::command, false, cancel_item},
    {"AcresceSubtotal",
     {{"Cancelar", type::integer, Form::flag},
      {"ValorAcrescimo", type::decimal, Form::decimal},
      {"ValorPercentual", type::decimal, Form::decimal}},
     ksim::Call::command,
     false,
     adjust_subtotal},
    {"PagaCupom",
     {{"CodMeioPagamento", type::code, Form::code},
      {"NomeMeioPagamento", type::text, Form::text},
      {"Valor", type::decimal, Form::decimal, true}},
     ksim::Call::command,
     false,
     pay},
    {"EncerraDocumento", {{"TextoPromocional"}}, ksim::Call::command, false, end_document},
    {"CancelaCupom", {}, ksim::Call::command, true, cancel_coupon},
};

}  // namespace

std::span<const Command> coupon_commands() { return coupon_table; }

}  // namespace dllg2
