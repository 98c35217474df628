// Fiscal-memory reading, the day's fiscal file and the roll spacing.
#include <gtest/gtest.h>

#include <cctype>

#include "kalpo.h"
#include "support/transcripts.h"

using namespace kalpo::test;

namespace {

struct ReadingRow {
  std::string name;
  std::string model;
  const char *start, *end, *kind;
  Script script;
  bool result;
  Lines lines;
};

TEST(FiscalMemoryReading, EveryModelAndKind) {
  const Lines ok = cat(kEcf32mFetch, Lines{"CloseCif()"});
  const std::vector<ReadingRow> rows = {
      {"Bematech by date", "BEMATECHMFD", "01/12/2026", "07/12/2026", "D",
       returns("Bematech_FI_LeituraMemoriaFiscalData", {1}), true,
       cat(Lines{"Bematech_FI_LeituraMemoriaFiscalData(\"01/12/2026\", \"07/12/2026\")"}, kBematechStatus)},
      {"Bematech by reduction", "BEMATECHMP20", "0010", "0012", "N",
       returns("Bematech_FI_LeituraMemoriaFiscalReducao", {1}), true,
       cat(Lines{"Bematech_FI_LeituraMemoriaFiscalReducao(\"0010\", \"0012\")"}, kBematechStatus)},
      {"Bematech refusal", "BEMATECHMP20", "0010", "0012", "N", nullptr, false,
       cat(Lines{"Bematech_FI_LeituraMemoriaFiscalReducao(\"0010\", \"0012\")"}, kCommunicationError)},

      {"Digiarte by date as ddmmyy", "DIGIARTE1E", "01/12/2026", "07/12/2026", "D", ecf32m_answers({"COMANDO OK"}),
       true, cat(Lines{"OpenCif()", "LeMemFiscalData(\"011226\", \"071226\", \"1\")"}, ok)},
      {"Digiarte short dates are cut as far as they go", "DIGIARTE1E", "1/2/26", nullptr, "D",
       ecf32m_answers({"COMANDO OK"}), true, cat(Lines{"OpenCif()", "LeMemFiscalData(\"1//2\", \"\", \"1\")"}, ok)},
      {"Digiarte by reduction", "DIGIARTE1E", "10", "12", "N", ecf32m_answers({"COMANDO OK"}), true,
       cat(Lines{"OpenCif()", "LeMemFiscalReducao(\"10\", \"12\", \"1\")"}, ok)},
      {"Digiarte refusal", "DIGIARTE1E", "12", "10", "N", ecf32m_answers({"ERR:07 intervalo"}), false,
       cat(Lines{"OpenCif()", "LeMemFiscalReducao(\"12\", \"10\", \"1\")"}, kEcf32mFetch,
           Lines{"notice: (-7) O intervalo é inconsistente - O primeiro valor deve ser menor que o segundo",
                 "CloseCif()"})},
      {"Digiarte opening refused",
       "DIGIARTE1E",
       "10",
       "12",
       "N",
       returns("OpenCif", {-87}),
       false,
       {"OpenCif()", "notice: Falha do serial do ECF!"}},

      {"lower-case kind", "BEMATECHMFD", "01/12/2026", "07/12/2026", "d", nullptr, false, {}},
      {"lower-case kind, invoice", "NOTAFISCAL", "10", "12", "n", nullptr, true, {}},
      {"unknown kind", "DIGIARTE1E", "10", "12", "X", nullptr, false, {}},
      {"without printer", "ECFZANTRELLO", "10", "12", "N", nullptr, true, {}},
      {"unsupported model", "EPSON", "01/12/2026", "07/12/2026", "D", nullptr, false, {}},
      {"unsupported model by reduction", "ELGINFIT", "10", "12", "N", nullptr, false, {}},
  };
  for (const ReadingRow &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    EXPECT_EQ(KALPO_LeituraMemFiscal(row.model.c_str(), row.start, row.end, row.kind), row.result);
    EXPECT_EQ(fake.lines, row.lines);
  }
}

constexpr double k7December2026 = 46363.0;
constexpr double k29February2000 = 36585.0;

struct Row {
  std::string name;
  std::string model;
  Script script;
  bool result;
  Lines lines;
};

struct FileRow {
  std::string name;
  std::string model;
  double day;
  Script script;
  bool result;
  Lines lines;
  bool folder;  // the export folder was created
};

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
  const std::vector<FileRow> rows = {
      {"written", "DATAREGISSERIAL", k7December2026, generator_writes("E2..."), true, {k7Dec}, true},
      {"only the date of the value counts",
       "DATAREGISSERIAL",
       k7December2026 + 0.99,
       generator_writes("E2..."),
       true,
       {k7Dec},
       true},
      {"not written", "DATAREGISSERIAL", k7December2026, nullptr, false, {k7Dec, kNotWritten}, true},
      {"written empty", "DATAREGISSERIAL", k7December2026, generator_writes(""), false, {k7Dec, kNotWritten}, true},
      {"port name from the setting",
       "DATAREGISSERIAL",
       k29February2000,
       all({setting("PORTACOM", "COM2:19200,e,8,1"), generator_writes("x")}),
       true,
       {generator("COM2", "AC29022000.txt", "29/02/2000")},
       true},
      {"regional format",
       "DATAREGISSERIAL",
       k7December2026,
       all({[](Fake &f) { f.settings.short_date = "MM-dd-yyyy"; }, generator_writes("x")}),
       true,
       {generator("COM1", "AC12072026.txt", "12-07-2026")},
       true},
      {"Bematech MFD makes no file", "BEMATECHMFD", k7December2026, nullptr, false, {}, false},
      {"Epson makes no file", "EPSON", k7December2026, nullptr, false, {}, false},
      {"without printer", "ECFZANTRELLO", k7December2026, nullptr, true, {}, false},
      {"invoice", "NOTAFISCAL", k7December2026, nullptr, true, {}, false},
  };
  for (const FileRow &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    EXPECT_EQ(KALPO_GeraCotepe(row.model.c_str(), row.day), row.result);
    EXPECT_EQ(fake.lines, row.lines);
    EXPECT_EQ(fake.created_directories,
              row.folder ? std::vector<std::string>{"C:\\Zantrello\\NFP\\"} : std::vector<std::string>{});
  }
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
  const std::vector<Row> rows = {
      {"Dataregis serial", "DATAREGISSERIAL", driver(1, 0, 6), true, cat(spacing(6), Lines{"DLLG2_EncerraDriver(6)"})},
      {"Elgin through the serial connection", "ELGINFIT", driver(1, 0, 2), true,
       cat(spacing(2), Lines{"DLLG2_EncerraDriver(2)"})},
      {"error code", "ELGINFIT", driver(1, 8000, 2), false,
       cat(spacing(2), Lines{"notice: Comando fora de seqüência.", "DLLG2_EncerraDriver(2)"})},
      {"command not run", "DATAREGISSERIAL", driver(0, 11010, 6), false,
       cat(spacing(6), Lines{"notice: 11010", "DLLG2_EncerraDriver(6)"})},
      {"Dataregis USB: nothing sent", "DATAREGISQUICK", nullptr, true, {}},
      {"without printer", "ECFZANTRELLO", nullptr, true, {}},
      {"unlisted", "", nullptr, true, {}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    EXPECT_EQ(KALPO_ImpressaoBobina(row.model.c_str()), row.result);
    EXPECT_EQ(fake.lines, row.lines);
  }
}

}  // namespace
