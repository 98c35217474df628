// A whole fiscal day on every printer model through kalpo.dll, loaded with
// LoadLibrary and bound by name as a point-of-sale program binds it.  KALPO
// reads c:\zantrello\configs\kalpo.ini through the profile functions; the
// virtual printers keep their files in c:\kalpo-sim\<library>\, read back
// here through the fiscal core and tape.txt.  Each model's steps and figures
// are those of its whole-day test on Linux (tests/day/), worked out by hand
// there.  The whole run is traced through KALPO_TRACE set in the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/printer.h"
#include "day/paper.h"
#include "kalpo_api.h"

namespace kalpo::windows_check {
namespace {

using day::amount_on;
using day::has_line;

constexpr const char kConfigFile[] = "c:\\zantrello\\configs\\kalpo.ini";
constexpr const char kSimFolder[] = "c:\\kalpo-sim\\";
const std::string kConfirmation =
    "A Redu\xE7\xE3o Z impossibilitar\xE1 novas impress\xF5"
    "es\rde Cupons Fiscais!\r\rContinua ?";

// ---- kalpo.dll, loaded once ----

Api g_api;
std::vector<std::string> g_messages;  // the operator's messages, as shown

std::int32_t KALPO_CALL record_message(void *, std::int32_t, const char *text, const char *, std::uint32_t flags) {
  g_messages.push_back(text ? text : "");
  return flags == 0x24 ? KALPO_BTN_YES : KALPO_BTN_OK;
}

std::size_t g_calls = 0;  // export calls made by the steps

// The call trace, switched on as a user switches it on: KALPO_TRACE among
// the user's environment variables in the registry, an expandable value.
constexpr const char kTraceSetting[] = "%SystemDrive%\\kalpo-trace.jsonl";
constexpr const char kTraceFile[] = "c:\\kalpo-trace.jsonl";

void set_trace_variable(bool on) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Environment", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (on)
    RegSetValueExA(key, "KALPO_TRACE", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE *>(kTraceSetting),
                   sizeof kTraceSetting);
  else
    RegDeleteValueA(key, "KALPO_TRACE");
  RegCloseKey(key);
}

// The trace lines of the steps' calls (the handler's registration aside).
std::size_t traced_calls() {
  std::ifstream in(kTraceFile, std::ios::binary);
  std::size_t count = 0;
  for (std::string line; std::getline(in, line);)
    count += line.rfind("{\"time\":", 0) == 0 && line.find("KALPO_DefineTratadorMensagens") == std::string::npos;
  return count;
}

class Dll : public ::testing::Environment {
 public:
  void SetUp() override {
    DeleteFileA(kTraceFile);
    set_trace_variable(true);
    module_ = LoadLibraryA("kalpo.dll");
    ASSERT_NE(module_, nullptr) << "LoadLibrary(\"kalpo.dll\")";
    const std::vector<const char *> missing = bind_exports(module_, g_api);
    ASSERT_TRUE(missing.empty()) << missing.front() << " does not resolve";
    g_api.KALPO_DefineTratadorMensagens(record_message, nullptr);
  }
  void TearDown() override {
    set_trace_variable(false);
    if (g_api.KALPO_DefineTratadorMensagens) g_api.KALPO_DefineTratadorMensagens(nullptr, nullptr);
    if (module_) FreeLibrary(module_);
    EXPECT_EQ(traced_calls(), g_calls) << "one line of " << kTraceFile << " per export call";
  }

 private:
  HMODULE module_ = nullptr;
};

// ---- Steps: one export call each, its expected result and out texts ----

// The out texts of a call, '|' between two; a pattern ending in '*' matches
// every text starting with what precedes it.
struct Outcome {
  int result = 0;
  std::string out;
};
using Call = std::function<Outcome(const char *model)>;

struct Step {
  std::string what;
  Call call;
  int result = 1;  // -1: not checked (an export without a result)
  std::string out = "*";
};

bool matches(const std::string &pattern, const std::string &text) {
  if (!pattern.empty() && pattern.back() == '*') return text.rfind(pattern.substr(0, pattern.size() - 1), 0) == 0;
  return text == pattern;
}

std::string text(const char *out) { return out ? out : "(null)"; }

// The caller's text control holding a text.
struct Control {
  std::string text;
  KALPO_TextControl control{this, &get, &set};
  static const char *KALPO_CALL get(void *self) { return static_cast<Control *>(self)->text.c_str(); }
  static void KALPO_CALL set(void *self, const char *t) { static_cast<Control *>(self)->text = t; }
};

using ModelOnly = decltype(&::KALPO_Abredia);
using TextOut = decltype(&::KALPO_FirmWare);
using TextIn = decltype(&::KALPO_usavinculado);
using WithControl = decltype(&::KALPO_usavinculadotermica);

Step plain(const char *what, ModelOnly Api::*f, int result = 1) {
  return {what, [f](const char *m) { return Outcome{(g_api.*f)(m), ""}; }, result};
}
Step out(const char *what, TextOut Api::*f, std::string expected, int result = 1) {
  return {what,
          [f](const char *m) {
            const char *o = nullptr;
            int r = (g_api.*f)(m, &o);
            return Outcome{r, text(o)};
          },
          result, std::move(expected)};
}
Step text_in(const char *what, TextIn Api::*f, std::string value) {
  return {what, [f, value](const char *m) { return Outcome{(g_api.*f)(m, value.c_str()), ""}; }};
}
Step control(const char *what, WithControl Api::*f, std::string value) {
  return {what, [f, value](const char *m) {
            Control c{value};
            return Outcome{(g_api.*f)(m, &c.control), ""};
          }};
}

Step opening() { return plain("Abredia", &Api::KALPO_Abredia); }
Step x_reading() {
  return {"Leiturax", [](const char *m) {
            std::int32_t count = 0;
            return Outcome{g_api.KALPO_Leiturax(m, nullptr, nullptr, &count), ""};
          }};
}
Step z_reduction() {
  return {"Reducaoz", [](const char *m) {
            std::int32_t count = 0;
            return Outcome{g_api.KALPO_Reducaoz(m, nullptr, nullptr, nullptr, &count), ""};
          }};
}
Step cancel_last(std::string expected) {
  return {"Cancela_Ultimo_Cupom",
          [](const char *m) {
            std::int32_t count = 0;
            const char *number = nullptr, *flag = nullptr;
            int r = g_api.KALPO_Cancela_Ultimo_Cupom(m, nullptr, nullptr, &count, &number, &flag);
            return Outcome{r, text(number) + "|" + text(flag)};
          },
          1, std::move(expected)};
}
Step voucher(const char *form, const char *coupon, double amount, int result = 1) {
  return {"cupom_vinculado",
          [=](const char *m) {
            return Outcome{g_api.KALPO_cupom_vinculado(m, form, coupon, amount), ""};
          },
          result};
}
Step voucher_text(std::string t) { return text_in("usavinculado", &Api::KALPO_usavinculado, std::move(t)); }
Step voucher_lines(std::string t) {
  return control("usavinculadotermica", &Api::KALPO_usavinculadotermica, std::move(t));
}
Step voucher_close() { return plain("FechaCupomNaovinculado", &Api::KALPO_FechaCupomNaovinculado); }
Step report(const char *title, const char *code, int result = 1) {
  return {"AbreRelGerencial",
          [=](const char *m) {
            return Outcome{g_api.KALPO_AbreRelGerencial(m, title, code), ""};
          },
          result};
}
Step report_close(int result = 1) { return plain("FechaGerencial", &Api::KALPO_FechaGerencial, result); }
Step serial(std::string expected, int result = 1) {
  return out("MostraNumSerie", &Api::KALPO_MostraNumSerie, std::move(expected), result);
}
Step firmware(std::string expected) { return out("FirmWare", &Api::KALPO_FirmWare, std::move(expected)); }
Step drawer() { return plain("AbreGaveta", &Api::KALPO_AbreGaveta); }
Step coupon_open(int expected) { return plain("Cupom_Aberto", &Api::KALPO_Cupom_Aberto, expected); }
Step memory_reading(const char *from, const char *to, const char *kind) {
  return {"LeituraMemFiscal", [=](const char *m) {
            return Outcome{g_api.KALPO_LeituraMemFiscal(m, from, to, kind), ""};
          }};
}
Step cancel_item(int item, int result = 1) {
  return {"Cancela_Item", [item](const char *m) { return Outcome{g_api.KALPO_Cancela_Item(m, item), ""}; }, result};
}

// ---- Sales ----

struct Item {
  const char *code, *description, *rate;
  double quantity, price;
  int decimals = 0;  // 0: the model's
};

struct Sale {
  std::vector<Item> items;
  int cancel = 0;  // the item cancelled before the closing (0: none)
  double discount = 0;
  std::vector<std::pair<const char *, double>> payments;
  std::string number = "*";  // the coupon number handed back at the opening
};

// How a model's point-of-sale program sells: the customer at the opening,
// the unit and decimals of the items, the closing message, and whether the
// discount goes through KALPO_desc_fechamento too (the command driver).
struct Style {
  const char *name, *address, *id, *unit;
  int decimals;
  const char *message;
  bool discount_call = false;
};

std::vector<Step> sale(const Style &s, const Sale &sale) {
  std::vector<Step> steps;
  steps.push_back({"AbreCupom",
                   [s](const char *m) {
                     const char *number = "unchanged";
                     int r = g_api.KALPO_AbreCupom(m, &number, s.name, s.address, s.id);
                     return Outcome{r, text(number)};
                   },
                   1, sale.number});
  for (const Item &i : sale.items) {
    const int decimals = i.decimals ? i.decimals : s.decimals;
    steps.push_back({std::string("VendaItem ") + i.description, [s, i, decimals](const char *m) {
                       return Outcome{g_api.KALPO_VendaItem(m, i.code, i.description, i.rate, s.unit, i.quantity,
                                                            decimals, i.price, "", 0),
                                      ""};
                     }});
  }
  if (sale.cancel) steps.push_back(cancel_item(sale.cancel));
  const double discount = sale.discount;
  steps.push_back({"Inicia_Fechamento", [discount](const char *m) {
                     return Outcome{g_api.KALPO_Inicia_Fechamento(m, discount), ""};
                   }});
  if (s.discount_call && discount > 0)
    steps.push_back({"desc_fechamento", [discount](const char *m) {
                       return Outcome{g_api.KALPO_desc_fechamento(m, discount), ""};
                     }});
  for (const auto &[form, amount] : sale.payments)
    steps.push_back({std::string("forma_pagamento ") + form, [form, amount](const char *m) {
                       return Outcome{g_api.KALPO_forma_pagamento(m, form, amount), ""};
                     }});
  steps.push_back(control("fecha_cupom", &Api::KALPO_fecha_cupom, s.message));
  return steps;
}

void append(std::vector<Step> &to, std::vector<Step> more) {
  for (Step &s : more) to.push_back(std::move(s));
}

// ---- The days ----

struct Mark {
  std::size_t page;
  const char *label;
  ksim::Cents cents;  // kLine: the page has a line containing the label
};
constexpr ksim::Cents kLine = -999999;

struct Figures {
  std::uint32_t coo, ccf, crz;
  ksim::Cents grand_total, cancellations, discounts;
  std::uint32_t drawer_openings;
  int lines_between_documents = 0;
};

struct Day {
  Day(const char *m, const char *l, std::array<int, 5> at, const char *ini)
      : model(m), library(l), clock(at), config(ini) {}
  const char *model, *library;
  std::array<int, 5> clock;  // the printer's date and time (year 0: left as it is)
  const char *config;        // kalpo.ini (null: no file)
  std::vector<Step> steps;
  std::vector<std::string> messages;  // every message shown, in order
  Figures figures;
  std::vector<std::string> titles;  // the tape's documents
  std::vector<Mark> marks;
  std::string reduction_date = {};                 // the fiscal memory's day (empty: not checked)
  std::pair<std::string, std::string> value = {};  // a value the maker library keeps
};

void PrintTo(const Day &d, std::ostream *out) { *out << d.model; }

const std::vector<std::string> kBematechTitles = {"LEITURA X",
                                                  "CUPOM FISCAL",
                                                  "CUPOM FISCAL",
                                                  "CUPOM FISCAL",
                                                  "CUPOM FISCAL CANCELADO",
                                                  "CUPOM FISCAL",
                                                  "COMPROVANTE CREDITO OU DEBITO"};

// BEMATECHMP20, BEMATECHMFD and SWEDA7000 (tests/day/bemafi32_day_test.cpp):
//   2 x 10,00 (01) + 1,5 x 2,99 (02, cancelled), 20,00 cash; 3 x 5,00 (FF) less
//   1,50; 8,00 (03) cancelled after its close; 30,00 (II) + 0,5 x 7,00 (03)
//   paid 20,00 card + 20,00 cash.  Grand total 80,99.
Day bematech_day(const char *model) {
  const bool bema = std::string_view(model) != "SWEDA7000";
  const bool mfd = std::string_view(model) == "BEMATECHMFD";
  const Style style{"", "", "", "F", 2, "Obrigado, volte sempre!"};
  const std::string first = bema ? "000003" : "000002", last = bema ? "000007" : "000006";
  Day d{model, bema ? "bemafi32" : "convecf", {2026, 12, 7, 10, 0}, mfd ? "[ECF]\r\nDESATIVAFACA=S\r\n" : nullptr};
  std::vector<Step> &s = d.steps;
  if (bema) s.push_back(opening());
  s.push_back(x_reading());
  std::vector<Step> sale_1 =
      sale(style, {{{"1001", "ARROZ TIPO 1 5KG", "01", 2, 10.00}, {"1002", "FEIJAO CARIOCA 1KG", "02", 1.5, 2.99}},
                   2,
                   0,
                   {{"Dinheiro", 20.00}},
                   first});
  if (bema) sale_1.insert(sale_1.begin() + 1, coupon_open(1)), sale_1.push_back(coupon_open(0));
  append(s, std::move(sale_1));
  append(s, sale(style, {{{"2001", "OLEO DE SOJA 900ML", "FF", 3, 5.00}}, 0, 1.50, {{"Dinheiro", 13.50}}}));
  append(s, sale(style, {{{"3001", "CAFE TORRADO 500G", "03", 1, 8.00}}, 0, 0, {{"Dinheiro", 10.00}}}));
  s.push_back(cancel_last("000005|N"));
  append(s,
         sale(style, {{{"4001", "ACUCAR CRISTAL 5KG", "II", 1, 30.00}, {"4002", "SAL REFINADO 1KG", "03", 0.5, 7.00}},
                      0,
                      0,
                      {{"Cartao", 20.00}, {"Dinheiro", 20.00}},
                      last}));
  s.push_back(voucher("Cartao", bema ? "000007" : "000006", 20.00));
  s.push_back(mfd ? voucher_lines("COMPROVANTE CARTAO\r\nVALOR R$ 20,00")
                  : voucher_text("COMPROVANTE CARTAO\r\nVALOR R$ 20,00"));
  s.push_back(voucher_close());
  s.push_back(report("FECHAMENTO DE CAIXA", "", bema));  // none on SWEDA7000
  s.push_back(report_close(bema));
  s.push_back(serial(model == std::string("BEMATECHMP20") ? "000000000000001" : "KP0000000000000001"));
  s.push_back(firmware("01.00.00  "));
  if (bema) {
    std::string totals = "00000000002000," + std::string(14, '0') + ",00000000000350";
    for (int i = 0; i < 13; ++i) totals += "," + std::string(14, '0');
    totals += ",00000000001500,00000000003000," + std::string(14, '0') + ",00000000001249,00000000000150," +
              std::string(14, '0') + ",00000000008099,000000000000008099";
    s.push_back(out("NumeroCupom", &Api::KALPO_NumeroCupom, "000009"));
    s.push_back(out("RetornaGT", &Api::KALPO_RetornaGT, "000000000000008099"));
    s.push_back({"DataHoraEcf",
                 [](const char *m) {
                   const char *date = nullptr, *time = nullptr;
                   int r = g_api.KALPO_DataHoraEcf(m, &date, &time);
                   return Outcome{r, text(date) + "|" + text(time)};
                 },
                 1, "071226|10*"});
    s.push_back(out("NumReducao", &Api::KALPO_NumReducao, "0000"));
    s.push_back(plain("ResumoAliq", &Api::KALPO_ResumoAliq));
    s.push_back(
        out("TotalizadorParcial", &Api::KALPO_TotalizadorParcial, totals + std::string(445 - totals.size(), ' ')));
    s.push_back({"VerificaEstadoECF",
                 [](const char *m) {
                   std::int32_t ack = 0, st1 = -1, st2 = -1;
                   int r = g_api.KALPO_VerificaEstadoECF(m, &ack, &st1, &st2);
                   return Outcome{r, std::to_string(ack) + "," + std::to_string(st1) + "," + std::to_string(st2)};
                 },
                 1, "6,0,0"});
    s.push_back(coupon_open(0));
    s.push_back(drawer());
  }
  s.push_back(z_reduction());
  if (bema) {
    s.push_back(out("NumReducao", &Api::KALPO_NumReducao, "0001"));
    s.push_back(memory_reading("1", "1", "N"));
    s.push_back(memory_reading("07/12/2026", "07/12/2026", "D"));
  }
  if (mfd) d.messages.push_back("KP0000000000000001  ");
  d.messages.push_back(kConfirmation);
  d.figures = {bema ? 12u : 8u, 4, 1, 8099, 1249, 150, bema ? 1u : 0u, mfd ? 15 : 0};
  const std::size_t at = bema ? 1 : 0;  // the opening of the day comes first on the Bematech models
  if (bema) d.titles.push_back("LEITURA X");
  d.titles.insert(d.titles.end(), kBematechTitles.begin(), kBematechTitles.end());
  if (bema) d.titles.push_back("RELATORIO GERENCIAL");
  d.titles.push_back("REDUCAO Z");
  if (bema) d.titles.insert(d.titles.end(), 2, "LEITURA DA MEMORIA FISCAL");
  d.marks = {{at + 1, "TOTAL R$", 2000},
             {at + 1, "    CANCELADO ITEM 002", -449},
             {at + 1, "Obrigado, volte sempre!", kLine},
             {at + 2, "DESCONTO R$", 150},
             {at + 2, "TOTAL R$", 1350},
             {at + 5, "TOTAL R$", 3350},
             {at + 5, "TROCO R$", 650},
             {at + 6, "VALOR R$ 20,00", kLine},
             {bema ? 9u : 7u, "GRANDE TOTAL R$", 8099},
             {bema ? 9u : 7u, "VENDA BRUTA DIARIA R$", 8099},
             {bema ? 9u : 7u, "CANCELAMENTOS R$", 1249},
             {bema ? 9u : 7u, "DESCONTOS R$", 150}};
  if (bema) d.marks.push_back({8, "FECHAMENTO DE CAIXA", kLine});
  return d;
}

// SIGTRONFS345 (tests/day/fs345_32_day_test.cpp), its port and promotional
// message from the configuration file.
Day sigtron_day() {
  const Style style{"", "", "", "", 2, "VOLTE SEMPRE"};
  Day d{"SIGTRONFS345", "fs345_32", {}, "[ECF]\r\nPORTACOM=COM2:9600,n,8,1\r\nMENSAGEM=OBRIGADO PELA PREFERENCIA\r\n"};
  std::vector<Step> &s = d.steps;
  s.push_back(x_reading());
  append(
      s,
      sale(style,
           {{{"1", "ARROZ", "01", 2, 5.50}, {"2", "FEIJAO", "02", 1, 8.99}}, 2, 0, {{"Dinheiro", 11.00}}, "000002"}));
  append(s, sale(style, {{{"3", "LEITE", "03", 3, 4.25}}, 0, 1.75, {{"Cartao", 11.00}}, "000003"}));
  append(s, sale(style, {{{"4", "CAFE", "01", 1, 15.90}, {"5", "ACUCAR", "FF", 2, 3.45}},
                         0,
                         0,
                         {{"Ticket", 10.00}, {"Dinheiro", 20.00}},
                         "000004"}));
  s.push_back(voucher("Ticket", "000004", 10.00));
  s.push_back(voucher_text("TICKET ALIMENTACAO"));
  s.push_back(voucher_close());
  append(s, sale(style, {{{"6", "PAO", "II", 1, 2.00}}, 0, 0, {{"Dinheiro", 2.00}}, "000006"}));
  s.push_back(cancel_last("000007|N"));
  s.push_back(report("", ""));
  s.push_back(voucher_text("VENDAS DO DIA"));
  s.push_back(report_close());
  s.push_back(serial("00000001"));
  s.push_back(firmware("0100"));
  s.push_back(drawer());
  s.push_back(z_reduction());
  d.messages = {"COM2:9600,n,8,1", kConfirmation};  // the X reading shows the port setting
  d.figures = {9, 4, 1, 5754, 899 + 200, 175, 1, 0};
  d.titles = {
      "LEITURA X",    "CUPOM FISCAL",           "CUPOM FISCAL",        "CUPOM FISCAL", "COMPROVANTE CREDITO OU DEBITO",
      "CUPOM FISCAL", "CUPOM FISCAL CANCELADO", "RELATORIO GERENCIAL", "REDUCAO Z"};
  d.marks = {{1, "TOTAL R$", 1100},
             {1, "OBRIGADO PELA PREFERENCIA", kLine},
             {2, "DESCONTO R$", 175},
             {2, "TOTAL R$", 1100},
             {3, "TOTAL R$", 2280},
             {3, "TROCO R$", 720},
             {4, "TICKET ALIMENTACAO", kLine},
             {5, "TOTAL R$", 200},
             {7, "VENDAS DO DIA", kLine}};
  return d;
}

// DIGIARTE1E (tests/day/ecf32m_day_test.cpp): no item cancellation, voucher
// or report on this model.
Day digiarte_day() {
  const Style style{"", "", "", "", 2, "VOLTE SEMPRE"};
  Day d{"DIGIARTE1E", "ecf32m", {}, nullptr};
  std::vector<Step> &s = d.steps;
  s.push_back(x_reading());
  append(
      s,
      sale(style,
           {{{"1", "ARROZ", "T01", 2, 5.50}, {"2", "FEIJAO", "T02", 1, 8.99}}, 0, 0, {{"Dinheiro", 19.99}}, "000002"}));
  s.push_back(cancel_item(1, 0));
  append(s, sale(style, {{{"3", "LEITE", "T03", 3, 4.25}}, 0, 1.75, {{"Cartao", 11.00}}, "000003"}));
  append(s, sale(style, {{{"4", "CAFE", "T01", 1, 15.90}, {"789123", "ACUCAR", "F", 2, 3.45}},
                         0,
                         0,
                         {{"Ticket", 10.00}, {"Dinheiro", 20.00}},
                         "000004"}));
  append(s, sale(style, {{{"6", "PAO", "I", 1, 2.00}}, 0, 0, {{"Dinheiro", 2.00}}, "000005"}));
  s.push_back(cancel_last("*"));
  s.push_back(serial("KP0000000000000001 COMANDO OK"));
  s.push_back(firmware("01.00.00 COMANDO OK"));
  s.push_back(z_reduction());
  s.push_back(memory_reading("1", "1", "N"));
  d.messages = {kConfirmation};
  d.figures = {8, 4, 1, 5754, 200, 175, 0, 0};
  d.titles = {"LEITURA X",    "CUPOM FISCAL",           "CUPOM FISCAL", "CUPOM FISCAL",
              "CUPOM FISCAL", "CUPOM FISCAL CANCELADO", "REDUCAO Z",    "LEITURA DA MEMORIA FISCAL"};
  d.marks = {{1, "TOTAL R$", 1999},   {1, "VOLTE SEMPRE", kLine}, {1, "0000000000001 ARROZ", kLine},
             {2, "DESCONTO R$", 175}, {2, "TOTAL R$", 1100},      {3, "TOTAL R$", 2280},
             {3, "TROCO R$", 720},    {4, "TOTAL R$", 200}};
  return d;
}

// DARUMA32 (tests/day/daruma32_day_test.cpp): 2 x 10,50 (01) + 1,5 x 7,25 =
// 10,88 (02) less 1,50; 2,99 (II); 3 x 12,00 (03) paid 20,00 + 20,00 with its
// voucher; a report; 5,00 (FF) cancelled after its close.
Day daruma_day() {
  const Style style{"", "", "12345678909", "F", 2, "Obrigado, volte sempre"};
  Day d{"DARUMA32", "daruma32", {2026, 3, 10, 9, 30}, nullptr};
  std::vector<Step> &s = d.steps;
  s.push_back({"GravaRegistro", [](const char *) { return Outcome{g_api.KALPO_GravaRegistro("COM2"), ""}; }});
  s.push_back(x_reading());
  append(s, sale(style, {{{"1", "ARROZ 5KG", "01", 2, 10.5}, {"2", "FEIJAO", "02", 1.5, 7.25, 3}},
                         0,
                         1.5,
                         {{"Dinheiro", 30.38}},
                         "000002"}));
  append(s, sale(style, {{{"3", "SAL", "II", 1, 2.99}}, 0, 0, {{"Dinheiro", 2.99}}, "000003"}));
  append(s, sale(style, {{{"4", "CAFE", "03", 3, 12}}, 0, 0, {{"Dinheiro", 20}, {"Cartao", 20}}, "000004"}));
  s.push_back(voucher("Cartao", "000004", 20));
  s.push_back(voucher_text("VIA DO CLIENTE"));
  s.push_back(voucher_lines("CARTAO 1234\r\nAPROVADO"));
  s.push_back(voucher_close());
  s.push_back(report("", ""));
  s.push_back(voucher_text("FECHAMENTO DE CAIXA"));
  s.push_back(report_close());
  append(s, sale(style, {{{"5", "PAO", "FF", 1, 5}}, 0, 0, {{"Dinheiro", 5}}, "000007"}));
  s.push_back(cancel_last("000008|*"));  // read after the cancellation, its own document
  s.push_back(serial("KP0000000000000001"));
  s.push_back(firmware("0100"));
  s.push_back(drawer());
  s.push_back(z_reduction());
  d.messages = {kConfirmation};
  d.figures = {9, 4, 1, 2100 + 1088 + 299 + 3600 + 500, 500, 150, 1, 0};
  d.titles = {
      "LEITURA X",           "CUPOM FISCAL", "CUPOM FISCAL",           "CUPOM FISCAL", "COMPROVANTE CREDITO OU DEBITO",
      "RELATORIO GERENCIAL", "CUPOM FISCAL", "CUPOM FISCAL CANCELADO", "REDUCAO Z"};
  d.marks = {{1, "DESCONTO R$", 150},
             {1, "TOTAL R$", 3038},
             {1, "10,88", kLine},
             {3, "TOTAL R$", 3600},
             {3, "TROCO R$", 400},
             {4, "VALOR DA COMPRA R$", 2000},
             {4, "APROVADO", kLine},
             {5, "FECHAMENTO DE CAIXA", kLine},
             {6, "Obrigado, volte sempre", kLine}};
  d.reduction_date = "2026-03-10";
  d.value = {"porta", "COM2"};
  return d;
}

// EPSON (tests/day/interfaceepson_day_test.cpp): no discount at the start of
// the closing, no voucher nor report, the coupon number left as it was.
Day epson_day() {
  const Style style{"Maria", "Rua A, 1", "12345678909", "F", 2, "Obrigado"};
  Day d{"EPSON", "interfaceepson", {2026, 3, 10, 9, 30}, nullptr};
  std::vector<Step> &s = d.steps;
  s.push_back(opening());
  s.push_back(x_reading());
  append(s, sale(style, {{{"1", "ARROZ 5KG", "01", 2, 10.5}, {"2", "FEIJAO", "T02", 1.5, 7.25}},
                         2,
                         1.5,
                         {{"Dinheiro", 21}},
                         "unchanged"}));
  append(s, sale(style, {{{"3", "SAL", "II", 1, 2.99}}, 0, 1.5, {{"Dinheiro", 2.99}}, "unchanged"}));
  append(s, sale(style, {{{"4", "CAFE", "T03", 3, 12}}, 0, 1.5, {{"1", 20}, {"Cartao", 20}}, "unchanged"}));
  s.push_back(voucher("Cartao", "000005", 20, 0));
  s.push_back(report("", "", 0));
  append(s, sale(style, {{{"5", "PAO", "FF", 1, 5}}, 0, 1.5, {{"Dinheiro", 5}}, "unchanged"}));
  s.push_back(cancel_last("0|*"));
  s.push_back(serial("*", 0));
  s.push_back(drawer());
  s.push_back(z_reduction());
  d.messages = {kConfirmation};
  d.figures = {8, 4, 1, 2100 + 1088 + 299 + 3600 + 500, 1088 + 500, 0, 0, 0};  // no drawer call on EPSON
  d.titles = {"LEITURA X",    "LEITURA X",    "CUPOM FISCAL",           "CUPOM FISCAL",
              "CUPOM FISCAL", "CUPOM FISCAL", "CUPOM FISCAL CANCELADO", "REDUCAO Z"};
  d.marks = {{0, "ABERTURA DO DIA", kLine}, {2, "CANCELADO ITEM 002", kLine},
             {2, "TOTAL R$", 2100},         {3, "TOTAL R$", 299},
             {4, "TOTAL R$", 3600},         {4, "TROCO R$", 400},
             {6, "VALOR CANCELADO R$", 500}};
  return d;
}

// ELGINFIT, DATAREGISQUICK and DATAREGISSERIAL (tests/day/dllg2_day_test.cpp):
// 12,50 + 14,70 (cancelled); 14,97 + 4,95 less 1,92; 3,00 cancelled after its
// close; 15,00 + 8,50 paid 10,00 card + 20,00 cash with its voucher; a report.
Day command_driver_day(const char *model) {
  const bool serial_model = std::string_view(model) == "DATAREGISSERIAL";
  const bool quick = std::string_view(model) == "DATAREGISQUICK";
  const Style style{"", "", "", "I", 2, "Obrigado", true};
  Day d{model, "dllg2", {2026, 12, 7, 9, 0}, nullptr};
  std::vector<Step> &s = d.steps;
  s.push_back(x_reading());
  append(s, sale(style, {{{"001", "ARROZ 5KG", "01", 1, 12.50}, {"002", "FEIJAO 1KG", "02", 2, 7.35}},
                         2,
                         0,
                         {{"Dinheiro", 12.50}},
                         "2"}));
  append(s, sale(style, {{{"003", "LEITE 1L", "03", 3, 4.99}, {"004", "PAO FRANCES", "FF", 0.5, 9.90}},
                         0,
                         1.92,
                         {{"Cartao", 18.00}},
                         "3"}));
  append(s, sale(style, {{{"007", "SABAO", "02", 1, 3.00}}, 0, 0, {{"Dinheiro", 3.00}}, "4"}));
  // The serial model reads the number before cancelling, the USB ones after.
  s.push_back(cancel_last(serial_model ? "4|*" : "5|*"));
  append(s, sale(style, {{{"005", "CAFE 500G", "01", 1, 15.00}, {"006", "ACUCAR 1KG", "II", 2, 4.25}},
                         0,
                         0,
                         {{"Cartao", 10.00}, {"Dinheiro", 20.00}},
                         "6"}));
  s.push_back(voucher("Cartao", "6", 10.00));
  s.push_back(voucher_lines("TEF APROVADO\r\nCARTAO FINAL 1234"));
  s.push_back(voucher_close());
  s.push_back(report("", "01"));
  s.push_back(voucher_lines("FECHAMENTO DO CAIXA"));
  s.push_back(report_close());
  s.push_back(serial("KP0000000000000001"));
  s.push_back(firmware("01.00.00"));
  if (!quick)
    s.push_back({"LeData",
                 [](const char *m) {
                   const char *date = nullptr;
                   g_api.KALPO_LeData(m, &date);
                   return Outcome{-1, text(date)};
                 },
                 -1, "07/12/2026"});
  s.push_back(drawer());
  s.push_back(plain("ImpressaoBobina", &Api::KALPO_ImpressaoBobina));
  s.push_back(z_reduction());
  d.messages = {kConfirmation};
  d.figures = {9, 4, 1, 7362, 1770, 192, 1, quick ? 0 : 14};
  d.titles = {"LEITURA X",
              "CUPOM FISCAL",
              "CUPOM FISCAL",
              "CUPOM FISCAL",
              "CUPOM FISCAL CANCELADO",
              "CUPOM FISCAL",
              "COMPROVANTE CREDITO OU DEBITO",
              "RELATORIO GERENCIAL",
              "REDUCAO Z"};
  d.marks = {{1, "CANCELADO ITEM 002", kLine},
             {1, "TOTAL R$", 1250},
             {2, "DESCONTO R$", 192},
             {2, "TOTAL R$", 1800},
             {5, "TROCO R$", 650},
             {6, "CARTAO FINAL 1234", kLine},
             {7, "FECHAMENTO DO CAIXA", kLine},
             {8, "VENDA BRUTA DIARIA R$", 7362},
             {8, "VENDA LIQUIDA R$", 5400}};
  d.reduction_date = "2026-12-07";
  return d;
}

std::vector<Day> days() {
  return {bematech_day("BEMATECHMP20"),
          bematech_day("BEMATECHMFD"),
          bematech_day("SWEDA7000"),
          sigtron_day(),
          daruma_day(),
          digiarte_day(),
          command_driver_day("ELGINFIT"),
          command_driver_day("DATAREGISQUICK"),
          command_driver_day("DATAREGISSERIAL"),
          epson_day()};
}

// ---- Drive C ----

void write_file(const std::string &path, const std::string &contents) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << contents;
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

// The pages of tape.txt: each starts with a line of 48 '='.
std::vector<std::vector<std::string>> tape_file_pages(const std::string &library) {
  std::vector<std::vector<std::string>> pages;
  std::istringstream in(read_file(kSimFolder + library + "\\tape.txt"));
  for (std::string line; std::getline(in, line);) {
    if (line == std::string(48, '='))
      pages.emplace_back();
    else if (!pages.empty())
      pages.back().push_back(line);
  }
  return pages;
}

// Puts the printer's clock at this date and time.
void set_clock(const std::string &library, const std::array<int, 5> &at) {
  ksim::Session session = ksim::Printer::of(library).begin("day check", ksim::Call::inspect);
  const ksim::State &s = session.state();
  const std::int64_t workstation = session.now() - s.clock_offset - (s.daylight_saving ? 3600 : 0);
  const std::int64_t wanted = ksim::from_civil({at[0], at[1], at[2], at[3], at[4], 0}) - (s.daylight_saving ? 3600 : 0);
  ASSERT_EQ(session.set_clock_offset(wanted - workstation), ksim::Outcome::ok);
}

// ---- The check ----

class WholeDay : public ::testing::TestWithParam<Day> {
 protected:
  // A fresh printer on drive C and the day's configuration file.
  void SetUp() override {
    const Day &d = GetParam();
    std::filesystem::remove_all(kSimFolder + std::string(d.library));
    // The copies of the counters marks too: a new printer may start there.
    if (const char *local = std::getenv("LOCALAPPDATA"); local && *local)
      std::filesystem::remove_all(std::string(local) + "\\kalpo");
    DeleteFileA(kConfigFile);
    if (d.config) write_file(kConfigFile, d.config);
    if (d.clock[0]) set_clock(d.library, d.clock);
    g_messages.clear();
  }
  void TearDown() override { DeleteFileA(kConfigFile); }
};

TEST_P(WholeDay, ResultsCountersAndTapeAsOnLinux) {
  const Day &d = GetParam();
  for (const Step &step : d.steps) {
    const Outcome o = step.call(d.model);
    ++g_calls;
    if (step.result >= 0) {
      EXPECT_EQ(o.result, step.result) << step.what;
    }
    EXPECT_TRUE(matches(step.out, o.out))
        << step.what << " handed out \"" << o.out << "\", expected \"" << step.out << "\"";
  }
  EXPECT_EQ(g_messages, d.messages);

  const ksim::State s = ksim::Printer::of(d.library).state();
  const Figures &f = d.figures;
  EXPECT_EQ(s.coo, f.coo);
  EXPECT_EQ(s.ccf, f.ccf);
  EXPECT_EQ(s.crz, f.crz);
  EXPECT_EQ(s.grand_total, f.grand_total);
  EXPECT_EQ(s.drawer_openings, f.drawer_openings);
  EXPECT_EQ(s.lines_between_documents, f.lines_between_documents);
  ASSERT_EQ(s.fiscal_memory.size(), 1u);
  EXPECT_EQ(s.fiscal_memory[0].cancellations, f.cancellations);
  EXPECT_EQ(s.fiscal_memory[0].discounts, f.discounts);
  if (!d.reduction_date.empty()) {
    EXPECT_EQ(s.fiscal_memory[0].date, d.reduction_date);
  }
  if (!d.value.first.empty()) {
    EXPECT_EQ(s.values.count(d.value.first) ? s.values.at(d.value.first) : "", d.value.second);
  }

  // The paper: the pages the core keeps are the pages of tape.txt on drive C.
  const std::vector<ksim::Page> pages = ksim::Printer::of(d.library).tape();
  const std::vector<std::vector<std::string>> file = tape_file_pages(d.library);
  ASSERT_EQ(file.size(), pages.size());
  std::vector<std::string> titles;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    titles.push_back(pages[i].title);
    EXPECT_EQ(file[i], pages[i].lines) << "page " << i;
  }
  ASSERT_EQ(titles, d.titles);
  for (const Mark &m : d.marks) {
    if (m.cents == kLine)
      EXPECT_TRUE(has_line(pages[m.page], m.label)) << "page " << m.page << ": " << m.label;
    else
      EXPECT_EQ(amount_on(pages[m.page], m.label), m.cents) << "page " << m.page << ": " << m.label;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, WholeDay, ::testing::ValuesIn(days()),
                         [](const auto &info) { return std::string(info.param.model); });

}  // namespace
}  // namespace kalpo::windows_check

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new kalpo::windows_check::Dll);
  return RUN_ALL_TESTS();
}
