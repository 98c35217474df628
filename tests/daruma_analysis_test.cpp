#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "frame/state.h"
#include "kalpo.h"
#include "makers/analysis.h"
#include "support/fake.h"

namespace {

using kalpo::test::Call;
using kalpo::test::Fake;
using Lines = std::vector<std::string>;

const std::string kStatusCall = "Daruma_FI_RetornoImpressora(&0, &0, &0)";
const std::string kErrorCall = "Daruma_FI_RetornaErroExtendido(\"    \")";
const std::string kFree = "BlockInput(FALSE)";

// The extended error as the library writes it (a zero byte after it when
// terminated).
void script_error(Fake &fake, std::string text, bool terminated = true) {
  fake.on("Daruma_FI_RetornaErroExtendido", [=](Call &c) {
    c.write(0, text, terminated);
    c.result = 1;
  });
}

std::string notice(const std::string &number, const std::string &text) {
  return "notice: Erro na ECF nº :" + number + "\\r\\n" + text;
}

TEST(DarumaAnalysis, Transcripts) {
  struct Case {
    const char *written;
    bool terminated;
    Lines messages;
    bool result;
  };
  const Case cases[] = {
      {"000", true, {}, true},
      {"050", true, {kFree, notice("50", "Sem papel")}, false},
      {"999", true, {kFree, notice("999", "Sem comunicação com a impressora")}, false},
      {"008", true, {kFree, notice("8", "")}, false},
      {"001", true, {kFree, notice("1", "Comando disponível somente em modo de manutenção")}, false},
      {"-01", true, {}, true},
      {" 12 ", true, {kFree, notice("12", "Não existe documento a cancelar")}, false},
      {"0181", false, {kFree, notice("181", "Nao é possivel realizar Redução Z neste horario")}, false},
      // Five characters without a zero byte: only the first four count.
      {"00507", false, {kFree, notice("50", "Sem papel")}, false},
      {"abc", true, {kFree, "notice: Não foi possível ler a resposta da impressora: \"abc\""}, false},
      {"5 5", true, {kFree, "notice: Não foi possível ler a resposta da impressora: \"5 5\""}, false},
      {"", true, {kFree, "notice: Não foi possível ler a resposta da impressora: \"\""}, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.written);
    Fake fake;
    script_error(fake, c.written, c.terminated);
    EXPECT_EQ(kalpo::analysis::analisa_ret_daruma(), c.result);
    Lines expected{kStatusCall, kErrorCall};
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(fake.lines, expected);
  }
}

TEST(DarumaAnalysis, NothingWrittenIsUnreadable) {
  Fake fake;
  EXPECT_FALSE(kalpo::analysis::analisa_ret_daruma());
  EXPECT_EQ(fake.lines.back(), "notice: Não foi possível ler a resposta da impressora: \"    \"");
}

TEST(DarumaAnalysis, KeepsTheStatusInTheModuleState) {
  Fake fake;
  kalpo::DarumaStatus &daruma = kalpo::state().daruma;
  daruma.ack = daruma.st1 = daruma.st2 = 99;  // cleared before the call
  fake.on("Daruma_FI_RetornoImpressora", [](Call &c) {
    c.set_int(0, 6);
    c.set_int(1, 128);
    c.set_int(2, 1);
    c.result = -4;
  });
  fake.on("Daruma_FI_RetornaErroExtendido", [](Call &c) {
    c.write(0, "000");
    c.result = 7;
  });
  EXPECT_TRUE(kalpo::analysis::analisa_ret_daruma());
  EXPECT_EQ(fake.lines, (Lines{kStatusCall, kErrorCall}));
  EXPECT_EQ(daruma.ack, 6);
  EXPECT_EQ(daruma.st1, 128);
  EXPECT_EQ(daruma.st2, 1);
  EXPECT_EQ(daruma.status_return, -4);
  EXPECT_EQ(daruma.error_return, 7);
  EXPECT_EQ(daruma.extended_error, "000");
}

// The notice line of an extended error number.
std::string daruma_notice(int number) {
  Fake fake;
  char text[5];
  std::snprintf(text, sizeof text, "%03d", number);
  script_error(fake, text);
  kalpo::analysis::analisa_ret_daruma();
  return fake.lines.back();
}

// The message part of a Sigtron error notice, empty for an unknown number.
std::string sigtron_text(int number) {
  Fake fake;
  char answer[5];
  std::snprintf(answer, sizeof answer, "0E%02d", number);
  fake.on("DAR_Resposta", [&](Call &c) {
    c.write(0, answer);
    c.result = 4;
  });
  char buffer[101] = {};
  int32_t count = 0;
  KALPO_Analisa_RetSigtronFS345(0, buffer, 99, &count);
  const std::string &line = fake.lines.back();
  const std::size_t from = line.find("\\r\\n") + 4;
  const std::string text = line.substr(from, line.rfind("[ ") - from);
  return text == "Desconhecido" ? "" : text;
}

TEST(DarumaAnalysis, MessageTable) {
  struct Row {
    int number;
    const char *text;
  };
  const Row sample[] = {
      {7, "Metodo permitido apenas no modo fiscal"},
      {26, "Metodo não pode ser executado"},
      {35, "Relógio interno inoperante"},
      {44, "Cupom de orçamento não permitido"},
      {48, "Não pode extornar"},
      {49, "Forma de pagamento indicada não encontrada"},
      {51, "Nenhum usuario cadastrado na MF"},
      {52, "MF não instalada ou não inicializada"},
      {56, "Documento já aberto"},
      {75, "Operação de ISS não permitida"},
      {76, "Desconto de ISS não permitido para este ECF"},
      {77, "Acrescimo de IOF inibido"},
      {86, "Falha na emissão da geometria da folha de cheque"},
      {87, "Parametro do metodo invalido para o campo do cheque"},
      {90, "Sequencia de validacao de numero de serie invalida"},
      {180, "Mensagem do aplicativo nao programada"},
      {9, ""},
      {100, ""},
  };
  for (const Row &r : sample) {
    SCOPED_TRACE(r.number);
    EXPECT_EQ(daruma_notice(r.number), notice(std::to_string(r.number), r.text));
  }
  int known = 0;
  for (int n = 1; n <= 999; ++n) {
    const std::string line = daruma_notice(n);
    known += line.substr(line.size() - 4) != "\\r\\n";
  }
  EXPECT_EQ(known, 63);
}

TEST(DarumaAnalysis, SharesEverySigtronTextFromOneUp) {
  for (int n = 1; n <= 85; ++n) {
    const std::string sigtron = sigtron_text(n);
    if (sigtron.empty()) continue;
    SCOPED_TRACE(n);
    EXPECT_EQ(daruma_notice(n), notice(std::to_string(n), sigtron));
  }
}

}  // namespace
