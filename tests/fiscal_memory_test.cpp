// Fiscal-memory reading, the day's fiscal file and the roll spacing.
#include <gtest/gtest.h>

#include <cctype>

#include "kalpo.h"
#include "support/transcripts.h"

using namespace kalpo::test;

namespace {

// args: the kind, the start and the end (null where not given).
const char *arg_or_null(const Row &r, std::size_t i) { return i < r.args.size() ? r.args[i].c_str() : nullptr; }

TEST(FiscalMemoryReading, EveryModelAndKind) {
  const Lines ok = {kEcf32mFetch, "CloseCif()"};
  const Lines dates = {"D", "01/12/2026", "07/12/2026"};
  const Lines reductions = {"N", "10", "12"};
  // clang-format off
  const std::vector<Row> rows = {
      {"Bematech by date", "BEMATECHMFD", returns("Bematech_FI_LeituraMemoriaFiscalData", 1), 1,
       {"Bematech_FI_LeituraMemoriaFiscalData(\"01/12/2026\", \"07/12/2026\")", kBematechStatus}, dates},
      {"Bematech by reduction", "BEMATECHMP20", returns("Bematech_FI_LeituraMemoriaFiscalReducao", 1), 1,
       {"Bematech_FI_LeituraMemoriaFiscalReducao(\"0010\", \"0012\")", kBematechStatus}, {"N", "0010", "0012"}},
      {"Bematech refusal", "BEMATECHMP20", nothing, 0,
       cat("Bematech_FI_LeituraMemoriaFiscalReducao(\"0010\", \"0012\")", kCommunicationError),
       {"N", "0010", "0012"}},
      {"Digiarte by date as ddmmyy", "DIGIARTE1E", ecf32m_answers({"COMANDO OK"}), 1,
       cat("OpenCif()", "LeMemFiscalData(\"011226\", \"071226\", \"1\")", ok), dates},
      {"Digiarte short dates are cut as far as they go", "DIGIARTE1E", ecf32m_answers({"COMANDO OK"}), 1,
       cat("OpenCif()", "LeMemFiscalData(\"1//2\", \"\", \"1\")", ok), {"D", "1/2/26"}},
      {"Digiarte by reduction", "DIGIARTE1E", ecf32m_answers({"COMANDO OK"}), 1,
       cat("OpenCif()", "LeMemFiscalReducao(\"10\", \"12\", \"1\")", ok), reductions},
      {"Digiarte refusal",
       "DIGIARTE1E",
       ecf32m_answers({"ERR:07 intervalo"}),
       0,
       {"OpenCif()", "LeMemFiscalReducao(\"12\", \"10\", \"1\")", kEcf32mFetch,
        "notice: (-7) O intervalo é inconsistente - O primeiro valor deve ser menor que o segundo", "CloseCif()"},
       {"N", "12", "10"}},
      {"Digiarte opening refused", "DIGIARTE1E", returns("OpenCif", -87), 0,
       {"OpenCif()", "notice: Falha do serial do ECF!"}, reductions},
      {"lower-case kind", "BEMATECHMFD", nothing, 0, {}, {"d", "01/12/2026", "07/12/2026"}},
      {"lower-case kind, invoice", "NOTAFISCAL", nothing, 1, {}, {"n", "10", "12"}},
      {"unknown kind", "DIGIARTE1E", nothing, 0, {}, {"X", "10", "12"}},
      {"without printer", "ECFZANTRELLO", nothing, 1, {}, reductions},
      {"unsupported model", "EPSON", nothing, 0, {}, dates},
      {"unsupported model by reduction", "ELGINFIT", nothing, 0, {}, reductions},
  };
  // clang-format on
  run(rows, [](const Row &r) {
    return int{KALPO_LeituraMemFiscal(r.model, arg_or_null(r, 1), arg_or_null(r, 2), arg_or_null(r, 0))};
  });
}

// The generator writes `contents` into the file it is given.
Script generator_writes(std::string contents) {
  return [contents](Fake &f) {
    f.on("Gera_AtoCotepe1704", [&f, contents](Call &c) {
      std::string name = c.text(2);
      for (char &ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      f.files[name] = contents;
    });
  };
}

TEST(FiscalFile, EveryModel) {
  auto generator = [](const std::string &port, const std::string &file, const std::string &day) {
    return "Gera_AtoCotepe1704(\"" + port + "\", \"3202DT\", \"C:\\Zantrello\\NFP\\" + file + "\", \"" + day + "\")";
  };
  const std::string k7Dec = generator("COM1", "AC07122026.txt", "07/12/2026");
  const std::string kNotWritten = R"(notice: Arquivo C:\Zantrello\NFP\AC07122026.txt não foi gerado!)";
  // args: the day as a date value; out: the folder created for the file.
  const std::string folder = "C:\\Zantrello\\NFP\\";
  const Lines day = {"46363"};  // 7 December 2026
  // clang-format off
  const std::vector<Row> rows = {
      {"written", "DATAREGISSERIAL", generator_writes("E2..."), 1, {k7Dec}, day, folder},
      {"only the date of the value counts", "DATAREGISSERIAL", generator_writes("E2..."), 1, {k7Dec}, {"46363.99"},
       folder},
      {"not written", "DATAREGISSERIAL", nothing, 0, {k7Dec, kNotWritten}, day, folder},
      {"written empty", "DATAREGISSERIAL", generator_writes(""), 0, {k7Dec, kNotWritten}, day, folder},
      {"port name from the setting", "DATAREGISSERIAL",
       all({setting("PORTACOM", "COM2:19200,e,8,1"), generator_writes("x")}), 1,
       {generator("COM2", "AC29022000.txt", "29/02/2000")}, {"36585"}, folder},
      {"regional format", "DATAREGISSERIAL",
       all({[](Fake &f) { f.settings.short_date = "MM-dd-yyyy"; }, generator_writes("x")}), 1,
       {generator("COM1", "AC12072026.txt", "12-07-2026")}, day, folder},
      {"Bematech MFD makes no file", "BEMATECHMFD", nothing, 0, {}, day, ""},
      {"Epson makes no file", "EPSON", nothing, 0, {}, day, ""},
      {"without printer", "ECFZANTRELLO", nothing, 1, {}, day, ""},
      {"invoice", "NOTAFISCAL", nothing, 1, {}, day, ""},
  };
  // clang-format on
  run(rows, [](const Row &r, std::string &out) {
    Fake &fake = Fake::current();
    const int result = KALPO_GeraCotepe(r.model, decimal(r.arg(0)));
    for (const std::string &d : fake.created_directories) out += d;
    return result;
  });
}

TEST(RollSpacing, EveryModel) {
  auto spacing = [](int32_t h) {
    const std::string n = std::to_string(h);
    return cat(serial_opening(h, true),
               Lines{"DLLG2_LimpaParams(" + n + ")",
                     "DLLG2_AdicionaParam(" + n + ", \"NomeInteiro\", \"EspacamentoDocumentos\", 7)",
                     "DLLG2_AdicionaParam(" + n + ", \"ValorInteiro\", \"350\", 5)",
                     "DLLG2_ExecutaComando(" + n + ", \"EscreveInteiro\")", "DLLG2_ObtemCodErro(" + n + ")"});
  };
  // clang-format off
  const std::vector<Row> rows = {
      {"Dataregis serial", "DATAREGISSERIAL", driver(1, 0, 6), 1, cat(spacing(6), "DLLG2_EncerraDriver(6)")},
      {"Elgin through the serial connection", "ELGINFIT", driver(1, 0, 2), 1,
       cat(spacing(2), "DLLG2_EncerraDriver(2)")},
      {"error code", "ELGINFIT", driver(1, 8000, 2), 0,
       cat(spacing(2), "notice: Comando fora de seqüência.", "DLLG2_EncerraDriver(2)")},
      {"command not run", "DATAREGISSERIAL", driver(0, 11010, 6), 0,
       cat(spacing(6), "notice: 11010", "DLLG2_EncerraDriver(6)")},
      {"Dataregis USB: nothing sent", "DATAREGISQUICK", nothing, 1, {}},
      {"without printer", "ECFZANTRELLO", nothing, 1, {}},
      {"unlisted", "", nothing, 1, {}},
  };
  // clang-format on
  run(rows, [](const Row &r) { return int{KALPO_ImpressaoBobina(r.model)}; });
}

}  // namespace
