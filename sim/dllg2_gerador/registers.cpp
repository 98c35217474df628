#include "dllg2_gerador/registers.h"

#include <cstdio>

#include "common/readers.h"
#include "dllg2_gerador/record.h"

namespace gerador {
namespace {

using ksim::State;

constexpr std::string_view brand = "KALPO VIRTUAL";

template <class... Numbers>
std::string formatted(const char *format, Numbers... numbers) {
  char text[24];
  std::snprintf(text, sizeof text, format, numbers...);
  return text;
}

// "aaaammdd" and "hhmmss" of a printer time.
std::string date_of(std::int64_t when) {
  const ksim::DateTime t = ksim::civil(when);
  return formatted("%04d%02d%02d", t.year, t.month, t.day);
}

std::string time_of(std::int64_t when) {
  const ksim::DateTime t = ksim::civil(when);
  return formatted("%02d%02d%02d", t.hour, t.minute, t.second);
}

// The totalizer of a rate: "01T1800" for taxed rate 01 at 18,00 %, "F1",
// "I1", "N1" for substitution, exempt and non-incidence.
std::string totalizer(const State &st, std::string_view code) {
  for (const ksim::Rate &r : st.rates) {
    if (r.code != code) continue;
    if (r.index == 0) return std::string(1, code.front()) + "1";
    return formatted("%02dT%04d", r.index, r.basis_points);
  }
  return std::string(code);
}

Record head(std::string_view type, const State &st) { return std::move(Record(type).text(st.identity.serial, 20)); }

std::string identification(const State &st, std::string_view model, const std::string &day) {
  return head("E01", st)
      .text("ECF-IF", 7)
      .text(brand, 20)
      .text(model, 20)
      .text(st.identity.firmware, 10)
      .number(st.cro, 6)
      .text(common::digits_in(day), 8)
      .text(common::digits_in(day), 8)
      .line();
}

std::string user(const State &st) {
  return head("E02", st)
      .text(common::digits_in(st.identity.cnpj), 14)
      .text(common::digits_in(st.identity.ie), 14)
      .text(st.identity.store_name, 40)
      .text(st.identity.address, 120)
      .line();
}

std::string reduction(const State &st, const ksim::Reduction &r) {
  std::string out = head("E12", st)
                        .number(r.crz, 6)
                        .number(r.coo, 9)
                        .number(r.cro, 6)
                        .text(common::digits_in(r.date), 8)
                        .text(date_of(r.when), 8)
                        .text(time_of(r.when), 6)
                        .number(r.gross, 14)
                        .number(r.grand_total, 18)
                        .number(r.cancellations, 13)
                        .number(r.discounts, 13)
                        .number(r.surcharges, 13)
                        .line();
  auto add = [&](std::string_view name, ksim::Cents value) {
    out += head("E13", st).number(r.crz, 6).text(name, 7).number(value, 13).line();
  };
  for (const auto &[code, value] : r.per_rate) add(totalizer(st, code), value);
  add("Can-T", r.cancellations);
  add("DT", r.discounts);
  add("AT", r.surcharges);
  return out;
}

std::string coupon(const ksim::Session &session, const ksim::Detail &detail) {
  const State &st = session.state();
  const ksim::Coupon &c = detail.coupon;
  std::string out = head("E14", st)
                        .number(c.ccf, 9)
                        .number(c.coo, 9)
                        .text(date_of(detail.when), 8)
                        .text(time_of(detail.when), 6)
                        .number(c.subtotal(), 14)
                        .number(-c.adjustment, 13)
                        .number(c.adjustment, 13)
                        .number(c.total(), 14)
                        .text(c.cancelled ? "S" : "N", 1)
                        .number(c.change(), 13)
                        .text(c.customer_name, 40)
                        .text(common::digits_in(c.customer_document), 14)
                        .line();
  for (const auto &i : c.items)
    out += head("E15", st)
               .number(c.coo, 9)
               .number(c.ccf, 9)
               .number(i.number, 3)
               .text(i.code, 20)
               .text(i.description, 100)
               .number(i.quantity, 7)
               .text(i.unit, 3)
               .number(i.unit_price, 10)
               .number(i.total, 14)
               .text(totalizer(st, i.rate), 7)
               .text(i.cancelled ? "S" : "N", 1)
               .line();
  for (const auto &p : c.payments) {
    const ksim::PaymentForm *form = session.form_by_index(p.form);
    out += head("E21", st)
               .number(c.coo, 9)
               .number(c.ccf, 9)
               .text(form ? form->name : std::to_string(p.form), 15)
               .number(p.amount, 13)
               .line();
  }
  return out;
}

}  // namespace

std::string day_file(const ksim::Session &session, std::string_view model, const std::string &day) {
  const State &st = session.state();
  std::string out = identification(st, model, day) + user(st);
  for (const ksim::Reduction &r : st.fiscal_memory)
    if (r.date == day) out += reduction(st, r);
  for (const ksim::Detail &detail : session.details(day)) out += coupon(session, detail);
  return out;
}

}  // namespace gerador
