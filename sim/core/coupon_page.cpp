// The fiscal coupon as printed.
#include "core/internal.h"

namespace ksim {
namespace {

// A value in thousandths with `decimals` (0 to 3) after the comma, rounded
// half up: 1500 with 0 -> "2", with 2 -> "1,50".
std::string decimals_text(Milli value, int decimals) {
  Milli unit = 1;
  for (int d = decimals; d < 3; ++d) unit *= 10;
  std::string digits = pad_number((value + unit / 2) / unit, decimals + 1);
  if (decimals > 0) digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, ',');
  return digits;
}

// A unit price in thousandths: as many decimals as the item asks, else two
// when the third is zero.
std::string unit_price_text(const Item &item) {
  if (item.price_decimals >= 0) return decimals_text(item.unit_price, item.price_decimals);
  return item.unit_price % 10 == 0 ? money(item.unit_price / 10) : quantity_text(item.unit_price);
}

void customer(PageBuilder &page, const Coupon &c) {
  if (!c.customer_document.empty()) page.text("CPF/CNPJ CONSUMIDOR: " + c.customer_document);
  if (!c.customer_name.empty()) page.text("NOME: " + c.customer_name);
  if (!c.customer_address.empty()) page.text("ENDERECO: " + c.customer_address);
}

void item_lines(PageBuilder &page, const Item &item) {
  page.text(pad_number(item.number, 3) + " " + item.code + " " + item.description);
  page.pair("    " + decimals_text(item.quantity, item.quantity_decimals) + " " + item.unit + " X " +
                unit_price_text(item) + " " + item.rate,
            money(item.total + item.discount));
  if (item.discount) page.pair("    DESCONTO ITEM " + pad_number(item.number, 3), "-" + money(item.discount));
  if (item.cancelled) page.pair("    CANCELADO ITEM " + pad_number(item.number, 3), "-" + money(item.total));
}

void totals(PageBuilder &page, const State &s, const Coupon &c) {
  if (c.adjustment != 0) {
    page.pair("SUBTOTAL R$", money(c.subtotal()));
    page.pair(c.adjustment < 0 ? "DESCONTO R$" : "ACRESCIMO R$",
              money(c.adjustment < 0 ? -c.adjustment : c.adjustment));
  }
  page.pair("TOTAL R$", money(c.total()));
  for (const Payment &p : c.payments) page.pair(find_form(s, p.form)->name, money(p.amount));
  if (c.change() > 0) page.pair("TROCO R$", money(c.change()));
}

}  // namespace

Page coupon_page(const State &s, const Coupon &c, std::int64_t when) {
  PageBuilder page(s, "CUPOM FISCAL", c.coo);
  page.header(when, c.ccf);
  customer(page, c);
  page.rule();
  page.text("ITEM CODIGO DESCRICAO");
  page.pair("QTD. UN. VL.UNIT(R$) ST", "VL.ITEM(R$)");
  page.rule();
  for (const Item &item : c.items) item_lines(page, item);
  page.rule();
  if (c.phase != Phase::selling) totals(page, s, c);
  if (c.cancelled) page.center("*** CUPOM CANCELADO ***");
  if (!c.message.empty())
    for (const std::string &line : split_lines(c.message)) page.text(line);
  page.footer();
  return page.finish();
}

}  // namespace ksim
