// A whole fiscal day on DIGIARTE1E through libkalpo and the ecf32m virtual
// printer; a slow answer waited for; the same day under each fault;
// argument forms refused.
#include "fs345_ecf32m_sale.h"

namespace kalpo::day {
namespace {

constexpr const char *kModel = "DIGIARTE1E";
constexpr const char *kLibrary = "ecf32m";

const Sale kTwoItems{{{"1", "ARROZ", "T01", 2, 5.50}, {"2", "FEIJAO", "T02", 1, 8.99}}, 0, {{"Dinheiro", 19.99}}};
const Sale kWithDiscount{{{"3", "LEITE", "T03", 3, 4.25}}, 1.75, {{"Cartao", 11.00}}};
const Sale kTwoFormsAndChange{
    {{"4", "CAFE", "T01", 1, 15.90}, {"789123", "ACUCAR", "F", 2, 3.45}}, 0, {{"Ticket", 10.00}, {"Dinheiro", 20.00}}};
const Sale kToCancel{{{"6", "PAO", "I", 1, 2.00}}, 0, {{"Dinheiro", 2.00}}};

using DigiarteDay = SaleDay;

TEST_F(DigiarteDay, WholeDay) {
  std::int32_t count = 0;
  ASSERT_EQ(KALPO_Leiturax(kModel, nullptr, nullptr, &count), 1);
  // The number from the fifth character of the answer to parameter "41".
  EXPECT_EQ(run_sale(kModel, kTwoItems), "000002");
  EXPECT_EQ(KALPO_Cancela_Item(kModel, 1), 0);  // no item cancellation on this model
  EXPECT_EQ(run_sale(kModel, kWithDiscount), "000003");
  EXPECT_EQ(run_sale(kModel, kTwoFormsAndChange), "000004");
  EXPECT_EQ(run_sale(kModel, kToCancel), "000005");
  const char *number = nullptr, *flag = nullptr;
  EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom(kModel, nullptr, nullptr, &count, &number, &flag), 1);

  const char *serial = nullptr, *firmware = nullptr;
  EXPECT_EQ(KALPO_MostraNumSerie(kModel, &serial), 1);
  EXPECT_STREQ(serial, "KP0000000000000001 COMANDO OK");
  EXPECT_EQ(KALPO_FirmWare(kModel, &firmware), 1);
  EXPECT_STREQ(firmware, "01.00.00 COMANDO OK");
  EXPECT_TRUE(take_messages().empty());

  ASSERT_EQ(KALPO_Reducaoz(kModel, nullptr, nullptr, nullptr, &count), 1);
  EXPECT_EQ(take_messages().size(), 1u);  // the confirmation
  EXPECT_EQ(KALPO_LeituraMemFiscal(kModel, "1", "1", "N"), 1);
  EXPECT_TRUE(take_messages().empty());

  // 2 x 5,50 + 8,99 + 3 x 4,25 + 15,90 + 2 x 3,45 + 2,00 (cancelled coupon)
  const ksim::State s = state(kLibrary);
  EXPECT_EQ(s.coo, 8u);
  EXPECT_EQ(s.ccf, 4u);
  EXPECT_EQ(s.crz, 1u);
  EXPECT_EQ(s.grand_total, 5754);
  ASSERT_EQ(s.fiscal_memory.size(), 1u);
  EXPECT_EQ(s.fiscal_memory[0].cancellations, 200);
  EXPECT_EQ(s.fiscal_memory[0].discounts, 175);

  const std::vector<ksim::Page> paper = tape(kLibrary);
  EXPECT_EQ(titles(paper),
            (std::vector<std::string>{"LEITURA X", "CUPOM FISCAL", "CUPOM FISCAL", "CUPOM FISCAL", "CUPOM FISCAL",
                                      "CUPOM FISCAL CANCELADO", "REDUCAO Z", "LEITURA DA MEMORIA FISCAL"}));
  ASSERT_EQ(paper.size(), 8u);
  EXPECT_EQ(amount_on(paper[1], "TOTAL R$"), 1999);
  EXPECT_TRUE(has_line(paper[1], "VOLTE SEMPRE"));
  EXPECT_TRUE(has_line(paper[1], "0000000000001 ARROZ"));  // the code zero-filled to 13
  EXPECT_EQ(amount_on(paper[2], "DESCONTO R$"), 175);
  EXPECT_EQ(amount_on(paper[2], "TOTAL R$"), 1100);
  EXPECT_EQ(amount_on(paper[3], "TOTAL R$"), 2280);
  EXPECT_EQ(amount_on(paper[3], "TROCO R$"), 720);
  EXPECT_EQ(amount_on(paper[4], "TOTAL R$"), 200);
}

// A slow answer: the library answers "not yet" until it comes, KALPO waits,
// and the sale completes.
TEST_F(DigiarteDay, SlowAnswerIsWaitedFor) {
  set_fault(kLibrary, "slow", "1500", true);
  EXPECT_EQ(run_sale(kModel, kWithDiscount), "000001");
  EXPECT_TRUE(take_messages().empty());
  EXPECT_EQ(state(kLibrary).grand_total, 1275);
  EXPECT_EQ(state(kLibrary).ccf, 1u);
}

// Each fault met by the second item of a sale: the maker's message and
// false; the sale then goes on with nothing registered lost.
TEST_F(DigiarteDay, FaultsShowTheirMessageAndLoseNothing) {
  faults_lose_nothing(kModel, kLibrary, kTwoFormsAndChange, 2280,
                      {
                          {"off", "", false, "Time out na execu\xE7\xE3o do comando do ECF!"},
                          {"paper_end", "", false, "(-33) Detectado falta de papel"},
                          {"refuse", "-41", true, "(-41) N\xFAmero m\xE1ximo de itens (450) do ECF atingido"},
                          {"unreadable", "", true, "Retorno do ECF desconhecido!"},
                          {"driver_start", "", true, "Falha do serial do ECF!"},
                      });
}

// Argument forms the printer refuses with its own number.
TEST_F(DigiarteDay, RefusesWhatItCannotRead) {
  items_refused(
      kModel, {
                  {{"1", "ARROZ", "T09", 1, 1.00}, "(-18) Al\xEDquota n\xE3o programada"},
                  {{"1", "ARROZ", "01", 1, 1.00}, "(-15) A situa\xE7\xE3o tribut\xE1ria deve iniciar com T, F, I ou N"},
                  {{"1", "ARROZ", "T01", 1000, 1.00}, "(-10) Sintaxe"},  // quantity wider than 6 digits
              });
  ASSERT_TRUE(sell(kModel, {"1", "ARROZ", "T01", 1, 1.00}));
  EXPECT_EQ(KALPO_forma_pagamento(kModel, "Dinheiro", 1.00), 0);  // before the total
  EXPECT_TRUE(shown(take_messages(), "(-51)"));
  EXPECT_EQ(KALPO_Inicia_Fechamento(kModel, 0), 1);
  EXPECT_EQ(KALPO_forma_pagamento(kModel, "Cheque", 1.00), 0);
  EXPECT_TRUE(shown(take_messages(), "(-57) Registrador n\xE3o programado"));
  EXPECT_EQ(state(kLibrary).coupon->payments.size(), 0u);
}

}  // namespace
}  // namespace kalpo::day
