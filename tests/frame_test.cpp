// The frame exports, the message handler and the module state at the C
// boundary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/args.h"
#include "frame/state.h"
#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;

TEST(Frame, ConstantTextsAreByteExactAndStable) {
  Fake fake;
  const char *first = nullptr;
  const char *second = nullptr;
  EXPECT_EQ(KALPO_Versao(&first), 0);
  EXPECT_EQ(KALPO_Versao(&second), 0);
  EXPECT_EQ(first, second);
  EXPECT_EQ(std::string(first), "KALPO_DLL Vers\xE3o 3.60");
  EXPECT_EQ(KALPO_Versao_Number(&first), 0);
  EXPECT_STREQ(first, "3.60");
  KALPO_Versao_Number(&second);
  EXPECT_EQ(first, second);
  EXPECT_EQ(KALPO_Versao(nullptr), 0);
  EXPECT_TRUE(fake.lines.empty());
}

TEST(Frame, PrinterListHasEightLinesSeparatedByCarriageReturns) {
  Fake fake;
  const char *list = nullptr;
  EXPECT_EQ(KALPO_RetListaECFS(&list), 0);
  std::string text(list);
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_NE(text.back(), '\r');
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    std::size_t cr = text.find('\r', start);
    lines.push_back(text.substr(start, cr - start));
    if (cr == std::string::npos) break;
    start = cr + 1;
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"[ BEMATECH ] Modelo MP20", "[ SIGTRON ] Modelo FS-345",
                                             "[ DARUMA ] Modelo FS-345", "[ DIGIARTE ] Modelo 1E",
                                             "[ ELGIN ] Modelo FIT/LOGGER", "[ DATAREGIS ] Modelo QUICK USB",
                                             "[ DATAREGIS ] Modelo QUICK Serial", "[ EPSON ] Modelo Serial"}));
}

TEST(Frame, DriverExportsCallOnlyWhatTheyName) {
  // args: the export (start, close, register) and the port registered.
  const Script closing_fails = returns("ECF_FechaPortaSerial", -6);
  const std::vector<Row> rows = {
      {"start does nothing", nullptr, nothing, 1, {}, {"start"}},
      {"sweda closes its port, failure ignored", "SWEDA7000", closing_fails, 1, {"ECF_FechaPortaSerial()"}, {"close"}},
      {"epson has nothing to close", "EPSON", nothing, 1, {}, {"close"}},
      {"lower-case identifier closes nothing", "sweda7000", closing_fails, 1, {}, {"close"}},
      {"null identifier closes nothing", nullptr, nothing, 1, {}, {"close"}},
      {"port registered", nullptr, nothing, 1, {"Daruma_Registry_Porta(\"COM3\")"}, {"register", "COM3"}},
      {"null port registered empty", nullptr, nothing, 1, {"Daruma_Registry_Porta(\"\")"}, {"register"}},
  };
  run(rows, [](const Row &r) {
    if (r.arg(0) == "start") return int{KALPO_IniciaDriver()};
    if (r.arg(0) == "close") return int{KALPO_FechaDriver(r.model)};
    return int{KALPO_GravaRegistro(r.args.size() > 1 ? r.arg(1).c_str() : nullptr)};
  });
}

struct Seen {
  std::vector<std::string> messages;
  int32_t answer = KALPO_BTN_OK;
};

int32_t KALPO_CALL record(void *context, int32_t form, const char *text, const char *caption, uint32_t flags) {
  auto *seen = static_cast<Seen *>(context);
  seen->messages.push_back(std::to_string(form) + "|" + (caption ? caption : "(null)") + "|" + std::to_string(flags) +
                           "|" + text);
  return seen->answer;
}

TEST(Frame, MessageHandlerReceivesEveryFormAndAnswersConfirmations) {
  Fake fake;
  Seen seen;
  seen.answer = KALPO_BTN_NO;
  KALPO_DefineTratadorMensagens(record, &seen);
  EXPECT_EQ(KALPO_Reducaoz("ECFZANTRELLO", nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(KALPO_HorarioVerao("xpto", "ENTRAR"), 0);
  ASSERT_EQ(seen.messages.size(), 3u);
  EXPECT_EQ(seen.messages[0].substr(0, 12), "1|(null)|36|");
  EXPECT_EQ(seen.messages[1], "1|(null)|64|Emiss\xE3o de Redu\xE7\xE3o Abortada!");
  EXPECT_EQ(seen.messages[2].substr(0, 12), "1|(null)|64|");
  EXPECT_TRUE(fake.lines.empty()) << "the platform must not show what the handler took";

  seen.answer = KALPO_BTN_YES;
  EXPECT_EQ(KALPO_Reducaoz("NOTAFISCAL", nullptr, nullptr, nullptr, nullptr), 1);

  KALPO_DefineTratadorMensagens(nullptr, nullptr);
  fake.confirm_answer = KALPO_BTN_NO;
  EXPECT_EQ(KALPO_Reducaoz("NOTAFISCAL", nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(fake.lines.size(), 2u) << "without a handler the platform shows the messages";
}

TEST(Frame, OutTextsOfOneCallStayValidDuringTheNext) {
  Fake fake;
  kalpo::frame::begin_export_call();
  const char *first = nullptr;
  kalpo::frame::OutText(&first).set("000123");
  kalpo::frame::begin_export_call();
  const char *second = nullptr;
  kalpo::frame::OutText(&second).set("000124");
  EXPECT_STREQ(first, "000123");
  EXPECT_STREQ(second, "000124");
  kalpo::frame::OutText(nullptr).set("ignored");
}

TEST(Frame, ControlLinesSplitAsATextList) {
  struct Split {
    const char *text;
    std::vector<std::string> lines;
  };
  const std::vector<Split> rows = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\n", {""}},
      {"a\n\r", {"a", ""}},
  };
  for (const Split &row : rows) EXPECT_EQ(kalpo::frame::split_lines(row.text), row.lines) << row.text;
}

}  // namespace
