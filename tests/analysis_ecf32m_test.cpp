#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "makers/sessions.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using kalpo::test::Call;
using kalpo::test::Fake;
using namespace kalpo::test;
namespace makers = kalpo::makers;

// ---- integer codes ----

struct CodeCase {
  int32_t code;
  bool ok;
  std::optional<std::string> notice;
};

const CodeCase kCodes[] = {
    {0, true, std::nullopt},
    {-99, false, "Time out na execução do comando do ECF!"},
    {-97, false, "Ainda não obteve retorno do ECF!"},
    {-91, false, "Temperatura da Cabeça de Impressão do ECF está alta!"},
    {-86, false, "Falha do arquivo CIF.INI!\\r\\nO mesmo deve se encontrar na pasta c:\\windows"},
    {-84, false, "Falha na DLL do ECF!"},
    {-28, false, "Necessário realizar redução Z!"},
    {-93, false, std::nullopt},
    {-83, false, std::nullopt},
    {-29, false, std::nullopt},
    {-1, false, std::nullopt},
    {5, false, std::nullopt},
};

TEST(Ecf32mCode, NoticeAndResult) {
  for (const CodeCase &c : kCodes) {
    Fake fake;
    EXPECT_EQ(makers::analisa_ret_ecf32m(c.code), c.ok) << c.code;
    std::vector<std::string> expected;
    if (c.notice) expected.push_back("notice: " + *c.notice);
    EXPECT_EQ(fake.lines, expected) << c.code;
  }
}

TEST(Ecf32mCode, TableSize) {
  auto table = makers::tables::ecf32m_returns();
  EXPECT_EQ(table.size(), 16u);
  std::set<int32_t> codes;
  for (const auto &e : table) codes.insert(e.code);
  EXPECT_EQ(codes, (std::set<int32_t>{-99, -98, -97, -96, -95, -94, -92, -91, -90, -89, -88, -87, -86, -85, -84, -28}));
}

// ---- the return text ----

// A length-prefixed text as ObtemRetorno writes it.
std::string counted(std::string_view text) {
  return std::string(1, static_cast<char>(text.size())) + std::string(text);
}

const std::string kPoll = "ObtemRetorno(\"\x0bSem retorno\")";

// ObtemRetorno answers the codes in turn (the last repeats) and, with the
// last one, writes `written` when there is one.
Script polls(std::vector<int32_t> codes, std::optional<std::string> written) {
  return [=](Fake &fake) {
    fake.on("ObtemRetorno", [=](Call &call) {
      std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(call.calls), codes.size() - 1);
      call.result = codes[i];
      if (i == codes.size() - 1 && written) call.write(0, *written, false);
    });
  };
}

// The first poll and a wait before each further one.
Lines polled(int waits) {
  Lines lines{kPoll};
  for (int i = 0; i < waits; ++i) lines.insert(lines.end(), {"Sleep(1000)", kPoll});
  return lines;
}

const std::vector<Row> kReturns = {
    {"AnswerAtOnce", nullptr, polls(std::vector<int32_t>{0}, counted("COMANDO OK")), 1, polled(0), {}, "COMANDO OK"},
    {"TwoWaits",
     nullptr,
     polls(std::vector<int32_t>{-97, -97, 0}, counted("COMANDO OK")),
     1,
     polled(2),
     {},
     "COMANDO OK"},
    {"BufferOverflowCode", nullptr, polls(std::vector<int32_t>{-98}, counted("COMANDO OK")), 1, polled(0), {}, "-98"},
    {"CodeBelowMinus90", nullptr, polls(std::vector<int32_t>{-97, -91}, std::nullopt), 1, polled(1), {}, "-91"},
    {"Minus90WithoutWriting", nullptr, polls(std::vector<int32_t>{-90}, std::nullopt), 1, polled(0), {}, "Sem retorno"},
    {"Minus89WithoutWriting",
     nullptr,
     polls(std::vector<int32_t>{-97, -89}, std::nullopt),
     1,
     polled(1),
     {},
     "Sem retorno"},
    {"ReadsTheGivenLength",
     nullptr,
     polls(std::vector<int32_t>{0}, std::string("\x03") + "ERR-22 and more"),
     1,
     polled(0),
     {},
     "ERR"},
    {"EmptyText", nullptr, polls(std::vector<int32_t>{0}, std::string(1, '\0')), 1, polled(0), {}, ""},
    {"LongestText",
     nullptr,
     polls(std::vector<int32_t>{0}, counted(std::string(255, 'x'))),
     1,
     polled(0),
     {},
     std::string(255, 'x')},
};

TEST(Ecf32mReturn, Text) {
  run(kReturns, [](const Row &, std::string &text) {
    text = makers::obtem_ret_ecf32m();
    return 1;
  });
}

TEST(Ecf32mReturn, GivesUpAfterThirtySeconds) {
  Fake fake;
  fake.ticks = 123456;
  fake.returns("ObtemRetorno", -97);
  EXPECT_EQ(makers::obtem_ret_ecf32m(), "-97");
  EXPECT_EQ(std::count(fake.lines.begin(), fake.lines.end(), "Sleep(1000)"), 30);
  EXPECT_EQ(std::count(fake.lines.begin(), fake.lines.end(), kPoll), 31);
  EXPECT_EQ(fake.ticks, 123456u + 30000u);
}

TEST(Ecf32mReturn, SilentPrinterFailsTheCommandWithoutExplanation) {
  Fake fake;
  fake.returns("ObtemRetorno", -97);
  std::string text;
  EXPECT_FALSE(kalpo::makers::digiarte_judge_answer(text));
  EXPECT_EQ(text, "-97");
  EXPECT_EQ(std::count_if(fake.lines.begin(), fake.lines.end(),
                          [](const std::string &l) { return l.starts_with("notice:"); }),
            0);
}

// ---- the minus code of a return text ----

struct MinusCase {
  const char *text;
  std::optional<std::string> notice;
};

const MinusCase kMinus[] = {
    {"ERR-22", "(-22) Necessário abrir cupom fiscal"},
    {"ERR-01 COMANDO", "(-1) O cabeçalho contém caracteres inválidos"},
    {"ERR-62", "(-62) Comando desabilitado"},
    {"ERR-49", "(-49) Detectado problema no ECF (Papel enrroscado, Supertensão,...)"},
    {"ERR-08", std::nullopt},
    {"ERR-14", std::nullopt},
    {"ERR-34", std::nullopt},
    {"ERR-35", std::nullopt},
    {"ERR-63", std::nullopt},
    {"ERR-99", std::nullopt},
    {"ERR-00", std::nullopt},
    {"-98", std::nullopt},
    {"Sem retorno", std::nullopt},
    {"ERR-2x", std::nullopt},
    {"ERR-x2", std::nullopt},
    {"ERR-2", std::nullopt},
    {"", std::nullopt},
};

TEST(Ecf32mMinusCode, Notice) {
  for (const MinusCase &c : kMinus) {
    Fake fake;
    makers::analisa_texto_ret_ecf32m(c.text);
    std::vector<std::string> expected;
    if (c.notice) expected.push_back("notice: " + *c.notice);
    EXPECT_EQ(fake.lines, expected) << c.text;
  }
}

TEST(Ecf32mMinusCode, Table) {
  auto table = makers::tables::minus_codes();
  EXPECT_EQ(table.size(), 58u);
  std::set<int32_t> expected;
  for (int32_t n = 1; n <= 62; ++n) {
    if (n != 8 && n != 14 && n != 34 && n != 35) expected.insert(n);
  }
  std::set<int32_t> codes;
  for (const auto &e : table) {
    codes.insert(e.code);
    // Each explanation opens with its own code.
    EXPECT_TRUE(e.text.starts_with("(-" + std::to_string(e.code) + ") ")) << e.code;
  }
  EXPECT_EQ(codes, expected);
  EXPECT_EQ(kalpo::test::shown(*makers::find_text(table, 16)), "(-16) Data inálida");
  EXPECT_EQ(kalpo::test::shown(*makers::find_text(table, 41)), "(-41) Número máximo de itens (450) do ECF atingido");
}

}  // namespace
