// BEMATECHMP20 and BEMATECHMFD through BEMAFI32: the whole day, the day
// with each fault, the status read, the argument forms refused.  The day's
// script (shared with SWEDA7000) is here too.
#include <dlfcn.h>

#include "bematech_day.h"

namespace kalpo::day {

namespace {

std::string text(const char *out) { return out ? out : "(null)"; }

std::string fields(std::initializer_list<std::string> values) {
  std::string joined;
  for (const std::string &value : values) joined += (joined.empty() ? "" : ",") + value;
  return joined;
}

}  // namespace

// ---- The day's script ----

std::string BematechDay::open_coupon() {
  const char *number = nullptr;
  EXPECT_EQ(KALPO_AbreCupom(model_.c_str(), &number, "", "", ""), 1);
  return text(number);
}

void BematechDay::sell(const char *code, const char *description, const char *rate, double quantity, double price) {
  EXPECT_EQ(KALPO_VendaItem(model_.c_str(), code, description, rate, "F", quantity, 2, price, "", 0.0), 1)
      << description;
}

void BematechDay::pay(const char *form, double amount) {
  EXPECT_EQ(KALPO_forma_pagamento(model_.c_str(), form, amount), 1) << form;
}

void BematechDay::close() {
  Control message("Obrigado, volte sempre!");
  EXPECT_EQ(KALPO_fecha_cupom(model_.c_str(), message.get()), 1);
}

void BematechDay::sale_1() {
  EXPECT_EQ(open_coupon(), bematech() ? "000003" : "000002");
  if (bematech()) {
    EXPECT_EQ(KALPO_Cupom_Aberto(model_.c_str()), 1);
  }
  sell("1001", "ARROZ TIPO 1 5KG", "01", 2, 10.00);
  sell("1002", "FEIJAO CARIOCA 1KG", "02", 1.5, 2.99);
  EXPECT_EQ(KALPO_Cancela_Item(model_.c_str(), 2), 1);
  EXPECT_EQ(KALPO_Inicia_Fechamento(model_.c_str(), 0), 1);
  pay("Dinheiro", 20.00);
  close();
  if (bematech()) {
    EXPECT_EQ(KALPO_Cupom_Aberto(model_.c_str()), 0);
  }
}

void BematechDay::sale_2(const std::function<void()> &before_close) {
  open_coupon();
  sell("2001", "OLEO DE SOJA 900ML", "FF", 3, 5.00);
  EXPECT_EQ(KALPO_Inicia_Fechamento(model_.c_str(), 1.50), 1);
  pay("Dinheiro", 13.50);
  if (before_close) before_close();
  close();
}

void BematechDay::sale_3_cancelled() {
  open_coupon();
  sell("3001", "CAFE TORRADO 500G", "03", 1, 8.00);
  EXPECT_EQ(KALPO_Inicia_Fechamento(model_.c_str(), 0), 1);
  pay("Dinheiro", 10.00);
  close();
  std::int32_t count = -1;
  const char *number = nullptr, *flag = nullptr;
  EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom(model_.c_str(), nullptr, nullptr, &count, &number, &flag), 1);
  // Bematech reads the number before cancelling (the coupon's own COO, 5),
  // Sweda after it (the cancellation's COO, 5 too: it has no opening).
  EXPECT_EQ(text(number), "000005");
  EXPECT_EQ(text(flag), "N");
}

void BematechDay::sale_4() {
  EXPECT_EQ(open_coupon(), bematech() ? "000007" : "000006");
  sell("4001", "ACUCAR CRISTAL 5KG", "II", 1, 30.00);
  sell("4002", "SAL REFINADO 1KG", "03", 0.5, 7.00);
  EXPECT_EQ(KALPO_Inicia_Fechamento(model_.c_str(), 0), 1);
  pay("Cartao", 20.00);
  pay("Dinheiro", 20.00);
  close();
}

void BematechDay::voucher() {
  EXPECT_EQ(KALPO_cupom_vinculado(model_.c_str(), "Cartao", bematech() ? "000007" : "000006", 20.00), 1);
  if (model_ == "BEMATECHMFD") {
    Control lines("COMPROVANTE CARTAO\r\nVALOR R$ 20,00");
    EXPECT_EQ(KALPO_usavinculadotermica(model_.c_str(), lines.get()), 1);
  } else {
    EXPECT_EQ(KALPO_usavinculado(model_.c_str(), "COMPROVANTE CARTAO\r\nVALOR R$ 20,00"), 1);
  }
  EXPECT_EQ(KALPO_FechaCupomNaovinculado(model_.c_str()), 1);
}

// SWEDA7000 has no management report in KALPO: both calls answer false
// and reach no printer.
void BematechDay::report() {
  int expected = bematech() ? 1 : 0;
  EXPECT_EQ(KALPO_AbreRelGerencial(model_.c_str(), "FECHAMENTO DE CAIXA", ""), expected);
  EXPECT_EQ(KALPO_FechaGerencial(model_.c_str()), expected);
}

void BematechDay::queries() {
  const char *serial = nullptr, *firmware = nullptr;
  EXPECT_EQ(KALPO_MostraNumSerie(model_.c_str(), &serial), 1);
  EXPECT_EQ(text(serial), model_ == "BEMATECHMP20" ? "000000000000001" : "KP0000000000000001");
  if (model_ == "BEMATECHMFD") expected_messages_.push_back(notice("KP0000000000000001  "));
  EXPECT_EQ(KALPO_FirmWare(model_.c_str(), &firmware), 1);
  EXPECT_EQ(text(firmware), "01.00.00  ");
  if (!bematech()) return;

  const char *out = nullptr, *time = nullptr;
  EXPECT_EQ(KALPO_NumeroCupom(model_.c_str(), &out), 1);
  EXPECT_EQ(text(out), "000009");
  EXPECT_EQ(KALPO_RetornaGT(model_.c_str(), &out), 1);
  EXPECT_EQ(text(out), "000000000000008099");
  EXPECT_EQ(KALPO_DataHoraEcf(model_.c_str(), &out, &time), 1);
  EXPECT_EQ(text(out), "071226");
  EXPECT_EQ(text(time).substr(0, 2), "10");
  EXPECT_EQ(KALPO_NumReducao(model_.c_str(), &out), 1);
  EXPECT_EQ(text(out), "0000");
  EXPECT_EQ(KALPO_ResumoAliq(model_.c_str()), 1);
  EXPECT_EQ(KALPO_TotalizadorParcial(model_.c_str(), &out), 1);
  std::string zero(14, '0');
  std::string totals = fields({"00000000002000",
                               zero,
                               "00000000000350",
                               zero,
                               zero,
                               zero,
                               zero,
                               zero,
                               zero,
                               zero,
                               zero,
                               zero,
                               zero,
                               zero,
                               zero,
                               zero,
                               "00000000001500",
                               "00000000003000",
                               zero,
                               "00000000001249",
                               "00000000000150",
                               zero,
                               "00000000008099",
                               "000000000000008099"});
  EXPECT_EQ(text(out), totals + std::string(445 - totals.size(), ' '));
  std::int32_t ack = 0, st1 = -1, st2 = -1;
  EXPECT_EQ(KALPO_VerificaEstadoECF(model_.c_str(), &ack, &st1, &st2), 1);
  EXPECT_EQ(ack, 6);
  EXPECT_EQ(st1, 0);
  EXPECT_EQ(st2, 0);
  EXPECT_EQ(KALPO_Cupom_Aberto(model_.c_str()), 0);
  EXPECT_EQ(KALPO_AbreGaveta(model_.c_str()), 1);
  EXPECT_EQ(state(lib()).drawer_openings, 1u);
}

void BematechDay::reduction() {
  std::int32_t count = -1;
  EXPECT_EQ(KALPO_Reducaoz(model_.c_str(), nullptr, nullptr, nullptr, &count), 1);
  expected_messages_.push_back({KALPO_MSG_DIALOG,
                                "A Redu\xE7\xE3o Z impossibilitar\xE1 novas impress\xF5"
                                "es\rde Cupons Fiscais!\r\rContinua ?",
                                "", 0x24});
  if (!bematech()) return;
  const char *counter = nullptr;
  EXPECT_EQ(KALPO_NumReducao(model_.c_str(), &counter), 1);
  EXPECT_EQ(text(counter), "0001");
  EXPECT_EQ(KALPO_LeituraMemFiscal(model_.c_str(), "1", "1", "N"), 1);
  EXPECT_EQ(KALPO_LeituraMemFiscal(model_.c_str(), "07/12/2026", "07/12/2026", "D"), 1);
}

void BematechDay::check_counters(std::uint32_t coo, ksim::Cents grand_total) {
  ksim::State printer = state(lib());
  EXPECT_EQ(printer.coo, coo);
  EXPECT_EQ(printer.grand_total, grand_total);
}

void BematechDay::check_tape() {
  std::vector<std::pair<std::string, std::uint32_t>> expected = {{"LEITURA X", 1},
                                                                 {"LEITURA X", 2},
                                                                 {"CUPOM FISCAL", 3},
                                                                 {"CUPOM FISCAL", 4},
                                                                 {"CUPOM FISCAL", 5},
                                                                 {"CUPOM FISCAL CANCELADO", 6},
                                                                 {"CUPOM FISCAL", 7},
                                                                 {"COMPROVANTE CREDITO OU DEBITO", 8},
                                                                 {"RELATORIO GERENCIAL", 9},
                                                                 {"REDUCAO Z", 10},
                                                                 {"LEITURA DA MEMORIA FISCAL", 11},
                                                                 {"LEITURA DA MEMORIA FISCAL", 12}};
  if (!bematech()) {  // no opening of the day, no report, no fiscal-memory readings
    expected = {{"LEITURA X", 1},
                {"CUPOM FISCAL", 2},
                {"CUPOM FISCAL", 3},
                {"CUPOM FISCAL", 4},
                {"CUPOM FISCAL CANCELADO", 5},
                {"CUPOM FISCAL", 6},
                {"COMPROVANTE CREDITO OU DEBITO", 7},
                {"REDUCAO Z", 8}};
  }
  std::vector<ksim::Page> pages = tape(lib());
  ASSERT_EQ(pages.size(), expected.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i].title, expected[i].first) << i;
    EXPECT_EQ(pages[i].coo, expected[i].second) << i;
  }
  std::size_t first_sale = bematech() ? 2 : 1;
  const ksim::Page &sale1 = pages[first_sale], &sale2 = pages[first_sale + 1], &sale4 = pages[first_sale + 4];
  EXPECT_EQ(amount_on(sale1, "TOTAL R$"), 2000);
  EXPECT_EQ(amount_on(sale1, "    CANCELADO ITEM 002"), -449);
  EXPECT_TRUE(has_line(sale1, "Obrigado, volte sempre!"));
  EXPECT_EQ(amount_on(sale2, "DESCONTO R$"), 150);
  EXPECT_EQ(amount_on(sale2, "TOTAL R$"), 1350);
  EXPECT_EQ(amount_on(sale4, "TOTAL R$"), 3350);
  EXPECT_EQ(amount_on(sale4, "TROCO R$"), 650);
  EXPECT_TRUE(has_line(pages[first_sale + 5], "VALOR R$ 20,00"));
  if (bematech()) {
    EXPECT_TRUE(has_line(pages[8], "FECHAMENTO DE CAIXA"));
  }
  const ksim::Page &z = pages[bematech() ? 9 : 7];
  EXPECT_EQ(amount_on(z, "GRANDE TOTAL R$"), 8099);
  EXPECT_EQ(amount_on(z, "VENDA BRUTA DIARIA R$"), 8099);
  EXPECT_EQ(amount_on(z, "CANCELAMENTOS R$"), 1249);
  EXPECT_EQ(amount_on(z, "DESCONTOS R$"), 150);
}

void BematechDay::run_day(const std::string &model, const std::function<void()> &before_close_of_sale_2) {
  model_ = model;
  set_clock(lib(), 2026, 12, 7, 10, 0);
  // The MFD's day runs with the paper handling: 15 lines between documents.
  if (model_ == "BEMATECHMFD") write_configuration("[ECF]\r\nDESATIVAFACA=S\r\n");
  std::int32_t count = -1;
  if (bematech()) {
    EXPECT_EQ(KALPO_Abredia(model_.c_str()), 1);
  }
  EXPECT_EQ(KALPO_Leiturax(model_.c_str(), nullptr, nullptr, &count), 1);
  sale_1();
  sale_2(before_close_of_sale_2);
  sale_3_cancelled();
  sale_4();
  voucher();
  report();
  queries();
  reduction();
  EXPECT_EQ(take_messages(), expected_messages_);

  ksim::State printer = state(lib());
  EXPECT_EQ(printer.coo, bematech() ? 12u : 8u);
  EXPECT_EQ(printer.ccf, 4u);
  EXPECT_EQ(printer.crz, 1u);
  EXPECT_EQ(printer.grand_total, 8099);
  EXPECT_EQ(printer.lines_between_documents, model_ == "BEMATECHMFD" ? 15 : 0);
  check_tape();
}

void BematechDay::run_day_with(const std::string &model, const FaultRun &fault) {
  run_day(model, [&] {
    set_fault(lib(), fault.name, fault.value, true);
    Control message("Obrigado, volte sempre!");
    EXPECT_EQ(KALPO_fecha_cupom(model_.c_str(), message.get()), 0);
    EXPECT_EQ(take_messages(), fault.shown);
    ksim::State printer = state(lib());
    EXPECT_EQ(printer.open, ksim::Document::coupon);
    EXPECT_EQ(printer.coo, bematech() ? 4u : 3u);
    EXPECT_EQ(printer.grand_total, 2449 + 1500);
    EXPECT_EQ(printer.coupon->paid(), 1350);
    clear_faults(lib());
  });
}

// ---- BEMATECHMP20 and BEMATECHMFD ----

namespace {

class BemaDay : public BematechDay, public ::testing::WithParamInterface<const char *> {};

TEST_P(BemaDay, AWholeDayWithoutAMessage) { run_day(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Models, BemaDay, ::testing::Values("BEMATECHMP20", "BEMATECHMFD"),
                         [](const auto &info) { return std::string(info.param); });

class BemaFaultDay : public BematechDay, public ::testing::WithParamInterface<std::tuple<const char *, FaultRun>> {};

TEST_P(BemaFaultDay, TheFaultShowsTheMakersMessageAndLosesNothing) {
  run_day_with(std::get<0>(GetParam()), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Faults, BemaFaultDay,
                         ::testing::Combine(::testing::Values("BEMATECHMP20", "BEMATECHMFD"),
                                            ::testing::ValuesIn(fault_runs())),
                         [](const auto &info) {
                           return std::string(std::get<0>(info.param)) + "_" + fault_name(std::get<1>(info.param));
                         });

// The status read: a sale shows no box, while the printer's state tells
// whether a coupon is open.
class BemaStatus : public BematechDay {
 protected:
  void SetUp() override {
    BematechDay::SetUp();
    model_ = "BEMATECHMP20";
    set_clock(lib(), 2026, 12, 7, 10, 0);
  }
  void refused(std::uint8_t result, std::vector<Message> shown) {
    EXPECT_EQ(result, 0);
    EXPECT_EQ(take_messages(), shown);
  }
};

TEST_F(BemaStatus, ASaleShowsNoBoxAndTheOpenCouponIsTheState) {
  EXPECT_EQ(KALPO_Cupom_Aberto("BEMATECHMP20"), 0);
  open_coupon();
  EXPECT_EQ(KALPO_Cupom_Aberto("BEMATECHMP20"), 1);
  sell("1", "PAO", "01", 1, 1.00);
  EXPECT_EQ(KALPO_Cupom_Aberto("BEMATECHMP20"), 1);
  EXPECT_TRUE(take_messages().empty());

  const char *number = nullptr;
  refused(KALPO_AbreCupom("BEMATECHMP20", &number, "", "", ""),
          {box("Cupom aberto!", kAttention, 0x40), dialog(kNotExecuted)});
  EXPECT_EQ(KALPO_Cupom_Aberto("BEMATECHMP20"), 1);
  // The state asked for on purpose shows its bits.
  std::int32_t ack = 0, st1 = 0, st2 = 0;
  EXPECT_EQ(KALPO_VerificaEstadoECF("BEMATECHMP20", &ack, &st1, &st2), 1);
  EXPECT_EQ(st1, 2);
  EXPECT_EQ(take_messages(), std::vector<Message>{box("Cupom aberto!", kAttention, 0x40)});

  EXPECT_EQ(KALPO_Inicia_Fechamento("BEMATECHMP20", 0), 1);
  pay("Dinheiro", 1.00);
  close();
  EXPECT_EQ(KALPO_Cupom_Aberto("BEMATECHMP20"), 0);
  EXPECT_TRUE(take_messages().empty());
}

TEST_F(BemaStatus, EachRefusalShowsItsCondition) {
  Message generic = dialog(kNotExecuted);
  open_coupon();
  refused(KALPO_VendaItem("BEMATECHMP20", "1", "PAO", "09", "F", 1, 2, 1.00, "", 0),
          {box("Al\xEDquota n\xE3o programada!", kAttention, 0x40), generic});
  refused(KALPO_VendaItem("BEMATECHMP20", "1", "PAO", "T01", "F", 1, 2, 1.00, "", 0),
          {generic, box("Par\xE2metro Inv\xE1lido !", "Erro", 0x10)});
  sell("1", "PAO", "01", 1, 1.00);
  refused(KALPO_Cancela_Item("BEMATECHMP20", 9), {box("Cancelamento n\xE3o permitido!", kAttention, 0x40), generic});
  refused(KALPO_forma_pagamento("BEMATECHMP20", "Dinheiro", 1.00), {generic});  // before the closing started
  EXPECT_EQ(KALPO_Inicia_Fechamento("BEMATECHMP20", 0), 1);
  refused(KALPO_forma_pagamento("BEMATECHMP20", "Cheque", 1.00),
          {generic, box("Forma de pagamento n\xE3o programada.", kAttention, 0x40)});
  pay("Dinheiro", 0.50);
  Control message("");
  refused(KALPO_fecha_cupom("BEMATECHMP20", message.get()), {generic});  // payments short
  EXPECT_EQ(state("bemafi32").grand_total, 100);
}

// An unreadable answer: code 0, and the buffer's digits unreadable.
TEST_F(BemaStatus, AnUnreadableQueryAnswer) {
  set_fault("bemafi32", "unreadable", "", true);
  const char *total = nullptr;
  refused(KALPO_RetornaGT("BEMATECHMP20", &total),
          {dialog(kNotExecuted), box("Erro de Comunica\xE7\xE3o !", "Erro", 0x10)});
  EXPECT_EQ(text(total), std::string(18, '?'));
  EXPECT_EQ(KALPO_RetornaGT("BEMATECHMP20", &total), 1);
  EXPECT_EQ(text(total), std::string(18, '0'));
}

// Argument forms other than those KALPO sends are refused with -2.
TEST_F(BemaStatus, ArgumentFormsOtherThanKalposAreRefused) {
  using Two = std::int32_t (*)(const char *, const char *);
  using Three = std::int32_t (*)(const char *, const char *, const char *);
  using Sell = std::int32_t (*)(const char *, const char *, const char *, const char *, const char *, const char *,
                                const char *, const char *, const char *);
  auto pay_call = reinterpret_cast<Two>(dlsym(maker_library("libbemafi32.so"), "Bematech_FI_EfetuaFormaPagamento"));
  auto voucher_call =
      reinterpret_cast<Three>(dlsym(maker_library("libbemafi32.so"), "Bematech_FI_AbreComprovanteNaoFiscalVinculado"));
  auto sell_call = reinterpret_cast<Sell>(dlsym(maker_library("libbemafi32.so"), "Bematech_FI_VendeItemDepartamento"));
  ASSERT_TRUE(pay_call && voucher_call && sell_call);
  const std::string description_30(30, 'X');
  struct Case {
    const char *what;
    std::int32_t code;
  } cases[] = {
      {"payment amount of 4 digits", pay_call("Dinheiro", "2000")},
      {"payment amount of 15 digits", pay_call("Dinheiro", "000000000002000")},
      {"voucher amount of 12 digits", voucher_call("Cartao", "000000002000", "")},
      {"voucher COO of 7 digits", voucher_call("Cartao", "00000000002000", "0000001")},
      {"quantity with a comma", sell_call("1", "PAO", "01", "1000", "1,000", "0000", "0000", "1", "UN")},
      {"price with a comma", sell_call("1", "PAO", "01", "1,00", "1000", "0000", "0000", "1", "UN")},
      {"description of 30", sell_call("1", description_30.c_str(), "01", "1000", "1000", "0000", "0000", "1", "UN")},
      {"department 21", sell_call("1", "PAO", "01", "1000", "1000", "0000", "0000", "21", "UN")},
      {"item surcharge", sell_call("1", "PAO", "01", "1000", "1000", "0010", "0000", "1", "UN")},
      {"null form", pay_call(nullptr, "000000002000")},
  };
  for (const Case &c : cases) EXPECT_EQ(c.code, -2) << c.what;
  EXPECT_EQ(state("bemafi32").coo, 0u);
}

}  // namespace

}  // namespace kalpo::day
