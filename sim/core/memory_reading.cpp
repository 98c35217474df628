// The reading of fiscal memory, by a range of dates or of CRZ.
#include "core/internal.h"

namespace ksim {
namespace {

bool valid_date(std::string_view text) {
  std::int64_t y = 0, m = 0, d = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !parse_int(text.substr(0, 4), y) ||
      !parse_int(text.substr(5, 2), m) || !parse_int(text.substr(8, 2), d))
    return false;
  DateTime t{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
  return m >= 1 && m <= 12 && d >= 1 && date_text(from_civil(t)) == text;
}

template <class InRange>
Outcome read_memory(State &s, Printout &out, std::int64_t when, const std::string &range, InRange in_range) {
  if (Outcome o = no_document_open(s); o != Outcome::ok) return o;
  std::vector<const Reduction *> found;
  for (const Reduction &r : s.fiscal_memory)
    if (in_range(r)) found.push_back(&r);
  if (found.empty()) return Outcome::nothing_to_report;
  PageBuilder page(s, "LEITURA DA MEMORIA FISCAL", begin_document(s));
  ++s.gnf;
  page.header(when);
  page.center(range);
  for (const Reduction *r : found) {
    page.rule();
    page.pair("CRZ: " + pad_number(r->crz, 4) + "  COO: " + pad_number(r->coo, 6), "CRO: " + pad_number(r->cro, 3));
    page.pair("DATA DO MOVIMENTO:", r->date);
    page.pair("GRANDE TOTAL R$", money(r->grand_total));
    page.pair("VENDA BRUTA R$", money(r->gross));
    page.pair("CANCELAMENTOS R$", money(r->cancellations));
    page.pair("DESCONTOS R$", money(r->discounts));
    page.pair("ACRESCIMOS R$", money(r->surcharges));
    for (const auto &[code, total] : r->per_rate) page.pair(code, money(total));
  }
  page.footer();
  out.pages.push_back(page.finish());
  return Outcome::ok;
}

}  // namespace

Outcome ops::memory_by_date(State &s, Printout &out, const Command &c) {
  std::string from = arg_text(c, 0), to = arg_text(c, 1);
  if (!valid_date(from) || !valid_date(to) || from > to) return Outcome::invalid_argument;
  return read_memory(s, out, c.when, "PERIODO: " + from + " A " + to,
                     [&](const Reduction &r) { return r.date >= from && r.date <= to; });
}

Outcome ops::memory_by_crz(State &s, Printout &out, const Command &c) {
  std::int64_t from = 0, to = 0;
  if (!arg_int(c, 0, from) || !arg_int(c, 1, to) || from < 1 || from > to) return Outcome::invalid_argument;
  return read_memory(s, out, c.when, "CRZ: " + pad_number(from, 4) + " A " + pad_number(to, 4),
                     [&](const Reduction &r) { return r.crz >= from && r.crz <= to; });
}

Outcome Session::memory_by_date(std::string_view from, std::string_view to) {
  return impl_->run("memory_by_date", {std::string(from), std::string(to)});
}

Outcome Session::memory_by_crz(int from, int to) { return impl_->run("memory_by_crz", {number(from), number(to)}); }

}  // namespace ksim
