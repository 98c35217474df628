#include <gtest/gtest.h>

#include <set>
#include <string>

#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "makers/dllg2_commands.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

namespace makers = kalpo::makers;
using kalpo::test::cp;
using kalpo::test::shown;

struct ErrorCase {
  int32_t code;
  const char *text;  // nullptr: no text
};

const ErrorCase kErrors[] = {
    {0, "Retorno OK."},
    {2, "Memória RAM foi corrompida."},
    {1007, "Tentativa de gravação de qualquer dado antes da inicialização da Memória Fiscal."},
    {2000, "Erro de leitura no dispositivo físico."},
    {4000, "Erro de leitura no dispositivo físico."},
    {8046, "Percentual do desconto ultrapassou 100%."},
    {8096, "Comando válido somente após a abertura do dia."},
    {9010, "Leitura da MFD serial é interrompida por comando diferente de LeImpressão."},
    {11019, "Divisão por 0 (zero) nas rotinas de BDC."},
    {15001, "Comando aceito apenas em modo de Intervencao Técnica."},
    {15017, "ECF não encontra-se em linha para executar o comando."},
    {3, nullptr},
    {8097, nullptr},
    {12000, nullptr},
    {15000, nullptr},
    {-1, nullptr},
};

TEST(DllG2ErrorText, HitReplacesMissKeeps) {
  for (const ErrorCase &c : kErrors) {
    std::string text = "antes";
    bool hit = makers::texto_erro_dllg2(c.code, text);
    EXPECT_EQ(hit, c.text != nullptr) << c.code;
    EXPECT_EQ(shown(text), c.text ? c.text : "antes") << c.code;
  }
}

TEST(DllG2ErrorText, CallerShowsTheCodeWhenThereIsNoText) {
  EXPECT_EQ(kalpo::makers::dllg2::error_text(-1), "Erro -1");
  EXPECT_EQ(kalpo::makers::dllg2::error_text(12000), "Erro 12000");
  EXPECT_EQ(kalpo::makers::dllg2::error_text(8046), cp("Percentual do desconto ultrapassou 100%."));
}

TEST(DllG2ErrorText, TableCoversItsRanges) {
  auto table = makers::tables::dllg2_errors();
  EXPECT_EQ(table.size(), 187u);
  const std::pair<int32_t, int32_t> ranges[] = {
      {0, 2},       {1000, 1012}, {2000, 2002}, {3000, 3003},   {4000, 4004},   {5000, 5002},  {6000, 6001},
      {7000, 7004}, {8000, 8096}, {9000, 9010}, {10000, 10003}, {11000, 11019}, {15001, 15017}};
  std::set<int32_t> expected, codes;
  for (const auto &[from, to] : ranges) {
    for (int32_t n = from; n <= to; ++n) expected.insert(n);
  }
  std::set<std::string_view> texts;
  for (const auto &e : table) {
    codes.insert(e.code);
    texts.insert(e.text);
  }
  EXPECT_EQ(codes, expected);
  EXPECT_EQ(texts.size(), 186u);  // 2000 and 4000 share theirs
}

}  // namespace

namespace kalpo::test {
namespace {

// The three judgments of a command outcome, on handle 3: the answer is the
// row's argument, the error code the driver answers is 5 (no text of its
// own) or 8000.
TEST(DllG2Judgment, TranscriptPerJudgmentAndOutcome) {
  using Judge = bool (*)(int32_t, int32_t);
  const Judge judges[] = {makers::dllg2::judge_showing_code_number, makers::dllg2::judge_showing_negative_answer,
                          makers::dllg2::judge_showing_code_text};
  const std::string code = "DLLG2_ObtemCodErro(3)";
  const std::string refused = "notice: Comando fora de seqüência.";
  const std::vector<Row> rows = {
      // model: which judgment (0 number, 1 negative answer, 2 code text)
      {"number: ran, code 0", "0", driver(1, 0), 1, {code}, {"1"}},
      {"number: ran, code 8000 by its text", "0", driver(1, 8000), 0, {code, refused}, {"1"}},
      {"number: not run, code as a number", "0", driver(1, 5), 0, {code, "notice: 5"}, {"0"}},
      {"number: negative, code as a number", "0", driver(1, 5), 0, {code, "notice: 5"}, {"-2"}},
      {"negative: ran, code 0", "1", driver(1, 0), 1, {code}, {"1"}},
      {"negative: ran, code 8000", "1", driver(1, 8000), 0, {code, refused}, {"2"}},
      {"negative: not run, code text even for 0", "1", driver(1, 0), 0, {code, "notice: Retorno OK."}, {"0"}},
      {"negative: the answer's text, code not read", "1", driver(1, 0), 0, {"notice: Erro -1"}, {"-1"}},
      {"text: ran, code 0", "2", driver(1, 0), 1, {code}, {"1"}},
      {"text: ran, code 8000", "2", driver(1, 8000), 0, {code, refused}, {"1"}},
      {"text: negative, the code's text", "2", driver(1, 5), 0, {code, "notice: Erro 5"}, {"-2"}},
  };
  run(rows, [&](const Row &r) { return judges[std::stoi(r.model)](3, std::stoi(r.arg())) ? 1 : 0; });
}

}  // namespace
}  // namespace kalpo::test
