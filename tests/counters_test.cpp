// Counters and totals: the Bematech calls with their answer buffers, the
// answers handed back on success and failure, the fixed answers of the other
// models, and the reduction counter read from the report file.
#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/transcripts.h"

namespace {

using kalpo::test::Call;
using kalpo::test::Fake;
using namespace kalpo::test;

// One export seen as: call with the model, then the out texts it hands back
// (nothing for the tax rates, two for date and time).
struct Export {
  const char *name;
  std::function<uint8_t(const char *, const char **, const char **)> call;
  const char *maker_call;
  std::vector<std::size_t> widths;
  bool hands_back;
};

const Export kExports[] = {
    {"RetornaGT",
     [](const char *m, const char **a, const char **) { return KALPO_RetornaGT(m, a); },
     "Bematech_FI_GrandeTotal",
     {18},
     true},
    {"DataHoraEcf",
     [](const char *m, const char **a, const char **b) { return KALPO_DataHoraEcf(m, a, b); },
     "Bematech_FI_DataHoraImpressora",
     {6, 6},
     true},
    {"NumeroCupom",
     [](const char *m, const char **a, const char **) { return KALPO_NumeroCupom(m, a); },
     "Bematech_FI_NumeroCupom",
     {6},
     true},
    {"ResumoAliq",
     [](const char *m, const char **, const char **) { return KALPO_ResumoAliq(m); },
     "Bematech_FI_RetornoAliquotas",
     {79},
     false},
    {"TotalizadorParcial",
     [](const char *m, const char **a, const char **) { return KALPO_TotalizadorParcial(m, a); },
     "Bematech_FI_VerificaTotalizadoresParciais",
     {445},
     true},
};

std::string shown_call(const Export &e) {
  std::string line = std::string(e.maker_call) + "(";
  for (std::size_t i = 0; i < e.widths.size(); ++i) line += (i ? ", \"" : "\"") + std::string(e.widths[i], ' ') + "\"";
  return line + ")";
}

// What the maker writes into each of its buffers, per row.
enum class Answer { None, Short, FullWidth };

std::string written(Answer answer, std::size_t width, std::size_t index) {
  char mark = static_cast<char>('A' + index);
  if (answer == Answer::Short) return std::string(3, mark);
  if (answer == Answer::FullWidth) return std::string(width, mark);
  return std::string(width, ' ');
}

struct Row {
  const char *name;
  const char *model;
  int32_t code;  // the maker call's return; 1 with status bit 0 of ST2 for kRefused
  Answer answer;
  bool result;
  bool calls;
  Lines analysis;
};

constexpr int32_t kRefused = 100;

const Row kRows[] = {
    {"mp20_success", "BEMATECHMP20", 1, Answer::Short, true, true, {kBematechStatus}},
    {"mfd_full_width", "BEMATECHMFD", 1, Answer::FullWidth, true, true, {kBematechStatus}},
    {"mp20_communication_error", "BEMATECHMP20", 0, Answer::None, false, true, kCommunicationError},
    {"mfd_not_executed", "BEMATECHMFD", kRefused, Answer::Short, false, true,
     cat({{kBematechStatus}, kBematechNotExecuted})},
    {"mp20_invalid_parameter", "BEMATECHMP20", -2, Answer::None, false, true,
     cat({kBematechNotExecuted, {"BlockInput(FALSE)", "box[Erro/16]: Parâmetro Inválido !"}})},
    {"without_printer", "ECFZANTRELLO", 1, Answer::None, true, false, {}},
    {"nota_fiscal", "NOTAFISCAL", 1, Answer::None, true, false, {}},
    {"sweda", "SWEDA7000", 1, Answer::None, false, false, {}},
    {"epson", "EPSON", 1, Answer::None, false, false, {}},
    {"unknown", "", 1, Answer::None, false, false, {}},
};

TEST(Counters, EveryExportPerModelAndPath) {
  for (const Export &e : kExports) {
    for (const Row &row : kRows) {
      SCOPED_TRACE(std::string(e.name) + " " + row.name);
      Fake fake;
      fake.on(e.maker_call, [&e, &row](Call &c) {
        for (std::size_t i = 0; i < e.widths.size(); ++i) {
          if (row.answer != Answer::None) c.write(i, written(row.answer, e.widths[i], i), row.answer == Answer::Short);
        }
        c.result = row.code == kRefused ? 1 : row.code;
      });
      if (row.code == kRefused) not_executed_status(fake, "Bematech_FI_RetornoImpressora");

      const char *first = kUntouched, *second = kUntouched;
      EXPECT_EQ(e.call(row.model, &first, &second), row.result ? 1 : 0);

      Lines expected = row.calls ? cat({{shown_call(e)}, row.analysis}) : Lines{};
      EXPECT_EQ(fake.lines, expected);

      // The answers go back whatever the result, for the two Bematech models.
      const char *outs[] = {first, second};
      for (std::size_t i = 0; i < 2; ++i) {
        if (row.calls && e.hands_back && i < e.widths.size()) {
          EXPECT_EQ(out_text(outs[i]), written(row.answer, e.widths[i], i)) << "out text " << i;
        } else {
          EXPECT_EQ(outs[i], kUntouched) << "out text " << i;
        }
      }
    }
  }
}

// ---- KALPO_NumReducao ----

std::string counter_line(const std::string &counter, const char *end = "\r\n") {
  return "Contador" + std::string(40, ' ') + counter + end;
}

struct ReportRow {
  const char *name;
  std::optional<std::string> report;  // nullopt: no report file
  int32_t code;
  bool result;
  std::optional<std::string> counter;  // nullopt: out text untouched
  Lines after_call;
};

class ReductionCounter : public testing::TestWithParam<ReportRow> {};

void PrintTo(const ReportRow &row, std::ostream *os) { *os << row.name; }

TEST_P(ReductionCounter, ReadsTheReport) {
  const ReportRow &row = GetParam();
  Fake fake;
  fake.returns("Bematech_FI_RelatorioTipo60Mestre", row.code);
  if (row.report) fake.files["c:\\retorno.txt"] = *row.report;
  const char *out = kUntouched;
  EXPECT_EQ(KALPO_NumReducao("BEMATECHMFD", &out), row.result ? 1 : 0);
  EXPECT_EQ(out_text(out), row.counter);
  EXPECT_EQ(fake.lines, cat({{"Bematech_FI_RelatorioTipo60Mestre()"}, row.after_call}));
}

const Lines kMissingReport = {"notice: Não foi possível ler o arquivo C:\\RETORNO.TXT"};

INSTANTIATE_TEST_SUITE_P(
    Report, ReductionCounter,
    testing::Values(
        ReportRow{"one_line", "Cabecalho\r\n" + counter_line("0123") + "Fim\r\n", 1, true, "0123", {kBematechStatus}},
        ReportRow{"counter_at_end_of_crlf_line", counter_line("12"), 1, true, "12", {kBematechStatus}},
        ReportRow{"lf_line_ends", "X\n" + counter_line("0456", "\n"), 1, true, "0456", {kBematechStatus}},
        ReportRow{"last_line_without_end", counter_line("0789", ""), 1, true, "0789", {kBematechStatus}},
        ReportRow{"only_four_characters", counter_line("000123456"), 1, true, "0001", {kBematechStatus}},
        ReportRow{"later_line_wins",
                  counter_line("0001") + "Outro\r\n" + counter_line("0002"),
                  1,
                  true,
                  "0002",
                  {kBematechStatus}},
        ReportRow{"later_short_line_wins", counter_line("0001") + "Contador: 5\r\n", 1, true, "", {kBematechStatus}},
        ReportRow{"only_exact_prefix",
                  "contador" + std::string(40, ' ') + "0001\r\n Contador" + std::string(39, ' ') + "0002\r\n",
                  1,
                  true,
                  "",
                  {kBematechStatus}},
        ReportRow{"no_counter_line", "Cabecalho\r\n", 1, true, "", {kBematechStatus}},
        ReportRow{"empty_file", "", 1, true, "", {kBematechStatus}},
        // The file is read whatever the analysis says.
        ReportRow{"read_after_failure", counter_line("0042"), 0, false, "0042", kCommunicationError},
        ReportRow{"missing_file", std::nullopt, 1, false, std::nullopt, cat({{kBematechStatus}, kMissingReport})},
        ReportRow{"missing_file_after_failure", std::nullopt, 0, false, std::nullopt,
                  cat({kCommunicationError, kMissingReport})}),
    [](const testing::TestParamInfo<ReportRow> &info) { return std::string(info.param.name); });

TEST(ReductionCounterModels, OthersCallNothing) {
  struct Case {
    const char *model;
    bool result;
  };
  for (Case c : {Case{"NOTAFISCAL", true}, Case{"ECFZANTRELLO", true}, Case{"DARUMA32", false}, Case{"EPSON", false}}) {
    Fake fake;
    fake.files["c:\\retorno.txt"] = counter_line("0001");
    const char *out = kUntouched;
    EXPECT_EQ(KALPO_NumReducao(c.model, &out), c.result ? 1 : 0) << c.model;
    EXPECT_EQ(out, kUntouched) << c.model;
    EXPECT_TRUE(fake.lines.empty()) << c.model;
  }
}

}  // namespace
