// Counters and totals: the Bematech calls with their answer buffers, the
// answers handed back on success and failure, the fixed answers of the other
// models, and the reduction counter read from the report file.
#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

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

struct Path {
  const char *name;
  const char *model;
  int32_t code;  // the maker call's return; 1 with status bit 0 of ST2 for kRefused
  Answer answer;
  bool result;
  bool calls;
  Lines analysis;
};

constexpr int32_t kRefused = 100;

const Path kPaths[] = {
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
    for (const Path &row : kPaths) {
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

// The row's argument: the report file's contents ("<none>": no report file).
Script report(int32_t code) { return returns("Bematech_FI_RelatorioTipo60Mestre", code); }
const std::string kReport = "Bematech_FI_RelatorioTipo60Mestre()";
const std::string kMissingReport = "notice: Não foi possível ler o arquivo C:\\RETORNO.TXT";

TEST(NumReducao, ReadsTheReport) {
  const Lines ok = {kReport, kBematechStatus};
  const std::vector<Row> rows = {
      {"one line", "BEMATECHMFD", report(1), 1, ok, {"Cabecalho\r\n" + counter_line("0123") + "Fim\r\n"}, "0123"},
      {"counter at the end of a CR LF line", "BEMATECHMFD", report(1), 1, ok, {counter_line("12")}, "12"},
      {"LF line ends", "BEMATECHMFD", report(1), 1, ok, {"X\n" + counter_line("0456", "\n")}, "0456"},
      {"last line without an end", "BEMATECHMFD", report(1), 1, ok, {counter_line("0789", "")}, "0789"},
      {"only four characters", "BEMATECHMFD", report(1), 1, ok, {counter_line("000123456")}, "0001"},
      {"a later line wins",
       "BEMATECHMFD",
       report(1),
       1,
       ok,
       {counter_line("0001") + "Outro\r\n" + counter_line("0002")},
       "0002"},
      {"a later short line wins", "BEMATECHMFD", report(1), 1, ok, {counter_line("0001") + "Contador: 5\r\n"}, ""},
      {"only the exact prefix",
       "BEMATECHMFD",
       report(1),
       1,
       ok,
       {"contador" + std::string(40, ' ') + "0001\r\n Contador" + std::string(39, ' ') + "0002\r\n"},
       ""},
      {"empty file", "BEMATECHMFD", report(1), 1, ok, {""}, ""},
      {"read whatever the analysis says",
       "BEMATECHMFD",
       report(0),
       0,
       cat(kReport, kCommunicationError),
       {counter_line("0042")},
       "0042"},
      {"missing file", "BEMATECHMFD", report(1), 0, cat(ok, kMissingReport), {"<none>"}, kUntouched},
      {"missing file after a failure",
       "BEMATECHMFD",
       report(0),
       0,
       cat(kReport, kCommunicationError, kMissingReport),
       {"<none>"},
       kUntouched},
      {"invoice calls nothing", "NOTAFISCAL", nothing, 1, {}, {counter_line("0001")}, kUntouched},
      {"without printer calls nothing", "ECFZANTRELLO", nothing, 1, {}, {counter_line("0001")}, kUntouched},
      {"daruma calls nothing", "DARUMA32", nothing, 0, {}, {counter_line("0001")}, kUntouched},
      {"epson calls nothing", "EPSON", nothing, 0, {}, {counter_line("0001")}, kUntouched},
  };
  run(rows, [](const Row &r, std::string &out) {
    if (r.arg() != "<none>") Fake::current().files["c:\\retorno.txt"] = r.arg();
    const char *text = kUntouched;
    int result = KALPO_NumReducao(r.model, &text);
    out = text;
    return result;
  });
}

}  // namespace
}  // namespace kalpo::test
