// Counters and totals: the Bematech calls with their answer buffers, the
// answers handed back on success and failure, the fixed answers of the other
// models, and the reduction counter read from the report file.
#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

// The Bematech query shared by these exports is run through all its paths on
// NumeroCupom; every export then shows its own call, answers and presets.
// args: the export; out: the texts handed back, "|" between two.
int call_export(const Row &r, std::string &out) {
  const char *first = kUntouched, *second = kUntouched;
  const std::string e = r.arg(0);
  uint8_t result = 0;
  if (e == "RetornaGT") result = KALPO_RetornaGT(r.model, &first);
  if (e == "DataHoraEcf") result = KALPO_DataHoraEcf(r.model, &first, &second);
  if (e == "NumeroCupom") result = KALPO_NumeroCupom(r.model, &first);
  if (e == "ResumoAliq") result = KALPO_ResumoAliq(r.model);
  if (e == "TotalizadorParcial") result = KALPO_TotalizadorParcial(r.model, &first);
  out = std::string(first) + (second == kUntouched ? "" : "|" + std::string(second));
  return result;
}

// The maker call writes each text into its buffer in turn (short ones end in
// a zero, full-width ones do not) and returns code.
Script answers(std::string call, Lines texts, int32_t code = 1) {
  return [=](Fake &f) {
    f.on(call, [=](Call &c) {
      for (std::size_t i = 0; i < texts.size(); ++i) c.write(i, texts[i], texts[i].size() == 3);
      c.result = code;
    });
  };
}

const std::string kNumber = "Bematech_FI_NumeroCupom";
const std::string kNumberCall = buffer_call(kNumber, 6);
const Lines kNumberArg = {"NumeroCupom"};

TEST(Counters, BematechQueryPaths) {
  const std::vector<Row> rows = {
      {"short answer", "BEMATECHMP20", answers(kNumber, {"AAA"}), 1, {kNumberCall, kBematechStatus}, kNumberArg, "AAA"},
      {"full-width answer",
       "BEMATECHMFD",
       answers(kNumber, {"AAAAAA"}),
       1,
       {kNumberCall, kBematechStatus},
       kNumberArg,
       "AAAAAA"},
      {"communication error: the blank buffer handed back", "BEMATECHMP20", returns(kNumber, 0), 0,
       cat(kNumberCall, kCommunicationError), kNumberArg, "      "},
      {"not executed: the answer handed back", "BEMATECHMFD",
       all({answers(kNumber, {"AAA"}), not_executed("Bematech_FI_RetornoImpressora")}), 0,
       cat(kNumberCall, kBematechStatus, kBematechNotExecuted), kNumberArg, "AAA"},
      {"invalid parameter", "BEMATECHMP20", returns(kNumber, -2), 0,
       cat(kNumberCall, kBematechNotExecuted, "BlockInput(FALSE)", "box[Erro/16]: Parâmetro Inválido !"), kNumberArg,
       "      "},
      {"invoice", "NOTAFISCAL", nothing, 1, {}, kNumberArg, kUntouched},
      {"epson", "EPSON", nothing, 0, {}, kNumberArg, kUntouched},
      {"unlisted", "", nothing, 0, {}, kNumberArg, kUntouched},
  };
  run(rows, call_export);
}

TEST(Counters, EveryExport) {
  const std::string gt = "Bematech_FI_GrandeTotal", clock = "Bematech_FI_DataHoraImpressora",
                    rates = "Bematech_FI_RetornoAliquotas", partial = "Bematech_FI_VerificaTotalizadoresParciais";
  const std::string clock_call = "Bematech_FI_DataHoraImpressora(\"      \", \"      \")";
  const Script refused = not_executed("Bematech_FI_RetornoImpressora");
  const Lines refusal = cat(kBematechStatus, kBematechNotExecuted);
  // clang-format off
  const std::vector<Row> rows = {
      {"grand total", "BEMATECHMP20", answers(gt, {"AAA"}), 1,
       {buffer_call(gt, 18), kBematechStatus}, {"RetornaGT"}, "AAA"},
      {"grand total refused", "BEMATECHMFD", all({answers(gt, {"AAA"}), refused}), 0,
       cat(buffer_call(gt, 18), refusal), {"RetornaGT"}, "AAA"},
      {"grand total without printer", "ECFZANTRELLO", nothing, 1, {}, {"RetornaGT"}, kUntouched},
      {"grand total on sweda", "SWEDA7000", nothing, 0, {}, {"RetornaGT"}, kUntouched},
      {"date and time", "BEMATECHMP20", answers(clock, {"AAA", "BBB"}), 1,
       {clock_call, kBematechStatus}, {"DataHoraEcf"}, "AAA|BBB"},
      {"date and time full width", "BEMATECHMP20", answers(clock, {"AAAAAA", "BBBBBB"}), 1,
       {clock_call, kBematechStatus}, {"DataHoraEcf"}, "AAAAAA|BBBBBB"},
      {"date and time refused", "BEMATECHMFD", all({answers(clock, {"AAA", "BBB"}), refused}), 0,
       cat(clock_call, refusal), {"DataHoraEcf"}, "AAA|BBB"},
      {"date and time without printer", "ECFZANTRELLO", nothing, 1, {}, {"DataHoraEcf"}, kUntouched},
      {"date and time on sweda", "SWEDA7000", nothing, 0, {}, {"DataHoraEcf"}, kUntouched},
      {"tax rates: nothing handed back", "BEMATECHMP20", answers(rates, {"AAA"}), 1,
       {buffer_call(rates, 79), kBematechStatus}, {"ResumoAliq"}, kUntouched},
      {"tax rates refused", "BEMATECHMFD", all({answers(rates, {"AAA"}), refused}), 0,
       cat(buffer_call(rates, 79), refusal), {"ResumoAliq"}, kUntouched},
      {"tax rates without printer", "ECFZANTRELLO", nothing, 1, {}, {"ResumoAliq"}, kUntouched},
      {"tax rates on sweda", "SWEDA7000", nothing, 0, {}, {"ResumoAliq"}, kUntouched},
      {"partial totals", "BEMATECHMP20", answers(partial, {"AAA"}), 1,
       {buffer_call(partial, 445), kBematechStatus}, {"TotalizadorParcial"}, "AAA"},
      {"partial totals refused", "BEMATECHMFD", all({answers(partial, {"AAA"}), refused}), 0,
       cat(buffer_call(partial, 445), refusal), {"TotalizadorParcial"}, "AAA"},
      {"partial totals without printer", "ECFZANTRELLO", nothing, 1, {}, {"TotalizadorParcial"}, kUntouched},
      {"partial totals on sweda", "SWEDA7000", nothing, 0, {}, {"TotalizadorParcial"}, kUntouched},
  };
  // clang-format on
  run(rows, call_export);
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
