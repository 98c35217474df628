// A whole fiscal day on SIGTRONFS345 through libkalpo and the fs345_32
// virtual printer; the same day under each fault; argument forms refused.
#include "fs345_ecf32m_sale.h"

namespace kalpo::day {
namespace {

constexpr const char *kModel = "SIGTRONFS345";
constexpr const char *kLibrary = "fs345_32";

const Sale kWithCancelledItem{
    {{"1", "ARROZ", "01", 2, 5.50}, {"2", "FEIJAO", "02", 1, 8.99}}, 0, {{"Dinheiro", 11.00}}, 2};
const Sale kWithDiscount{{{"3", "LEITE", "03", 3, 4.25}}, 1.75, {{"Cartao", 11.00}}};
const Sale kTwoFormsAndChange{
    {{"4", "CAFE", "01", 1, 15.90}, {"5", "ACUCAR", "FF", 2, 3.45}}, 0, {{"Ticket", 10.00}, {"Dinheiro", 20.00}}};
const Sale kToCancel{{{"6", "PAO", "II", 1, 2.00}}, 0, {{"Dinheiro", 2.00}}};

using SigtronDay = SaleDay;

TEST_F(SigtronDay, WholeDay) {
  write_configuration("[ECF]\r\nMENSAGEM=OBRIGADO PELA PREFERENCIA\r\n");
  std::int32_t count = 0;
  ASSERT_EQ(KALPO_Leiturax(kModel, nullptr, nullptr, &count), 1);
  EXPECT_GT(count, 0);
  std::vector<Message> shown_x = take_messages();  // the port setting, shown on every X reading
  ASSERT_EQ(shown_x.size(), 1u);
  EXPECT_EQ(shown_x[0].text, "COM1:9600,n,8,1");

  EXPECT_EQ(run_sale(kModel, kWithCancelledItem), "000002");
  EXPECT_EQ(run_sale(kModel, kWithDiscount), "000003");
  EXPECT_EQ(run_sale(kModel, kTwoFormsAndChange), "000004");
  EXPECT_EQ(KALPO_cupom_vinculado(kModel, "Ticket", "000004", 10.00), 1);
  EXPECT_EQ(KALPO_usavinculado(kModel, "TICKET ALIMENTACAO"), 1);
  EXPECT_EQ(KALPO_FechaCupomNaovinculado(kModel), 1);
  EXPECT_EQ(run_sale(kModel, kToCancel), "000006");
  const char *number = nullptr, *flag = nullptr;
  EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom(kModel, nullptr, nullptr, &count, &number, &flag), 1);
  EXPECT_STREQ(number, "000007");  // the cancellation's own document
  EXPECT_STREQ(flag, "N");         // no document was open
  EXPECT_EQ(KALPO_AbreRelGerencial(kModel, "", ""), 1);
  EXPECT_EQ(KALPO_usavinculado(kModel, "VENDAS DO DIA"), 1);
  EXPECT_EQ(KALPO_FechaGerencial(kModel), 1);

  const char *serial = nullptr, *firmware = nullptr;
  EXPECT_EQ(KALPO_MostraNumSerie(kModel, &serial), 1);
  EXPECT_STREQ(serial, "00000001");
  EXPECT_EQ(KALPO_FirmWare(kModel, &firmware), 1);
  EXPECT_STREQ(firmware, "0100");
  EXPECT_EQ(KALPO_AbreGaveta(kModel), 1);
  EXPECT_TRUE(take_messages().empty());

  ASSERT_EQ(KALPO_Reducaoz(kModel, nullptr, nullptr, nullptr, &count), 1);
  EXPECT_EQ(take_messages().size(), 1u);  // the confirmation

  // 2 x 5,50 + 8,99 (cancelled) + 3 x 4,25 + 15,90 + 2 x 3,45 + 2,00 (cancelled coupon)
  const ksim::State s = state(kLibrary);
  EXPECT_EQ(s.coo, 9u);
  EXPECT_EQ(s.ccf, 4u);
  EXPECT_EQ(s.crz, 1u);
  EXPECT_EQ(s.grand_total, 5754);
  ASSERT_EQ(s.fiscal_memory.size(), 1u);
  EXPECT_EQ(s.fiscal_memory[0].cancellations, 899 + 200);
  EXPECT_EQ(s.fiscal_memory[0].discounts, 175);
  EXPECT_EQ(s.drawer_openings, 1u);

  const std::vector<ksim::Page> paper = tape(kLibrary);
  EXPECT_EQ(titles(paper), (std::vector<std::string>{"LEITURA X", "CUPOM FISCAL", "CUPOM FISCAL", "CUPOM FISCAL",
                                                     "COMPROVANTE CREDITO OU DEBITO", "CUPOM FISCAL",
                                                     "CUPOM FISCAL CANCELADO", "RELATORIO GERENCIAL", "REDUCAO Z"}));
  ASSERT_EQ(paper.size(), 9u);
  EXPECT_EQ(amount_on(paper[1], "TOTAL R$"), 1100);
  EXPECT_TRUE(has_line(paper[1], "OBRIGADO PELA PREFERENCIA"));
  EXPECT_EQ(amount_on(paper[2], "DESCONTO R$"), 175);
  EXPECT_EQ(amount_on(paper[2], "TOTAL R$"), 1100);
  EXPECT_EQ(amount_on(paper[3], "TOTAL R$"), 2280);
  EXPECT_EQ(amount_on(paper[3], "TROCO R$"), 720);
  EXPECT_TRUE(has_line(paper[4], "TICKET ALIMENTACAO"));
  EXPECT_EQ(amount_on(paper[5], "TOTAL R$"), 200);
  EXPECT_TRUE(has_line(paper[7], "VENDAS DO DIA"));
}

// Each fault met by the second item of a sale: the maker's message and
// false; the sale then goes on with nothing registered lost.
TEST_F(SigtronDay, FaultsShowTheirMessageAndLoseNothing) {
  faults_lose_nothing(kModel, kLibrary, kTwoFormsAndChange, 2280,
                      {
                          {"off", "", false, "Comando n\xE3o executado!"},
                          {"paper_end", "", false, "Erro na ECF n\xBA :50\r\nSem papel[ .E50"},
                          {"refuse", "05", true, "Erro na ECF n\xBA :5\r\nFalha mec\xE2nica na IF"},
                          {"unreadable", "", true, ".E?#"},
                          {"driver_start", "", true, "Comando n\xE3o executado!"},
                      });
}

// A port text that cannot be read: every command tells the operator why,
// nothing is registered; with the port named again the sale goes through.
TEST_F(SigtronDay, AnUnreadablePortTextIsTold) {
  write_configuration("[ECF]\r\nPORTACOM=IMPRESSORA\r\n");
  const char *number = nullptr;
  EXPECT_EQ(KALPO_AbreCupom(kModel, &number, "", "", ""), 0);
  EXPECT_TRUE(shown(take_messages(), "Erro na ECF n\xBA :16\r\nErro de Sintaxe no comando"));
  EXPECT_EQ(state(kLibrary).coo, 0u);
  write_configuration("[ECF]\r\nPORTACOM=COM2\r\n");
  EXPECT_EQ(run_sale(kModel, kWithDiscount), "000001");
  EXPECT_TRUE(take_messages().empty());
}

// Argument forms the printer refuses with its own number.
TEST_F(SigtronDay, RefusesWhatItCannotRead) {
  items_refused(kModel,
                {
                    {{"1", "ARROZ", "09", 1, 1.00}, "Erro na ECF n\xBA :18"},         // rate not programmed
                    {{"1", "ARROZ", "01", 1, 10000000.00}, "Erro na ECF n\xBA :16"},  // price wider than 10 digits
                    {{"1", "ARROZ", "01", 0, 1.00}, "Erro na ECF n\xBA :28"},         // quantity zero
                });
  ASSERT_TRUE(sell(kModel, {"1", "ARROZ", "01", 1, 1.00}));
  EXPECT_EQ(KALPO_Inicia_Fechamento(kModel, 0), 1);
  EXPECT_EQ(KALPO_forma_pagamento(kModel, "Vale", 1.00), 0);  // no form programmed under "V"
  EXPECT_TRUE(shown(take_messages(), "Erro na ECF n\xBA :38"));
  EXPECT_EQ(state(kLibrary).coupon->payments.size(), 0u);
}

}  // namespace
}  // namespace kalpo::day
