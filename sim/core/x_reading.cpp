// The X reading, and the counters and day's totals it shares with the Z
// reduction and the opening of the day.
#include "core/internal.h"

namespace ksim {
namespace {

template <class Key>
Cents total_of(const std::vector<std::pair<Key, Cents>> &totals, const Key &key) {
  for (const auto &[name, total] : totals)
    if (name == key) return total;
  return 0;
}

}  // namespace

void day_summary(PageBuilder &page, const State &s) {
  page.rule();
  page.pair("CONTADOR DE ORDEM DE OPERACAO (COO):", pad_number(s.coo, 6));
  page.pair("CONTADOR DE CUPOM FISCAL (CCF):", pad_number(s.ccf, 6));
  page.pair("CONTADOR NAO FISCAL (GNF):", pad_number(s.gnf, 6));
  page.pair("CONTADOR DE REDUCOES Z (CRZ):", pad_number(s.crz, 4));
  page.pair("CONTADOR DE REINICIO (CRO):", pad_number(s.cro, 3));
  page.pair("RELATORIOS GERENCIAIS (GRG):", pad_number(s.grg, 6));
  page.pair("COMPROVANTES CRED/DEB (CCDC):", pad_number(s.ccdc, 4));
  page.rule();
  page.pair("GRANDE TOTAL R$", money(s.grand_total));
  page.pair("VENDA BRUTA DIARIA R$", money(s.day_gross));
  page.pair("CANCELAMENTOS R$", money(s.day_cancellations));
  page.pair("DESCONTOS R$", money(s.day_discounts));
  page.pair("ACRESCIMOS R$", money(s.day_surcharges));
  page.pair("VENDA LIQUIDA R$", money(s.day_gross - s.day_cancellations - s.day_discounts));
  page.rule();
  page.center("TOTALIZADORES PARCIAIS");
  for (const Rate &rate : s.rates)
    page.pair(rate.code + (rate.index ? " " + percent(rate.basis_points) : std::string()),
              money(total_of(s.day_per_rate, rate.code)));
  page.rule();
  page.center("MEIOS DE PAGAMENTO");
  for (const PaymentForm &form : s.forms) page.pair(form.name, money(total_of(s.day_per_form, form.index)));
  if (s.day_supplies) page.pair("SUPRIMENTO", money(s.day_supplies));
}

Outcome ops::x_reading(State &s, Printout &out, const Command &c) {
  if (Outcome o = can_start_document(s, c.when); o != Outcome::ok) return o;
  open_day_if_needed(s, c.when);
  std::uint32_t coo = begin_document(s);
  ++s.gnf;
  PageBuilder page(s, "LEITURA X", coo);
  page.header(c.when);
  day_summary(page, s);
  page.footer();
  out.pages.push_back(page.finish());
  return Outcome::ok;
}

Outcome Session::x_reading() { return impl_->run("x_reading", {}); }

}  // namespace ksim
