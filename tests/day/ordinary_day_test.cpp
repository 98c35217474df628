// A sale on every model driven as a point-of-sale program drives it: the
// port named alone in the configuration file, whole quantities of type "I",
// prices with two decimals, each printer's own tax codes.
#include "fs345_ecf32m_sale.h"

namespace kalpo::day {
namespace {

struct Ordinary {
  const char *model, *rate;
  const char *coupon_number;  // handed back by the opening ("unchanged": none)
  const char *whole_line;     // the paper's line of 2 x 4,50
  const char *half_line;      // the paper's line of 0,5 x 7,00
};

constexpr Ordinary kModels[] = {
    {"BEMATECHMP20", "01", "000001", "2,000 UN X 4,50 T01", "0,500 UN X 7,00 FF"},
    {"BEMATECHMFD", "01", "000001", "2,000 UN X 4,50 T01", "0,500 UN X 7,00 FF"},
    {"SWEDA7000", "01", "000001", "2 UN X 4,50 T01", "0,500 UN X 7,00 FF"},
    {"SIGTRONFS345", "01", "000001", "2,000 UN X 4,50 T01", "0,500 UN X 7,00 FF"},
    {"DARUMA32", "01", "000001", "2,000 UN X 4,50 T01", "0,500 UN X 7,00 FF"},
    {"DIGIARTE1E", "T01", "000001", "2,000 UN X 4,50 T01", "0,500 UN X 7,00 FF"},
    {"ELGINFIT", "01", "1", "2,000 UN X 4,50 T01", "0,500 UN X 7,00 FF"},
    {"DATAREGISQUICK", "01", "1", "2,000 UN X 4,50 T01", "0,500 UN X 7,00 FF"},
    {"DATAREGISSERIAL", "01", "1", "2,000 UN X 4,50 T01", "0,500 UN X 7,00 FF"},
    {"EPSON", "01", "unchanged", "2,00 UN X 4,50 T01", "0,50 UN X 7,00 FF"},
};

using OrdinaryDay = DayTest;

TEST_F(OrdinaryDay, EveryModelSellsWithOrdinaryValues) {
  for (const Ordinary &m : kModels) {
    SCOPED_TRACE(m.model);
    fresh_folders();
    const std::string library = library_of(m.model);
    set_clock(library, 2026, 5, 4, 12, 0);
    write_configuration("[ECF]\r\nPORTACOM=COM1\r\n");
    const char *number = "unchanged";
    EXPECT_EQ(KALPO_AbreCupom(m.model, &number, "", "", ""), 1);
    EXPECT_STREQ(number, m.coupon_number);
    EXPECT_EQ(KALPO_VendaItem(m.model, "1", "ARROZ", m.rate, "I", 2, 2, 4.50, "", 0), 1);
    EXPECT_EQ(KALPO_VendaItem(m.model, "2", "QUEIJO", "FF", "F", 0.5, 2, 7.00, "", 0), 1);
    EXPECT_EQ(KALPO_Inicia_Fechamento(m.model, 0), 1);
    EXPECT_EQ(KALPO_forma_pagamento(m.model, "Dinheiro", 20.00), 1);
    MessageControl message{"VOLTE SEMPRE"};
    EXPECT_EQ(KALPO_fecha_cupom(m.model, &message.control), 1);
    EXPECT_TRUE(take_messages().empty());

    const ksim::State s = state(library);
    EXPECT_EQ(s.ccf, 1u);
    EXPECT_EQ(s.grand_total, 900 + 350);
    const std::vector<ksim::Page> paper = tape(library, 1);
    ASSERT_EQ(paper.size(), 1u);
    EXPECT_EQ(amount_on(paper[0], "TOTAL R$"), 1250);
    EXPECT_EQ(amount_on(paper[0], "TROCO R$"), 750);
    EXPECT_TRUE(has_line(paper[0], std::string("    ") + m.whole_line));
    EXPECT_TRUE(has_line(paper[0], std::string("    ") + m.half_line));
  }
}

}  // namespace
}  // namespace kalpo::day
