#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "frame/state.h"
#include "kalpo.h"
#include "makers/analysis.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;

const std::string kStatusCall = "Daruma_FI_RetornoImpressora(&0, &0, &0)";
const std::string kErrorCall = "Daruma_FI_RetornaErroExtendido(\"    \")";

// The extended error as the library writes it (a zero byte after it when
// terminated).
Script error_written(std::string text, bool terminated = true) {
  return writes("Daruma_FI_RetornaErroExtendido", 0, text, 1, terminated);
}

std::string notice(const std::string &number, const std::string &text) {
  return "notice: Erro na ECF nº :" + number + "\\r\\n" + text;
}
Lines refused(const std::string &notice_line) { return cat(kDarumaStatus, "BlockInput(FALSE)", notice_line); }
Lines unreadable(const std::string &text) {
  return refused("notice: Não foi possível ler a resposta da impressora: \"" + text + "\"");
}
// An extended error whose number has a message of its own.
Row message(const std::string &written, const std::string &number, const std::string &text) {
  return {"message " + written, nullptr, error_written(written), 0, refused(notice(number, text))};
}

TEST(DarumaAnalysis, Transcripts) {
  const std::vector<Row> rows = {
      {"no error", nullptr, error_written("000"), 1, kDarumaStatus},
      {"negative number is no error", nullptr, error_written("-01"), 1, kDarumaStatus},
      {"blanks around the number", nullptr, error_written(" 12 "), 0,
       refused(notice("12", "Não existe documento a cancelar"))},
      {"four digits without a zero byte", nullptr, error_written("0181", false), 0,
       refused(notice("181", "Nao é possivel realizar Redução Z neste horario"))},
      {"only four of five characters count", nullptr, error_written("00507", false), 0,
       refused(notice("50", "Sem papel"))},
      {"letters", nullptr, error_written("abc"), 0, unreadable("abc")},
      {"blank inside the number", nullptr, error_written("5 5"), 0, unreadable("5 5")},
      {"empty", nullptr, error_written(""), 0, unreadable("")},
      {"nothing written", nullptr, nothing, 0, unreadable("    ")},
      message("001", "1", "Comando disponível somente em modo de manutenção"),
      message("007", "7", "Metodo permitido apenas no modo fiscal"),
      message("008", "8", ""),
      message("009", "9", ""),
      message("026", "26", "Metodo não pode ser executado"),
      message("035", "35", "Relógio interno inoperante"),
      message("044", "44", "Cupom de orçamento não permitido"),
      message("048", "48", "Não pode extornar"),
      message("049", "49", "Forma de pagamento indicada não encontrada"),
      message("050", "50", "Sem papel"),
      message("051", "51", "Nenhum usuario cadastrado na MF"),
      message("052", "52", "MF não instalada ou não inicializada"),
      message("056", "56", "Documento já aberto"),
      message("075", "75", "Operação de ISS não permitida"),
      message("076", "76", "Desconto de ISS não permitido para este ECF"),
      message("077", "77", "Acrescimo de IOF inibido"),
      message("086", "86", "Falha na emissão da geometria da folha de cheque"),
      message("087", "87", "Parametro do metodo invalido para o campo do cheque"),
      message("090", "90", "Sequencia de validacao de numero de serie invalida"),
      message("100", "100", ""),
      message("180", "180", "Mensagem do aplicativo nao programada"),
      message("999", "999", "Sem comunicação com a impressora"),
  };
  run(rows, [](const Row &) { return int{kalpo::makers::analisa_ret_daruma()}; });
}

TEST(DarumaAnalysis, KeepsTheStatusInTheModuleState) {
  Fake fake;
  kalpo::frame::DarumaStatus &daruma = kalpo::frame::state().daruma;
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
  EXPECT_TRUE(kalpo::makers::analisa_ret_daruma());
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
  error_written(text)(fake);
  kalpo::makers::analisa_ret_daruma();
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

TEST(DarumaAnalysis, SixtyThreeNumbersHaveAMessage) {
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
