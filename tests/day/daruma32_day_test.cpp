// A whole fiscal day on DARUMA32 through the real exports of libkalpo and the
// Daruma32 library of the virtual printer; then the same day with each fault.
#include <stdlib.h>

#include "maker_faults.h"

namespace kalpo::day {
namespace {

constexpr const char *kModel = "DARUMA32";
constexpr const char *kLibrary = "daruma32";

struct Line {
  const char *code, *description, *rate;
  double quantity;
  std::int32_t decimals;
  double price;
};

class DarumaDay : public FaultDay {
 protected:
  void SetUp() override {
    FaultDay::SetUp();
    set_clock(kLibrary, 2026, 3, 10, 9, 30);
  }

  // One sale: open, items, start of closing with a discount, payments, close.
  std::string sale(const std::vector<Line> &items, double discount,
                   const std::vector<std::pair<const char *, double>> &payments) {
    const char *number = nullptr;
    EXPECT_EQ(KALPO_AbreCupom(kModel, &number, "", "", "12345678909"), 1);
    std::string coo = number ? number : "";
    for (const Line &i : items)
      EXPECT_EQ(KALPO_VendaItem(kModel, i.code, i.description, i.rate, "F", i.quantity, i.decimals, i.price, "", 0), 1);
    EXPECT_EQ(KALPO_Inicia_Fechamento(kModel, discount), 1);
    for (const auto &[form, amount] : payments) EXPECT_EQ(KALPO_forma_pagamento(kModel, form, amount), 1);
    Control message{"Obrigado, volte sempre"};
    EXPECT_EQ(KALPO_fecha_cupom(kModel, &message.control), 1);
    return coo;
  }

  // X reading and the first sale: 2 x 10,50 (T01) + 1,5 x 7,25 = 10,875 -> 10,88
  // (T02), less 1,50: 30,38 in cash.
  void morning() {
    std::int32_t count = 0;
    EXPECT_EQ(KALPO_Leiturax(kModel, nullptr, nullptr, &count), 1);
    EXPECT_EQ(
        sale({{"1", "ARROZ 5KG", "01", 2, 2, 10.5}, {"2", "FEIJAO", "02", 1.5, 3, 7.25}}, 1.5, {{"Dinheiro", 30.38}}),
        "000002");
  }

  // The rest of the day, after the morning: 2,99 exempt; 3 x 12,00 (T03) paid
  // 20,00 cash and 20,00 card, 4,00 change; the card's voucher; a management
  // report; 5,00 (FF) sold and cancelled; the queries; the Z reduction.
  void afternoon() {
    EXPECT_EQ(sale({{"3", "SAL", "II", 1, 2, 2.99}}, 0, {{"Dinheiro", 2.99}}), "000003");
    EXPECT_EQ(sale({{"4", "CAFE", "03", 3, 2, 12}}, 0, {{"Dinheiro", 20}, {"Cartao", 20}}), "000004");
    EXPECT_EQ(KALPO_cupom_vinculado(kModel, "Cartao", "000004", 20), 1);
    EXPECT_EQ(KALPO_usavinculado(kModel, "VIA DO CLIENTE"), 1);
    Control voucher{"CARTAO 1234\r\nAPROVADO"};
    EXPECT_EQ(KALPO_usavinculadotermica(kModel, &voucher.control), 1);
    EXPECT_EQ(KALPO_FechaCupomNaovinculado(kModel), 1);
    EXPECT_EQ(KALPO_AbreRelGerencial(kModel, "", ""), 1);
    EXPECT_EQ(KALPO_usavinculado(kModel, "FECHAMENTO DE CAIXA"), 1);
    EXPECT_EQ(KALPO_FechaGerencial(kModel), 1);
    EXPECT_EQ(sale({{"5", "PAO", "FF", 1, 2, 5}}, 0, {{"Dinheiro", 5}}), "000007");
    std::int32_t count = 0;
    const char *number = nullptr, *flag = nullptr, *serial = nullptr, *firmware = nullptr;
    EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom(kModel, nullptr, nullptr, &count, &number, &flag), 1);
    EXPECT_STREQ(number, "000008");  // read after the cancellation, its own document
    EXPECT_EQ(KALPO_MostraNumSerie(kModel, &serial), 1);
    EXPECT_STREQ(serial, "KP0000000000000001");
    EXPECT_EQ(KALPO_FirmWare(kModel, &firmware), 1);
    EXPECT_STREQ(firmware, "0100");
    EXPECT_EQ(KALPO_AbreGaveta(kModel), 1);
    EXPECT_EQ(KALPO_Reducaoz(kModel, nullptr, nullptr, nullptr, &count), 1);
  }

  // Counters and totals worked out by hand for the whole day.
  void expect_day_registered() {
    ksim::State s = state(kLibrary);
    EXPECT_EQ(s.coo, 9u);  // X, 4 coupons, voucher, report, cancellation, Z
    EXPECT_EQ(s.ccf, 4u);
    EXPECT_EQ(s.crz, 1u);
    EXPECT_EQ(s.grand_total, 2100 + 1088 + 299 + 3600 + 500);
    ASSERT_EQ(s.fiscal_memory.size(), 1u);
    const ksim::Reduction &z = s.fiscal_memory[0];
    EXPECT_EQ(z.date, "2026-03-10");
    EXPECT_EQ(z.discounts, 150);
    EXPECT_EQ(z.cancellations, 500);
    EXPECT_EQ(s.drawer_openings, 1u);
    EXPECT_EQ(s.values.at("porta"), "COM2");
  }
};

// The day runs alike whatever the workstation's regional number format.
class DarumaWholeDay : public DarumaDay, public ::testing::WithParamInterface<const char *> {};

TEST_P(DarumaWholeDay, EveryCallSucceedsAndThePaperAndCountersAreRight) {
  setenv("LC_ALL", GetParam(), 1);
  KALPO_GravaRegistro("COM2");
  morning();
  afternoon();
  unsetenv("LC_ALL");

  std::vector<Message> shown = take_messages();
  ASSERT_EQ(shown.size(), 1u);  // the reduction's confirmation
  EXPECT_NE(shown[0].text.find("Continua ?"), std::string::npos);
  expect_day_registered();

  std::vector<ksim::Page> paper = tape(kLibrary);
  std::vector<std::string> titles;
  for (const ksim::Page &page : paper) titles.push_back(page.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"LEITURA X", "CUPOM FISCAL", "CUPOM FISCAL", "CUPOM FISCAL",
                                              "COMPROVANTE CREDITO OU DEBITO", "RELATORIO GERENCIAL", "CUPOM FISCAL",
                                              "CUPOM FISCAL CANCELADO", "REDUCAO Z"}));
  ASSERT_EQ(paper.size(), 9u);
  EXPECT_EQ(amount_on(paper[1], "DESCONTO R$"), 150);
  EXPECT_EQ(amount_on(paper[1], "TOTAL R$"), 3038);
  EXPECT_TRUE(has_line(paper[1], "10,88"));
  EXPECT_EQ(amount_on(paper[3], "TOTAL R$"), 3600);
  EXPECT_EQ(amount_on(paper[3], "TROCO R$"), 400);
  EXPECT_EQ(amount_on(paper[4], "VALOR DA COMPRA R$"), 2000);
  EXPECT_TRUE(has_line(paper[4], "APROVADO"));
  EXPECT_TRUE(has_line(paper[5], "FECHAMENTO DE CAIXA"));
  EXPECT_TRUE(has_line(paper[6], "Obrigado, volte sempre"));
}

INSTANTIATE_TEST_SUITE_P(Regional, DarumaWholeDay, ::testing::Values("pt_BR.UTF-8", "en_US.UTF-8", "C"),
                         [](const auto &info) {
                           std::string_view name = info.param;
                           return name[0] == 'p' ? "Brazilian" : name[0] == 'e' ? "American" : "Plain";
                         });

// A fault at the second sale's opening: the maker's message, false, nothing
// of the morning lost; once it is gone the day goes on to its reduction.
class DarumaFaults : public DarumaDay, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(DarumaFaults, ShowTheMakersMessageAndLoseNothing) {
  morning();
  open_coupon_with(kModel, GetParam());
  std::int32_t count = 0;
  sale({{"3", "SAL", "II", 1, 2, 2.99}}, 0, {{"Dinheiro", 2.99}});
  EXPECT_EQ(KALPO_Reducaoz(kModel, nullptr, nullptr, nullptr, &count), 1);
  ksim::State after = state(kLibrary);
  EXPECT_EQ(after.grand_total, 2100 + 1088 + 299);
  ASSERT_EQ(after.fiscal_memory.size(), 1u);
  EXPECT_EQ(after.fiscal_memory[0].discounts, 150);
}

INSTANTIATE_TEST_SUITE_P(
    Each, DarumaFaults,
    ::testing::Values(FaultCase{"off", "", false, false, "Erro na ECF n\xBA :999\r\nSem comunica\xE7\xE3o"},
                      FaultCase{"paper_end", "", true, false, "Erro na ECF n\xBA :50\r\nSem papel"},
                      FaultCase{"refuse", "23", false, false, "Erro na ECF n\xBA :23\r\nRedu\xE7\xE3o Z do per"},
                      FaultCase{"driver_start", "", true, false, "Erro na ECF n\xBA :999"},
                      FaultCase{"unreadable", "", true, false, ""}, FaultCase{"slow", "300", true, true, ""},
                      FaultCase{"paper_near_end", "", false, true, ""}),
    fault_name);

// Argument forms the printer refuses, each with its own error number.
TEST_F(DarumaDay, RefusesUnprogrammedRatesFormsAndPriceDecimals) {
  const char *number = nullptr;
  ASSERT_EQ(KALPO_AbreCupom(kModel, &number, "", "", ""), 1);
  EXPECT_EQ(KALPO_VendaItem(kModel, "1", "ARROZ", "09", "F", 1, 2, 1, "", 0), 0);  // rate 09 not programmed
  EXPECT_EQ(KALPO_VendaItem(kModel, "1", "ARROZ", "01", "F", 1, 4, 1, "", 0), 0);  // four decimals
  EXPECT_EQ(KALPO_VendaItem(kModel, "1", "ARROZ", "01", "F", 1, 2, 1, "", 0), 1);
  EXPECT_EQ(KALPO_Inicia_Fechamento(kModel, 0), 1);
  EXPECT_EQ(KALPO_forma_pagamento(kModel, "Cheque", 1), 0);
  Control message{""};
  EXPECT_EQ(KALPO_fecha_cupom(kModel, &message.control), 0);  // nothing paid yet
  std::vector<std::string> texts;
  for (const Message &m : take_messages()) texts.push_back(m.text.substr(0, m.text.find('\r')));
  EXPECT_EQ(texts, (std::vector<std::string>{"Erro na ECF n\xBA :18", "Erro na ECF n\xBA :16", "Erro na ECF n\xBA :49",
                                             "Erro na ECF n\xBA :39"}));
  EXPECT_EQ(state(kLibrary).coupon->items.size(), 1u);
}

}  // namespace
}  // namespace kalpo::day
