// A whole fiscal day on EPSON through the real exports of libkalpo and the
// InterfaceEpson library of the virtual printer; then the same day with each
// fault.
#include "maker_faults.h"

namespace kalpo::day {
namespace {

constexpr const char *kModel = "EPSON";
constexpr const char *kLibrary = "interfaceepson";
constexpr const char *kNoAnswer = "Erro de comunica\xE7\xE3o. Verifique a Impressora!";

struct Line {
  const char *code, *description, *rate;
  double quantity, price;
};

// The messages of a refusal that tell its reason (the notice that every
// non-zero return brings left out).
std::vector<std::string> reasons(const std::vector<Message> &shown) {
  std::vector<std::string> texts;
  for (const Message &m : shown)
    if (m.text != kNoAnswer) texts.push_back(m.text);
  return texts;
}

class EpsonDay : public FaultDay {
 protected:
  void SetUp() override {
    FaultDay::SetUp();
    set_clock(kLibrary, 2026, 3, 10, 9, 30);
  }

  // One sale, prices with two decimals; EPSON takes no discount at the
  // start of the closing.
  void sale(const std::vector<Line> &items, const std::vector<std::pair<const char *, double>> &payments,
            int cancelled_item = 0) {
    const char *number = "unchanged";
    EXPECT_EQ(KALPO_AbreCupom(kModel, &number, "Maria", "Rua A, 1", "12345678909"), 1);
    EXPECT_STREQ(number, "unchanged");
    for (const Line &i : items)
      EXPECT_EQ(KALPO_VendaItem(kModel, i.code, i.description, i.rate, "F", i.quantity, 2, i.price, "", 0), 1);
    if (cancelled_item) {
      EXPECT_EQ(KALPO_Cancela_Item(kModel, cancelled_item), 1);
    }
    EXPECT_EQ(KALPO_Inicia_Fechamento(kModel, 1.5), 1);  // no device call
    for (const auto &[form, amount] : payments) EXPECT_EQ(KALPO_forma_pagamento(kModel, form, amount), 1);
    Control message{"Obrigado"};
    EXPECT_EQ(KALPO_fecha_cupom(kModel, &message.control), 1);
  }

  // Opening of the day, X reading, and a sale of 2 x 10,50 (T01) with
  // 1,5 x 7,25 = 10,88 (T02) sold and cancelled: 21,00 in cash.
  void morning() {
    std::int32_t count = 0;
    EXPECT_EQ(KALPO_Abredia(kModel), 1);
    EXPECT_EQ(KALPO_Leiturax(kModel, nullptr, nullptr, &count), 1);
    sale({{"1", "ARROZ 5KG", "01", 2, 10.5}, {"2", "FEIJAO", "T02", 1.5, 7.25}}, {{"Dinheiro", 21}}, 2);
  }

  // 2,99 exempt; 3 x 12,00 (T03) paid 20,00 cash and 20,00 card, 4,00 change;
  // no voucher nor report on this model; 5,00 (FF) sold and cancelled; the
  // queries; the Z reduction.
  void afternoon() {
    sale({{"3", "SAL", "II", 1, 2.99}}, {{"Dinheiro", 2.99}});
    sale({{"4", "CAFE", "T03", 3, 12}}, {{"1", 20}, {"Cartao", 20}});
    EXPECT_EQ(KALPO_cupom_vinculado(kModel, "Cartao", "000005", 20), 0);
    EXPECT_EQ(KALPO_AbreRelGerencial(kModel, "", ""), 0);
    sale({{"5", "PAO", "FF", 1, 5}}, {{"Dinheiro", 5}});
    std::int32_t count = 0;
    const char *number = nullptr, *flag = nullptr, *serial = nullptr;
    EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom(kModel, nullptr, nullptr, &count, &number, &flag), 1);
    EXPECT_STREQ(number, "0");
    EXPECT_EQ(KALPO_MostraNumSerie(kModel, &serial), 0);
    EXPECT_EQ(KALPO_AbreGaveta(kModel), 1);
    EXPECT_EQ(KALPO_Reducaoz(kModel, nullptr, nullptr, nullptr, &count), 1);
  }
};

TEST_F(EpsonDay, EveryCallSucceedsAndThePaperAndCountersAreRight) {
  morning();
  afternoon();
  std::vector<Message> shown = take_messages();
  ASSERT_EQ(shown.size(), 1u);  // the reduction's confirmation
  EXPECT_NE(shown[0].text.find("Continua ?"), std::string::npos);

  ksim::State s = state(kLibrary);
  EXPECT_EQ(s.coo, 8u);  // opening, X, 4 coupons, cancellation, Z
  EXPECT_EQ(s.ccf, 4u);
  EXPECT_EQ(s.crz, 1u);
  EXPECT_EQ(s.grand_total, 2100 + 1088 + 299 + 3600 + 500);
  ASSERT_EQ(s.fiscal_memory.size(), 1u);
  EXPECT_EQ(s.fiscal_memory[0].cancellations, 1088 + 500);
  EXPECT_EQ(s.fiscal_memory[0].discounts, 0);

  std::vector<ksim::Page> paper = tape(kLibrary);
  std::vector<std::string> titles;
  for (const ksim::Page &page : paper) titles.push_back(page.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"LEITURA X", "LEITURA X", "CUPOM FISCAL", "CUPOM FISCAL", "CUPOM FISCAL",
                                              "CUPOM FISCAL", "CUPOM FISCAL CANCELADO", "REDUCAO Z"}));
  ASSERT_EQ(paper.size(), 8u);
  EXPECT_TRUE(has_line(paper[0], "ABERTURA DO DIA"));
  EXPECT_TRUE(has_line(paper[2], "CANCELADO ITEM 002"));
  EXPECT_TRUE(has_line(paper[2], "    1,50 UN X 7,25 T02"));  // two decimals on the paper
  EXPECT_EQ(amount_on(paper[2], "TOTAL R$"), 2100);
  EXPECT_EQ(amount_on(paper[3], "TOTAL R$"), 299);
  EXPECT_EQ(amount_on(paper[4], "TOTAL R$"), 3600);
  EXPECT_EQ(amount_on(paper[4], "TROCO R$"), 400);
  EXPECT_EQ(amount_on(paper[6], "VALOR CANCELADO R$"), 500);
}

// A fault at the second sale's opening: the Epson state's message, false,
// nothing of the morning lost; once it is gone the day goes on.
class EpsonFaults : public EpsonDay, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(EpsonFaults, ShowTheStatesMessageAndLoseNothing) {
  morning();
  open_coupon_with(kModel, GetParam());
  std::int32_t count = 0;
  sale({{"3", "SAL", "II", 1, 2.99}}, {{"Dinheiro", 2.99}});
  EXPECT_EQ(KALPO_Reducaoz(kModel, nullptr, nullptr, nullptr, &count), 1);
  ksim::State after = state(kLibrary);
  EXPECT_EQ(after.grand_total, 2100 + 1088 + 299);
  ASSERT_EQ(after.fiscal_memory.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Each, EpsonFaults,
    ::testing::Values(FaultCase{"off", "", false, false, kNoAnswer},
                      FaultCase{"paper_end", "", true, false, "Falta de papel"},
                      FaultCase{"refuse", "0801", false, false, "Comando inv\xE1lido com jornada fiscal fechada"},
                      FaultCase{"driver_start", "", true, false, "Porta usada por outra aplica\xE7\xE3o."},
                      FaultCase{"unreadable", "", true, false, ""}, FaultCase{"slow", "300", true, true, ""},
                      FaultCase{"paper_near_end", "", false, true, ""}),
    fault_name);

// Argument forms the printer refuses, each with its own result code.
TEST_F(EpsonDay, RefusesUnprogrammedRatesFormsAndDecimals) {
  const char *number = nullptr;
  ASSERT_EQ(KALPO_AbreCupom(kModel, &number, "", "", ""), 1);
  EXPECT_EQ(KALPO_VendaItem(kModel, "1", "ARROZ", "T09", "F", 1, 2, 1, "", 0), 0);
  EXPECT_EQ(KALPO_VendaItem(kModel, "1", "ARROZ", "01", "F", 1, 4, 1, "", 0), 0);
  EXPECT_EQ(KALPO_VendaItem(kModel, "1", "", "01", "F", 1, 2, 1, "", 0), 0);
  EXPECT_EQ(KALPO_VendaItem(kModel, "1", "ARROZ", "01", "F", 1, 2, 1, "", 0), 1);
  EXPECT_EQ(KALPO_forma_pagamento(kModel, "Cheque", 1), 0);
  EXPECT_EQ(KALPO_forma_pagamento(kModel, "Dinheiro", 0.5), 1);
  Control message{""};
  EXPECT_EQ(KALPO_fecha_cupom(kModel, &message.control), 0);
  EXPECT_EQ(reasons(take_messages()),
            (std::vector<std::string>{"Al\xEDquota n\xE3o encontrada", "D\xEDgitos de quantidade inv\xE1lidos",
                                      "Linha de descri\xE7\xE3o em branco", "Meio de pagamento n\xE3o encontrado",
                                      "Registro de pagamento incompleto"}));
  EXPECT_EQ(state(kLibrary).coupon->items.size(), 1u);
}

}  // namespace
}  // namespace kalpo::day
