#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "frame/state.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;
namespace makers = kalpo::makers;

const std::string kAsk = "EPSON_Obter_Estado_Impressora(\"" + std::string(20, ' ') + "\")";
const std::string kNoCommunication = "notice: Erro de comunicação. Verifique a Impressora!";

// Fields: field error (2), field number (2), port (4), printer status (4),
// fiscal status (4), command result (4).
std::string fields(const char *error, const char *number, const char *port, const char *printer, const char *fiscal,
                   const char *result) {
  return std::string(error) + number + port + printer + fiscal + result;
}

std::string clean_with_printer(const char *printer) { return fields("00", "00", "0000", printer, "C080", "0000"); }
std::string clean_with_fiscal(const char *fiscal) { return fields("00", "00", "0000", "0000", fiscal, "0000"); }

// The printer's state (written without a terminating zero unless asked)
// after a call that returned last_return.
Script state_after(std::string state, int32_t last_return, bool terminate = false) {
  return [=](Fake &fake) {
    kalpo::frame::state().iRetornoEpson = last_return;
    fake.on("EPSON_Obter_Estado_Impressora", [=](kalpo::test::Call &call) { call.write(0, state, terminate); });
  };
}

const std::vector<Row> kStates = {
    {"AllClear", nullptr, state_after(clean_with_fiscal("C080"), 0), 1, cat(kAsk, Lines{})},
    {"Bit15AloneIsClear", nullptr, state_after(clean_with_fiscal("8100"), 0), 1, cat(kAsk, Lines{})},
    {"TwentyZeros", nullptr, state_after(std::string(20, '0'), 0), 0,
     cat(kAsk, Lines{"notice: Modo bloqueado - Período de vendas fechado - "})},
    {"MemoryReadWrite", nullptr, state_after(clean_with_fiscal("4C80"), 0), 0,
     cat(kAsk, Lines{"notice: Erro de leitura/escrita da Memória Fiscal - "})},
    {"MemoryFull", nullptr, state_after(clean_with_fiscal("4880"), 0), 0,
     cat(kAsk, Lines{"notice: Memória Fiscal cheia - "})},
    {"MemoryRunningOut", nullptr, state_after(clean_with_fiscal("4480"), 0), 0,
     cat(kAsk, Lines{"notice: Memória Fiscal em esgotamento - "})},
    {"Intervention", nullptr, state_after(clean_with_fiscal("5080"), 0), 0,
     cat(kAsk, Lines{"notice: Modo de Intervenção Técnica - "})},
    // Bit 13 is not a row of its own: the walk takes 1000 hex once and the
    // rest falls through to bits 11 and 10.
    {"Bit13WalksDown", nullptr, state_after(clean_with_fiscal("6080"), 0), 0,
     cat(kAsk, Lines{"notice: Modo de Intervenção Técnica - Erro de leitura/escrita da Memória Fiscal - "})},
    {"SalesPeriodClosed", nullptr, state_after(clean_with_fiscal("4000"), 0), 0,
     cat(kAsk, Lines{"notice: Período de vendas fechado - "})},
    {"Blocked", nullptr, state_after(clean_with_fiscal("0200"), 0), 0, cat(kAsk, Lines{"notice: Modo bloqueado - "})},
    {"PaperTwice", nullptr, state_after(clean_with_printer("0010"), 0), 0,
     cat(kAsk, Lines{"notice: Sem papel - Sem papel - "})},
    {"PaperBit3", nullptr, state_after(clean_with_printer("0008"), 0), 0, cat(kAsk, Lines{"notice: Sem papel - "})},
    {"PaperBit1", nullptr, state_after(clean_with_printer("0002"), 0), 0, cat(kAsk, Lines{"notice: Sem papel - "})},
    {"Bit0AloneSaysNothing", nullptr, state_after(clean_with_printer("0001"), 0), 1, cat(kAsk, Lines{})},
    {"Offline", nullptr, state_after(clean_with_printer("8000"), 0), 0,
     cat(kAsk, Lines{"notice: Impressora(Offline) - "})},
    {"PrinterTopBits", nullptr, state_after(clean_with_printer("E00A"), 0), 0,
     cat(kAsk,
         Lines{"notice: Impressora(Offline) - Erro de impressão - Tampa superior aberta - Sem papel - Sem papel - "})},
    {"PrinterThenFiscal", nullptr, state_after(fields("00", "00", "0000", "2000", "4880", "0000"), 0), 0,
     cat(kAsk, Lines{"notice: Tampa superior aberta - Memória Fiscal cheia - "})},
    {"FieldError", nullptr, state_after(fields("02", "07", "0000", "0000", "C080", "0000"), 0), 0,
     cat(kAsk, Lines{"notice: String com data inválida. - Campo com erro: 07"})},
    {"FieldErrorUnmapped", nullptr, state_after(fields("09", "12", "0000", "0000", "C080", "0000"), 0), 0,
     cat(kAsk, Lines{"notice: Erro não mapeado. - Campo com erro: 12"})},
    {"FieldErrorNegative", nullptr, state_after(fields("-1", "ab", "0000", "0000", "C080", "0000"), 0), 0,
     cat(kAsk, Lines{"notice: Erro não mapeado. - Campo com erro: ab"})},
    {"PortUnknown", nullptr, state_after(fields("00", "00", "0003", "0000", "C080", "0000"), 0), 0,
     cat(kAsk, Lines{"notice: Erro interno da biblioteca."})},
    {"PortHex", nullptr, state_after(fields("00", "00", "0010", "0000", "C080", "0000"), 0), 0,
     cat(kAsk, Lines{"notice: String não está vazia ou contém hora inválida."})},
    {"ResultLowerCase", nullptr, state_after(fields("00", "00", "0000", "0000", "C080", "0a17"), 0), 0,
     cat(kAsk, Lines{"notice: Operação somente permitida após subtotalização"})},
    {"ResultShared", nullptr, state_after(fields("00", "00", "0000", "0000", "C080", "0E14"), 0), 0,
     cat(kAsk, Lines{"notice: Itens em excesso"})},
    {"ResultUnknown", nullptr, state_after(fields("00", "00", "0000", "0000", "C080", "FFFF"), 0), 0,
     cat(kAsk, Lines{"notice: Erro desconhecido"})},
    {"LastCallFailed", nullptr, state_after(clean_with_fiscal("C080"), 1), 0, cat(kAsk, Lines{kNoCommunication})},
    {"FiveNoticesInOrder", nullptr, state_after(fields("01", "07", "0004", "0010", "0000", "0101"), -5), 0,
     cat(kAsk, Lines{kNoCommunication, "notice: Campo deve ser um ponteiro para string. - Campo com erro: 07",
                     "notice: Número de porta inválido.",
                     "notice: Sem papel - Sem papel - Modo bloqueado - Período de vendas fechado - ",
                     "notice: Comando inválido para o estado atual"})},
};

TEST(EpsonState, Notices) {
  run(kStates, [](const Row &) { return makers::analisa_ret_epson("EPSON_Fiscal_Abrir_Cupom"); });
}

const std::string kUnreadable = "notice: Não foi possível ler a resposta da impressora: ";

const std::vector<Row> kUnreadables = {
    {"NothingWritten", nullptr, state_after("", 0, false), 0,
     cat(kAsk, Lines{kUnreadable + "\"" + std::string(20, ' ') + "\""})},
    {"NothingAfterFailedCall", nullptr, state_after("", 3, false), 0,
     cat(kAsk, Lines{kNoCommunication, kUnreadable + "\"" + std::string(20, ' ') + "\""})},
    {"NotHex", nullptr, state_after("00000G000000C0800000", 0, false), 0,
     cat(kAsk, Lines{kUnreadable + "\"00000G000000C0800000\""})},
    {"ResultNotHex", nullptr, state_after("000000000000C080000Z", 0, false), 0,
     cat(kAsk, Lines{kUnreadable + "\"000000000000C080000Z\""})},
    {"SignInHexField", nullptr, state_after("000000000000-0010000", 0, false), 0,
     cat(kAsk, Lines{kUnreadable + "\"000000000000-0010000\""})},
    {"FieldErrorWithSpace", nullptr,
     state_after(" 100"
                 "0000"
                 "0000"
                 "C080"
                 "0000",
                 0, false),
     0, cat(kAsk, Lines{kUnreadable + "\" 10000000000C0800000\""})},
    {"ShortAnswer", nullptr, state_after("0000", 0, true), 0, cat(kAsk, Lines{kUnreadable + "\"0000\""})},
};

TEST(EpsonUnreadable, OneNoticeQuotingTheAnswer) {
  run(kUnreadables, [](const Row &) { return makers::analisa_ret_epson("EPSON_Serial_Abrir_Porta"); });
}

TEST(EpsonState, StateCallFailingExaminesNothing) {
  Fake fake;
  kalpo::frame::state().iRetornoEpson = 7;
  fake.returns("EPSON_Obter_Estado_Impressora", 1);
  EXPECT_FALSE(makers::analisa_ret_epson("EPSON_Serial_Abrir_Porta"));
  EXPECT_EQ(fake.lines, (std::vector<std::string>{kAsk, kNoCommunication}));
}

TEST(EpsonState, TerminatedAnswerIsReadInFull) {
  Fake fake;
  fake.writes("EPSON_Obter_Estado_Impressora", 0, clean_with_fiscal("C080"), 0);
  EXPECT_TRUE(makers::analisa_ret_epson("EPSON_Fiscal_Fechar_Cupom"));
  EXPECT_EQ(fake.lines, std::vector<std::string>{kAsk});
}

std::string text_of(std::span<const makers::CodeText> table, int32_t code) {
  auto text = makers::find_text(table, code);
  return text ? kalpo::test::shown(*text) : "<none>";
}

TEST(EpsonTables, SizesAndRows) {
  namespace t = makers::tables;
  EXPECT_EQ(t::epson_field_errors().size(), 7u);
  EXPECT_EQ(t::epson_ports().size(), 6u);
  EXPECT_EQ(t::epson_results().size(), 194u);

  EXPECT_EQ(text_of(t::epson_field_errors(), 4), "String não está vazia ou contém data inválida.");
  EXPECT_EQ(text_of(t::epson_field_errors(), 6), "String não pode ser vazia.");
  EXPECT_EQ(text_of(t::epson_ports(), 0x0002), "Porta usada por outra aplicação.");
  EXPECT_EQ(text_of(t::epson_ports(), 0x0005), "Velocidade inválida.");

  const std::pair<int32_t, const char *> rows[] = {
      {0x0000, "Resultado sem erro"},
      {0x0109, "Excesso de intervenções"},
      {0x0217, "Comando invalido para a porta selecionada"},
      {0x0309, "Seqüência de scan inválida"},
      {0x051F, "Símbolo da moeda igual ao atualmente cadastrado"},
      {0x0914, "Leitura da Memória Fiscal – intervalo CRZ inválido"},
      {0x0A2B, "Comando Inválido para o item"},
      {0x0E19, "Comando não permitido em operações não-fiscais para movimento de monetário"},
      {0x300C, "Qualidade de Logotipo não suportada pela impressora"},
      {0x510B, "Simbologia do GT inválida, devem ser todos diferentes"},
      {0x800C, "Não pode fechar jornada fiscal"},
      {0x900C, "Tipo de pagamento não definido"},
      {0x0216, "<none>"},
      {0x0A10, "<none>"},
  };
  for (const auto &[code, text] : rows) EXPECT_EQ(text_of(t::epson_results(), code), text) << std::hex << code;
}

TEST(EpsonTables, ResultCodesAreUniqueAndOnlyFourTextsShared) {
  std::set<int32_t> codes;
  std::set<std::string_view> texts;
  for (const auto &e : makers::tables::epson_results()) {
    codes.insert(e.code);
    texts.insert(e.text);
  }
  EXPECT_EQ(codes.size(), 194u);
  EXPECT_EQ(texts.size(), 190u);
  const std::pair<int32_t, int32_t> shared[] = {{0x0903, 0x0E14}, {0x0908, 0x0E0B}, {0x0A17, 0x0E07}, {0x0A1F, 0x0E11}};
  for (const auto &[a, b] : shared) {
    auto table = makers::tables::epson_results();
    EXPECT_EQ(text_of(table, a), text_of(table, b));
  }
}

}  // namespace
