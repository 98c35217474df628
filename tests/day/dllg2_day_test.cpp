// Whole fiscal days on the command-driver models (ELGINFIT, DATAREGISQUICK,
// DATAREGISSERIAL) through the real exports of libkalpo and DllG2; every
// figure below is worked out by hand.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "harness.h"

namespace kalpo::day {
namespace {

constexpr char kLibrary[] = "dllg2";
constexpr double kDay = 46363.0;  // 7 December 2026, days since 30 December 1899

struct Sold {
  const char *code, *description, *rate;
  double quantity, price;
};
struct Paid {
  const char *form;
  double amount;
};

class Dllg2Day : public DayTest, public ::testing::WithParamInterface<const char *> {
 protected:
  void SetUp() override {
    DayTest::SetUp();
    set_clock(kLibrary, 2026, 12, 7, 9, 0);
  }
  const char *model() const { return GetParam(); }
  bool serial() const { return std::string_view(model()) == "DATAREGISSERIAL"; }
  bool quick() const { return std::string_view(model()) == "DATAREGISQUICK"; }

  // One sale; answers the coupon number KALPO hands back.
  std::string sale(const std::vector<Sold> &items, int cancel, double discount, const std::vector<Paid> &payments) {
    const char *number = nullptr;
    EXPECT_EQ(KALPO_AbreCupom(model(), &number, "", "", ""), 1);
    for (const Sold &i : items) {
      EXPECT_EQ(KALPO_VendaItem(model(), i.code, i.description, i.rate, "I", i.quantity, 2, i.price, "", 0), 1);
    }
    if (cancel) {
      EXPECT_EQ(KALPO_Cancela_Item(model(), cancel), 1);
    }
    EXPECT_EQ(KALPO_Inicia_Fechamento(model(), discount), 1);
    if (discount > 0) {
      EXPECT_EQ(KALPO_desc_fechamento(model(), discount), 1);
    }
    for (const Paid &p : payments) {
      EXPECT_EQ(KALPO_forma_pagamento(model(), p.form, p.amount), 1);
    }
    Control message{"Obrigado"};
    EXPECT_EQ(KALPO_fecha_cupom(model(), &message.control), 1);
    return number ? number : "";
  }

  std::vector<std::string> fiscal_file_lines() {
    const auto folder = std::filesystem::path(ksim::windows_path("C:\\Zantrello\\NFP"));
    std::vector<std::filesystem::path> files;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
    EXPECT_EQ(files.size(), 1u);
    std::ifstream in(files.at(0), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      EXPECT_EQ(line.back(), '\r');
      lines.push_back(line.substr(0, line.size() - 1));
    }
    return lines;
  }
};

std::vector<std::string> of_type(const std::vector<std::string> &lines, std::string_view type) {
  std::vector<std::string> found;
  for (const auto &line : lines)
    if (line.compare(0, 3, type) == 0) found.push_back(line);
  return found;
}

TEST_P(Dllg2Day, AWholeDayKeepsEveryCounterAndTotal) {
  std::int32_t count = 0;
  EXPECT_EQ(KALPO_Leiturax(model(), nullptr, nullptr, &count), 1);
  // 12,50 + 14,70 sold, the second item cancelled.
  EXPECT_EQ(
      sale({{"001", "ARROZ 5KG", "01", 1, 12.50}, {"002", "FEIJAO 1KG", "02", 2, 7.35}}, 2, 0, {{"Dinheiro", 12.50}}),
      "2");
  // 14,97 + 4,95 = 19,92 less 1,92.
  EXPECT_EQ(
      sale({{"003", "LEITE 1L", "03", 3, 4.99}, {"004", "PAO FRANCES", "FF", 0.5, 9.90}}, 0, 1.92, {{"Cartao", 18.00}}),
      "3");
  EXPECT_EQ(sale({{"007", "SABAO", "02", 1, 3.00}}, 0, 0, {{"Dinheiro", 3.00}}), "4");
  const char *number = nullptr, *state_flag = nullptr;
  EXPECT_EQ(KALPO_Cancela_Ultimo_Cupom(model(), nullptr, nullptr, &count, &number, &state_flag), 1);
  // The serial model reads the number before cancelling, the USB ones after
  // (the cancellation is document 5).
  EXPECT_STREQ(number, serial() ? "4" : "5");
  // 15,00 + 8,50 = 23,50 paid 10,00 + 20,00: change 6,50.
  EXPECT_EQ(sale({{"005", "CAFE 500G", "01", 1, 15.00}, {"006", "ACUCAR 1KG", "II", 2, 4.25}}, 0, 0,
                 {{"Cartao", 10.00}, {"Dinheiro", 20.00}}),
            "6");

  EXPECT_EQ(KALPO_cupom_vinculado(model(), "Cartao", "6", 10.00), 1);
  Control voucher{"TEF APROVADO\r\nCARTAO FINAL 1234"};
  EXPECT_EQ(KALPO_usavinculadotermica(model(), &voucher.control), 1);
  EXPECT_EQ(KALPO_FechaCupomNaovinculado(model()), 1);
  EXPECT_EQ(KALPO_AbreRelGerencial(model(), "", "01"), 1);
  Control report{"FECHAMENTO DO CAIXA"};
  EXPECT_EQ(KALPO_usavinculadotermica(model(), &report.control), 1);
  EXPECT_EQ(KALPO_FechaGerencial(model()), 1);  // sends nothing: the Z closes the report

  const char *text = nullptr;
  EXPECT_EQ(KALPO_MostraNumSerie(model(), &text), 1);
  EXPECT_STREQ(text, "KP0000000000000001");
  EXPECT_EQ(KALPO_FirmWare(model(), &text), 1);
  EXPECT_STREQ(text, "01.00.00");
  if (!quick()) {
    KALPO_LeData(model(), &text);
    EXPECT_STREQ(text, "07/12/2026");
  }
  EXPECT_EQ(KALPO_AbreGaveta(model()), 1);
  EXPECT_EQ(KALPO_ImpressaoBobina(model()), 1);
  EXPECT_TRUE(messages().empty()) << messages().front().text;

  EXPECT_EQ(KALPO_Reducaoz(model(), nullptr, nullptr, nullptr, &count), 1);
  EXPECT_EQ(take_messages().size(), 1u);  // the confirmation alone

  const ksim::State s = state(kLibrary);
  EXPECT_EQ(s.coo, 9u);
  EXPECT_EQ(s.ccf, 4u);
  EXPECT_EQ(s.crz, 1u);
  EXPECT_EQ(s.grand_total, 7362);
  EXPECT_EQ(s.drawer_openings, 1u);
  EXPECT_EQ(s.lines_between_documents, quick() ? 0 : 14);  // 350 dot rows
  ASSERT_EQ(s.fiscal_memory.size(), 1u);
  const ksim::Reduction &z = s.fiscal_memory[0];
  EXPECT_EQ(z.date, "2026-12-07");
  EXPECT_EQ(z.gross, 7362);
  EXPECT_EQ(z.cancellations, 1770);
  EXPECT_EQ(z.discounts, 192);
  const std::vector<std::pair<std::string, ksim::Cents>> per_rate = {
      {"T01", 2750}, {"T02", 0}, {"T03", 1497}, {"FF", 495}, {"II", 850}};
  for (const auto &[code, value] : z.per_rate) {
    for (const auto &[rate, cents] : per_rate) {
      if (code == rate) {
        EXPECT_EQ(value, cents) << rate;
      }
    }
  }

  const std::vector<ksim::Page> pages = tape(kLibrary);
  const std::vector<std::string> titles = {"LEITURA X",
                                           "CUPOM FISCAL",
                                           "CUPOM FISCAL",
                                           "CUPOM FISCAL",
                                           "CUPOM FISCAL CANCELADO",
                                           "CUPOM FISCAL",
                                           "COMPROVANTE CREDITO OU DEBITO",
                                           "RELATORIO GERENCIAL",
                                           "REDUCAO Z"};
  ASSERT_EQ(pages.size(), titles.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i].title, titles[i]);
    EXPECT_EQ(pages[i].coo, i + 1);
  }
  EXPECT_TRUE(has_line(pages[1], "CANCELADO ITEM 002"));
  EXPECT_EQ(amount_on(pages[1], "TOTAL R$"), 1250);
  EXPECT_EQ(amount_on(pages[2], "DESCONTO R$"), 192);
  EXPECT_EQ(amount_on(pages[2], "TOTAL R$"), 1800);
  EXPECT_EQ(amount_on(pages[5], "TROCO R$"), 650);
  EXPECT_TRUE(has_line(pages[6], "CARTAO FINAL 1234"));
  EXPECT_TRUE(has_line(pages[7], "FECHAMENTO DO CAIXA"));
  EXPECT_EQ(amount_on(pages[8], "VENDA BRUTA DIARIA R$"), 7362);
  EXPECT_EQ(amount_on(pages[8], "VENDA LIQUIDA R$"), 5400);

  if (!serial()) return;
  EXPECT_EQ(KALPO_HorarioVerao(model(), "ENTRAR"), 1);
  EXPECT_TRUE(state(kLibrary).daylight_saving);
  EXPECT_EQ(KALPO_HorarioVerao(model(), "SAIR"), 1);
  EXPECT_FALSE(state(kLibrary).daylight_saving);
  KALPO_GeraCotepe(model(), kDay);  // the file is what counts
  EXPECT_TRUE(messages().empty()) << messages().front().text;
  const auto lines = fiscal_file_lines();
  EXPECT_EQ(of_type(lines, "E01").size(), 1u);
  EXPECT_EQ(of_type(lines, "E12").size(), 1u);
  EXPECT_EQ(of_type(lines, "E15").size(), 7u);
  EXPECT_EQ(of_type(lines, "E21").size(), 5u);
  const auto coupons = of_type(lines, "E14");
  ASSERT_EQ(coupons.size(), 4u);
  // COO at 33-41, total at 96-109, cancelled at 110, change at 111-123.
  EXPECT_EQ(coupons[2].substr(32, 9), "000000004");
  EXPECT_EQ(coupons[2][109], 'S');
  EXPECT_EQ(coupons[3].substr(32, 9), "000000006");
  EXPECT_EQ(coupons[3].substr(95, 14), "00000000002350");
  EXPECT_EQ(coupons[3].substr(110, 13), "0000000000650");
  const auto items = of_type(lines, "E15");
  EXPECT_NE(items[1].find("FEIJAO 1KG"), std::string::npos);
  EXPECT_EQ(items[1].back(), 'S');
  EXPECT_NE(items[3].find("PAO FRANCES"), std::string::npos);
  EXPECT_EQ(items[3].substr(164, 7), "0000500");  // 0,500 of a kilogram
}

// A fault met while the second item is sold; the driver's message as KALPO
// shows it (a failed exchange shows the bare error code).
struct FaultCase {
  const char *name, *value, *usb_message, *serial_message;
};
const FaultCase kFaults[] = {
    {"paper_end", "", "Impressora est\xe1 sem papel para imprimir.", "Impressora est\xe1 sem papel para imprimir."},
    {"off", "", "15013", "15013"},
    {"refuse", "8001",
     "C\xf3"
     "digo mercadoria n\xe3o v\xe1lido.",
     "C\xf3"
     "digo mercadoria n\xe3o v\xe1lido."},
    {"driver_start", "", "Erro -1", "-1"},
};

TEST_P(Dllg2Day, EachFaultShowsTheDriversMessageAndLosesNothing) {
  for (const FaultCase &fault : kFaults) {
    SCOPED_TRACE(fault.name);
    fresh_folders();
    set_clock(kLibrary, 2026, 12, 7, 9, 0);
    const char *number = nullptr;
    ASSERT_EQ(KALPO_AbreCupom(model(), &number, "", "", ""), 1);
    ASSERT_EQ(KALPO_VendaItem(model(), "001", "ARROZ 5KG", "01", "I", 1, 2, 12.50, "", 0), 1);
    set_fault(kLibrary, fault.name, fault.value);
    EXPECT_EQ(KALPO_VendaItem(model(), "002", "FEIJAO 1KG", "02", "I", 2, 2, 7.35, "", 0), 0);
    const auto shown = take_messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, serial() ? fault.serial_message : fault.usb_message);
    clear_faults(kLibrary);
    EXPECT_EQ(state(kLibrary).coupon->items.size(), 1u);

    EXPECT_EQ(KALPO_VendaItem(model(), "002", "FEIJAO 1KG", "02", "I", 2, 2, 7.35, "", 0), 1);
    EXPECT_EQ(KALPO_forma_pagamento(model(), "Dinheiro", 30.00), 1);
    Control message{""};
    EXPECT_EQ(KALPO_fecha_cupom(model(), &message.control), 1);
    EXPECT_TRUE(messages().empty());
    const ksim::State s = state(kLibrary);
    EXPECT_TRUE(s.coupon->closed);
    EXPECT_EQ(s.coupon->total(), 2720);
    EXPECT_EQ(s.coupon->change(), 280);
    EXPECT_EQ(s.grand_total, 2720);
  }
}

TEST_P(Dllg2Day, ASlowAnswerIsWaitedForAndAnUnreadableOneReachesTheCaller) {
  set_fault(kLibrary, "unreadable");
  const char *number = nullptr;
  EXPECT_EQ(KALPO_AbreCupom(model(), &number, "", "", ""), 1);
  EXPECT_STREQ(number, "?");  // COO 1, spoilt
  clear_faults(kLibrary);
  set_fault(kLibrary, "slow", "300", true);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(KALPO_VendaItem(model(), "001", "ARROZ 5KG", "01", "I", 1, 2, 12.50, "", 0), 1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(state(kLibrary).coupon->items.size(), 1u);
}

// Argument forms the printer refuses, with its own texts.
TEST_P(Dllg2Day, RefusedArgumentFormsShowTheDriversTexts) {
  const char *number = nullptr;
  ASSERT_EQ(KALPO_AbreCupom(model(), &number, "", "", ""), 1);
  const struct {
    const char *rate;
    double quantity;
    const char *message;
  } items[] = {
      {"09", 1, "Al\xedquota n\xe3o carregada."},
      {"X1", 1, "\xcdndice da al\xedquota n\xe3o v\xe1lido."},
      {"01", 0.0625, "Quantidade inv\xe1lida."},  // four decimals
  };
  for (const auto &item : items) {
    EXPECT_EQ(KALPO_VendaItem(model(), "001", "ARROZ", item.rate, "I", item.quantity, 2, 1.00, "", 0), 0);
    const auto shown = take_messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, item.message);
  }
  ASSERT_EQ(KALPO_VendaItem(model(), "001", "ARROZ", "01", "I", 1, 2, 1.00, "", 0), 1);
  KALPO_forma_pagamento(model(), "Cheque", 1.00);
  EXPECT_EQ(take_messages().at(0).text, "Meio de Pagamento n\xe3o definido.");
  EXPECT_TRUE(state(kLibrary).coupon->payments.empty());
  ASSERT_EQ(KALPO_forma_pagamento(model(), "dinheiro", 1.00), 1);
  Control message{""};
  ASSERT_EQ(KALPO_fecha_cupom(model(), &message.control), 1);
  EXPECT_EQ(KALPO_cupom_vinculado(model(), "Dinheiro", "99", 1.00), 0);
  EXPECT_EQ(take_messages().at(0).text, "COO do documento vinculado inv\xe1lido.");
  EXPECT_EQ(KALPO_cupom_vinculado(model(), "Cartao", "1", 1.00), 0);
  EXPECT_EQ(take_messages().at(0).text, "\xcdndice do Meio de Pagamento no cupom inv\xe1lido.");
  EXPECT_EQ(state(kLibrary).coo, 1u);
}

// "DESATIVAFACA" = "S": ELGINFIT cuts the paper after each document through
// the serial handle, which names the first instance.
TEST_F(DayTest, ElginFitCutsThePaperWhenConfigured) {
  write_configuration("[ECF]\r\nDESATIVAFACA=S\r\n");
  std::int32_t count = 0;
  KALPO_Leiturax("ELGINFIT", nullptr, nullptr, &count);
  KALPO_Leiturax("DATAREGISQUICK", nullptr, nullptr, &count);
  EXPECT_EQ(state(kLibrary).cuts, 1u);
  EXPECT_TRUE(messages().empty());
}

INSTANTIATE_TEST_SUITE_P(CommandDriver, Dllg2Day, ::testing::Values("ELGINFIT", "DATAREGISQUICK", "DATAREGISSERIAL"));

}  // namespace
}  // namespace kalpo::day
