#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "kalpo.h"
#include "support/fake.h"

namespace {

using kalpo::test::Call;
using kalpo::test::Fake;
using Lines = std::vector<std::string>;

const std::string kOffset = "536870912";
const std::string kFree = "BlockInput(FALSE)";
const std::string kAnswerCall = "DAR_Resposta(\"" + std::string(100, ' ') + "\", 99)";

std::string error_notice(int number, const std::string &message, const std::string &quoted) {
  return "notice: Erro na ECF nº :" + std::to_string(number) + "\\r\\n" + message + "[ " + quoted + " ]";
}

std::string unreadable(const std::string &answer) {
  return "notice: Não foi possível ler a resposta da impressora: \"" + answer + "\"";
}

// DAR_Resposta writes answer (with a zero byte when terminated) and returns count.
void script_answer(Fake &fake, std::string answer, bool terminated, int32_t count) {
  fake.on("DAR_Resposta", [=](Call &c) {
    c.write(0, answer, terminated);
    c.result = count;
  });
}

struct Case {
  const char *name;
  int32_t code;
  int32_t last_error;  // what DAR_Erro returns
  std::string answer;
  bool terminated;
  int32_t count;
  int32_t length;
  Lines messages;  // after the library calls
  bool result;
};

TEST(SigtronAnalysis, Transcripts) {
  const std::string pad66(66, ' ');
  // clang-format off
  const Case cases[] = {
      {"plain answer", 0, 0, "0K123", true, 5, 99, {}, true},
      {"error answer", 0, 0, "0E50", true, 4, 99, {kFree, error_notice(50, "Sem papel", "0E50")}, false},
      {"number not in the table", 0, 0, "0E07xx", true, 6, 99,
        {kFree, error_notice(7, "Desconhecido", "0E07xx")}, false},
      {"number above the table", 0, 0, "0E99", true, 4, 99, {kFree, error_notice(99, "Desconhecido", "0E99")}, false},
      {"error number 0 is an error", 0, 0, "0E00", true, 4, 99,
        {kFree, error_notice(0, "IF em Manutenção .. foi ligada sem o Jumper de operação", "0E00")}, false},
      {"one-character answer not examined", 0, 0, "0E50", true, 1, 99, {}, true},
      {"library error", -1, 536870912 + 4, "", true, 0, 99,
        {kFree, error_notice(4, "Erro no relógio interno da IF", "")}, false},
      {"answer number wins over library error", -1, 536870912 + 4, "0E50", true, 4, 99,
        {kFree, error_notice(50, "Sem papel", "0E50")}, false},
      {"library error below the offset", -1, 5, "", true, 0, 99, {}, true},
      {"lowest library error does not wrap", -1, INT32_MIN, "", true, 0, 99, {}, true},
      {"library error ignored unless code is -1", 0, 536870912 + 4, "", true, 0, 99, {}, true},
      {"short error answer", 0, 0, "0E5", true, 3, 99, {kFree, error_notice(5, "Falha mecânica na IF", "0E5")}, false},
      {"no zero byte: spaces are part of the answer", 0, 0, "0E50", false, 4, 99,
        {kFree, error_notice(50, "Sem papel", "0E50" + pad66)}, false},
      {"length limits the answer text", 0, 0, "0E16abcdef", true, 10, 3,
        {kFree, error_notice(16, "Erro de Sintaxe no comando", "0E16")}, false},
      {"negative length clamps to one character", 0, 0, "0E16", true, 4, -5, {kFree, unreadable("0")}, false},
      {"digits that are not a number", 0, 0, "0EXY!", true, 5, 99, {kFree, unreadable("0EXY!")}, false},
      {"half a number", 0, 0, "0E5x", true, 4, 99, {kFree, unreadable("0E5x")}, false},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Fake fake;
    fake.returns("DAR_Erro", c.last_error);
    script_answer(fake, c.answer, c.terminated, c.count);
    char buffer[101] = {};
    int32_t count = -7;
    EXPECT_EQ(KALPO_Analisa_RetSigtronFS345(c.code, buffer, c.length, &count), c.result ? 1 : 0);
    Lines expected;
    if (c.code == -1) expected.push_back("DAR_Erro()");
    expected.push_back(kAnswerCall);
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(fake.lines, expected);
    EXPECT_EQ(count, c.count);
  }
}

TEST(SigtronAnalysis, QuotesSeventyCharactersOfTheAnswer) {
  Fake fake;
  const std::string answer = "0E16" + std::string(76, 'a');
  script_answer(fake, answer, true, 80);
  char buffer[101] = {};
  int32_t count = 0;
  EXPECT_EQ(KALPO_Analisa_RetSigtronFS345(0, buffer, 99, &count), 0);
  EXPECT_EQ(fake.lines.back(), error_notice(16, "Erro de Sintaxe no comando", answer.substr(0, 70)));
}

TEST(SigtronAnalysis, NeverTouchesThe100BytesBeyond) {
  // A larger buffer whose bytes past 100 are marked: they are neither
  // overwritten nor taken into the answer, whatever the length says.
  for (int32_t length : {99, 100, 500}) {
    SCOPED_TRACE(length);
    Fake fake;
    script_answer(fake, "0EZZ", false, 4);
    char buffer[600];
    std::memset(buffer, 'X', sizeof buffer);
    buffer[599] = '\0';
    int32_t count = 0;
    EXPECT_EQ(KALPO_Analisa_RetSigtronFS345(0, buffer, length, &count), 0);
    EXPECT_EQ(fake.lines.back(), unreadable("0EZZ" + std::string(96, ' ')));
    EXPECT_EQ(std::string(buffer + 100, 499), std::string(499, 'X'));
  }
}

TEST(SigtronAnalysis, MessageTable) {
  struct Row {
    int number;
    const char *text;
  };
  const Row sample[] = {
      {1, "Comando disponível somente em modo de manutenção"},
      {6, "Erro durante a leitura da Memória Fiscal"},
      {13, "Dígito não numérido não esperado foi encontrado nos parâmetros"},
      {22, "Cupom de redução Z já foi emitido. IF inoperante até 00:00h do próximo dia"},
      {24, "Valor de desconto ou acréscimo inválido. (Limitado a 100%)"},
      {26, "Desconhecido"},
      {31, "Não pode autenticar. Recebeu 4 repetições ou não é permitido nesta fase"},
      {33, "Desconhecido"},
      {39, "Erro na seqüência de fechamento do cupom fiscal"},
      {44, "Desconhecido"},
      {45, "Campo obrigatório em branco"},
      {61, "Queda de energia durante a emissão do cupom fiscal"},
      {83, "Extenso do cheque não cabe no espaço disponível"},
      {85, "Erro no dígito verificador durante a comunicação com a PERTOCHECK"},
  };
  auto notice_for = [](int number) {
    Fake fake;
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02d", number);
    const std::string answer = std::string("0E") + digits;
    script_answer(fake, answer, true, 4);
    char buffer[101] = {};
    int32_t count = 0;
    KALPO_Analisa_RetSigtronFS345(0, buffer, 99, &count);
    return fake.lines.back();
  };
  for (const Row &r : sample) {
    SCOPED_TRACE(r.number);
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02d", r.number);
    EXPECT_EQ(notice_for(r.number), error_notice(r.number, r.text, std::string("0E") + digits));
  }
  int known = 0;
  for (int n = 0; n <= 99; ++n) known += notice_for(n).find("\\r\\nDesconhecido[") == std::string::npos;
  EXPECT_EQ(known, 46);
}

}  // namespace
