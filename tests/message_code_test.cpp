// The message code of every text the library shows: each table entry carries
// one, the lookup finds it again from the text alone, and a text a call
// completed gets the code of the entry it came from.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/cp1252.h"
#include "base/message_codes.h"
#include "frame/own_texts.h"
#include "makers/code_texts.h"
#include "makers/message_code.h"

namespace {

using kalpo::base::code_name;
using kalpo::base::MessageCode;
using kalpo::makers::message_code;
namespace tables = kalpo::makers::tables;
using kalpo::operator""_cp;

struct Entry {
  std::string_view table;
  std::string_view text;
  MessageCode kind;
};

std::vector<Entry> every_entry() {
  std::vector<Entry> out;
  for (const auto *t : kalpo::frame::own::all()) out.push_back({"own", t->text, t->kind});
  for (const auto &e : tables::bematech_status_bits())
    if (!e.text.empty()) out.push_back({"bematech status", e.text, e.kind});
  for (const auto &e : tables::bematech_returns()) out.push_back({"bematech returns", e.text, e.kind});
  const std::vector<std::pair<std::string_view, std::span<const kalpo::makers::CodeText>>> code_tables = {
      {"daruma", tables::daruma_errors()},
      {"sigtron", tables::sigtron_errors()},
      {"epson fields", tables::epson_field_errors()},
      {"epson ports", tables::epson_ports()},
      {"epson results", tables::epson_results()},
      {"ecf32m", tables::ecf32m_returns()},
      {"minus codes", tables::minus_codes()},
      {"dllg2", tables::dllg2_errors()},
  };
  for (const auto &[name, table] : code_tables)
    for (const auto &e : table) out.push_back({name, e.text, e.kind});
  return out;
}

// Every entry has a code of the list other than "other", and the text alone
// gives that code back (two tables that word a message alike agree on it).
TEST(MessageCode, EveryEntryHasItsCodeFoundFromItsText) {
  const std::vector<Entry> entries = every_entry();
  EXPECT_GT(entries.size(), 600u);
  std::map<std::string_view, int> per_code;
  for (const Entry &e : entries) {
    EXPECT_NE(e.kind, MessageCode::other) << e.table << ": " << e.text;
    EXPECT_NE(code_name(e.kind), "other") << e.table << ": " << e.text;
    EXPECT_EQ(code_name(message_code(e.text)), code_name(e.kind)) << e.table << ": " << e.text;
    ++per_code[code_name(e.kind)];
  }
  // Every code of the list but "other" and "information" names some entry.
  for (const auto &c : kalpo::base::message_codes()) {
    if (c.code == MessageCode::other || c.code == MessageCode::information) continue;
    EXPECT_GT(per_code[c.name], 0) << c.name;
  }
}

// Texts a call completed, as the makers' analysis words them.
TEST(MessageCode, FormattedTextsGetTheCodeOfTheEntryTheyCameFrom) {
  const std::vector<std::pair<std::string_view, std::string_view>> rows = {
      {"Erro na ECF nº :50\r\nSem papel"_cp, "paper_end"},
      {"Erro na ECF nº :21\r\nDetectado proximidade no final da bobina do papel"_cp, "paper_low"},
      {"Erro na ECF nº :12345\r\n"_cp, "printer_error"},  // a number without a text
      {"Erro na ECF nº :10\r\nDocumento sendo emitido[ .E10 ]"_cp, "coupon_open"},
      {"Erro na ECF nº :7\r\nDesconhecido[ .E07 ]"_cp, "printer_error"},
      {"String com data inválida. - Campo com erro: 03"_cp, "clock"},
      {"Impressora(Offline) - Sem papel - Modo bloqueado - "_cp, "printer_off"},
      {"Sem papel - Período de vendas fechado - "_cp, "paper_end"},
      {"Erro 1: Impressora está sem papel para imprimir."_cp, "paper_end"},
      {"Erro 2: 7003"_cp, "paper_end"},  // the number is a command-driver error
      {"Erro 2: 9999"_cp, "printer_error"},
      {"Erro 9999"_cp, "printer_error"},
      {"15013", "printer_off"},  // the command driver's number shown alone
      {"-", "other"},
      {"erro: -2"_cp, "printer_off"},
      {"Erro interno na biblioteca KALPO: bad_alloc"_cp, "library_error"},
      {"Não foi possível ler a resposta da impressora: \"x\""_cp, "communication"},
      {"Arquivo C:\\COTEPE.TXT não foi gerado!"_cp, "configuration"},
      {"COM2:9600,n,8,1", "other"},
      {"", "other"},
  };
  for (const auto &[text, code] : rows) EXPECT_EQ(code_name(message_code(text)), code) << text;
}

}  // namespace
