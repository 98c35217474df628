#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;

std::string error_notice(int number, const std::string &message, const std::string &quoted) {
  return "notice: Erro na ECF nº :" + std::to_string(number) + "\\r\\n" + message + "[ " + quoted + " ]";
}
std::string unreadable(const std::string &answer) {
  return "notice: Não foi possível ler a resposta da impressora: \"" + answer + "\"";
}
// DAR_Resposta writes answer (with a zero byte when terminated) and returns count.
Script answer(std::string text, int32_t count, bool terminated = true) {
  return writes("DAR_Resposta", 0, text, count, terminated);
}
// The library's last error on top of the answer.
Script answer(std::string text, int32_t count, int32_t last_error) {
  return all({returns("DAR_Erro", last_error), answer(text, count)});
}
Lines refused(const std::string &notice) { return {kSigtronAnswer, "BlockInput(FALSE)", notice}; }
// An error answer "0E" + number whose number has the given text.
Row message(const std::string &number, const std::string &text) {
  return {"message " + number, nullptr, answer("0E" + number, 4), 0,
          refused(error_notice(std::stoi(number), text, "0E" + number))};
}
Lines library_refused(const std::string &notice) { return cat("DAR_Erro()", refused(notice)); }

// args: the return code and the length (0 and 99 where not given); out: the
// count handed back.
TEST(SigtronAnalysis, Transcripts) {
  const int32_t offset = 536870912;
  // clang-format off
  const std::vector<Row> rows = {
      {"plain answer", nullptr, answer("0K123", 5), 1, {kSigtronAnswer}, {}, "5"},
      {"error answer", nullptr, answer("0E50", 4), 0, refused(error_notice(50, "Sem papel", "0E50")), {}, "4"},
      {"number not in the table", nullptr, answer("0E07xx", 6), 0,
       refused(error_notice(7, "Desconhecido", "0E07xx")), {}, "6"},
      {"number above the table", nullptr, answer("0E99", 4), 0, refused(error_notice(99, "Desconhecido", "0E99"))},
      {"error number 0 is an error", nullptr, answer("0E00", 4), 0,
       refused(error_notice(0, "IF em Manutenção .. foi ligada sem o Jumper de operação", "0E00"))},
      {"one-character answer not examined", nullptr, answer("0E50", 1), 1, {kSigtronAnswer}, {}, "1"},
      {"library error", nullptr, answer("", 0, offset + 4), 0,
       library_refused(error_notice(4, "Erro no relógio interno da IF", "")), {"-1"}, "0"},
      {"answer number wins over library error", nullptr, answer("0E50", 4, offset + 4), 0,
       library_refused(error_notice(50, "Sem papel", "0E50")), {"-1"}},
      {"library error below the offset", nullptr, answer("", 0, 5), 1, {"DAR_Erro()", kSigtronAnswer}, {"-1"}},
      {"lowest library error does not wrap", nullptr, answer("", 0, INT32_MIN), 1, {"DAR_Erro()", kSigtronAnswer},
       {"-1"}},
      {"library error ignored unless code is -1", nullptr, answer("", 0, offset + 4), 1, {kSigtronAnswer}},
      {"short error answer", nullptr, answer("0E5", 3), 0, refused(error_notice(5, "Falha mecânica na IF", "0E5"))},
      {"no zero byte: spaces are part of the answer", nullptr, answer("0E50", 4, false), 0,
       refused(error_notice(50, "Sem papel", "0E50" + std::string(66, ' ')))},
      {"length limits the answer text", nullptr, answer("0E16abcdef", 10), 0,
       refused(error_notice(16, "Erro de Sintaxe no comando", "0E16")), {"0", "3"}},
      {"negative length clamps to one character", nullptr, answer("0E16", 4), 0, refused(unreadable("0")), {"0", "-5"}},
      {"digits that are not a number", nullptr, answer("0EXY!", 5), 0, refused(unreadable("0EXY!"))},
      {"half a number", nullptr, answer("0E5x", 4), 0, refused(unreadable("0E5x"))},
      {"seventy characters quoted", nullptr, answer("0E16" + std::string(76, 'a'), 80), 0,
       refused(error_notice(16, "Erro de Sintaxe no comando", "0E16" + std::string(66, 'a')))},
      message("01", "Comando disponível somente em modo de manutenção"),
      message("06", "Erro durante a leitura da Memória Fiscal"),
      message("13", "Dígito não numérido não esperado foi encontrado nos parâmetros"),
      message("22", "Cupom de redução Z já foi emitido. IF inoperante até 00:00h do próximo dia"),
      message("24", "Valor de desconto ou acréscimo inválido. (Limitado a 100%)"),
      message("26", "Desconhecido"),
      message("31", "Não pode autenticar. Recebeu 4 repetições ou não é permitido nesta fase"),
      message("33", "Desconhecido"),
      message("39", "Erro na seqüência de fechamento do cupom fiscal"),
      message("44", "Desconhecido"),
      message("45", "Campo obrigatório em branco"),
      message("61", "Queda de energia durante a emissão do cupom fiscal"),
      message("83", "Extenso do cheque não cabe no espaço disponível"),
      message("85", "Erro no dígito verificador durante a comunicação com a PERTOCHECK"),
  };
  // clang-format on
  run(rows, [](const Row &r, std::string &out) {
    char buffer[101] = {};
    int32_t count = -7;
    const int result = KALPO_Analisa_RetSigtronFS345(static_cast<int32_t>(std::stol(r.arg(0, "0"))), buffer,
                                                     static_cast<int32_t>(std::stol(r.arg(1, "99"))), &count);
    out = std::to_string(count);
    return result;
  });
}

TEST(SigtronAnalysis, NeverTouchesThe100BytesBeyond) {
  // A larger buffer whose bytes past 100 are marked: they are neither
  // overwritten nor taken into the answer, whatever the length says.
  for (int32_t length : {99, 100, 500}) {
    SCOPED_TRACE(length);
    Fake fake;
    answer("0EZZ", 4, false)(fake);
    char buffer[600];
    std::memset(buffer, 'X', sizeof buffer);
    buffer[599] = '\0';
    int32_t count = 0;
    EXPECT_EQ(KALPO_Analisa_RetSigtronFS345(0, buffer, length, &count), 0);
    EXPECT_EQ(fake.lines.back(), unreadable("0EZZ" + std::string(96, ' ')));
    EXPECT_EQ(std::string(buffer + 100, 499), std::string(499, 'X'));
  }
}

TEST(SigtronAnalysis, FortySixNumbersHaveAMessage) {
  int known = 0;
  for (int n = 0; n <= 99; ++n) {
    Fake fake;
    answer(std::string("0E") + char('0' + n / 10) + char('0' + n % 10), 4)(fake);
    char buffer[101] = {};
    int32_t count = 0;
    KALPO_Analisa_RetSigtronFS345(0, buffer, 99, &count);
    known += fake.lines.back().find("\\r\\nDesconhecido[") == std::string::npos;
  }
  EXPECT_EQ(known, 46);
}

}  // namespace
