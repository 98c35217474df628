// Serial number and firmware queries: per model and path, the transcript of
// maker calls and operator messages, the result and the out text.
#include <gtest/gtest.h>

#include "frame/state.h"
#include "kalpo.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

using Query = uint8_t(KALPO_CALL *)(const char *, const char **);

// The out text: "untouched" while the caller's variable keeps its value.
void run_query(const std::vector<Row> &rows, Query query) {
  run(rows, [query](const Row &r, std::string &out) {
    const char *text = kUntouched;
    int result = query(r.model, &text);
    out = text ? text : "<null>";
    return result;
  });
}

const std::string kSigtronIdent = "#!12345678 12 X";  // serial "12345678", version " 12 "
const std::string kSigtronError = "xE50ABCDEFGHIJ";   // "Sem papel"

const Lines kIdent = {kSigtronPort, "DAR_LeIdent(49)", kSigtronAnswer};
const Lines kIdentRefused = cat(kIdent, "BlockInput(FALSE)",
                                "notice: Erro na ECF nº :50\\r\\nSem papel[ " + kSigtronError + " ]", kNotExecuted);

// ---- KALPO_MostraNumSerie ----

const std::string kMp20 = buffer_call("Bematech_FI_NumeroSerie", 15);
const std::string kMfd = buffer_call("Bematech_FI_NumeroSerieMFD", 20);
const std::string kSweda = buffer_call("ECF_NumeroSerie", 30);

TEST(MostraNumSerie, TranscriptPerModelAndPath) {
  const std::vector<Row> rows = {
      {"without printer", "ECFZANTRELLO", nothing, 0, {}, {}, kUntouched},
      {"epson", "EPSON", nothing, 0, {}, {}, kUntouched},
      {"lower case", "bematechmp20", nothing, 0, {}, {}, kUntouched},
      {"mp20 trimmed",
       "BEMATECHMP20",
       writes("Bematech_FI_NumeroSerie", 0, "\t BE0512345678\r", 1, false),
       1,
       cat({{kMp20}, {kBematechStatus}}),
       {},
       "BE0512345678"},
      {"mp20 inner blanks kept",
       "BEMATECHMP20",
       writes("Bematech_FI_NumeroSerie", 0, "BE 05 12", 1),
       1,
       cat({{kMp20}, {kBematechStatus}}),
       {},
       "BE 05 12"},
      {"mp20 communication error",
       "BEMATECHMP20",
       writes("Bematech_FI_NumeroSerie", 0, "BE0512345678", 0),
       0,
       cat({{kMp20}, kCommunicationError}),
       {},
       kUntouched},
      {"mp20 not executed",
       "BEMATECHMP20",
       all({writes("Bematech_FI_NumeroSerie", 0, "BE0512345678", 1), not_executed("Bematech_FI_RetornoImpressora")}),
       0,
       cat({{kMp20}, {kBematechStatus}, kBematechNotExecuted}),
       {},
       kUntouched},
      {"mfd shows raw",
       "BEMATECHMFD",
       writes("Bematech_FI_NumeroSerieMFD", 0, "  MFD0001  ", 1),
       1,
       cat({{kMfd, kBematechStatus}, {"notice:   MFD0001  "}}),
       {},
       "MFD0001"},
      {"mfd full width",
       "BEMATECHMFD",
       writes("Bematech_FI_NumeroSerieMFD", 0, "ABCDEFGHIJKLMNOPQRST", 1, false),
       1,
       cat({{kMfd, kBematechStatus}, {"notice: ABCDEFGHIJKLMNOPQRST"}}),
       {},
       "ABCDEFGHIJKLMNOPQRST"},
      {"mfd failure still shown",
       "BEMATECHMFD",
       returns("Bematech_FI_NumeroSerieMFD", 0),
       0,
       cat({{kMfd}, kCommunicationError, {"notice: " + std::string(20, ' ')}}),
       {},
       kUntouched},
      {"sweda trimmed",
       "SWEDA7000",
       writes("ECF_NumeroSerie", 0, " SW7000-99   ", 1),
       1,
       cat({{kSweda}, {kSwedaStatus}}),
       {},
       "SW7000-99"},
      {"sweda not executed",
       "SWEDA7000",
       all({writes("ECF_NumeroSerie", 0, "SW7000-99", 1), not_executed("ECF_RetornoImpressoraMFD")}),
       0,
       cat({{kSweda}, {kSwedaStatus}, kBematechNotExecuted}),
       {},
       kUntouched},
      {"sigtron", "SIGTRONFS345", sigtron_answers({kSigtronIdent}), 1, kIdent, {}, "12345678"},
      {"sigtron refused", "SIGTRONFS345", sigtron_answers({kSigtronError}), 0, kIdentRefused, {}, "50ABCDEF"},
      {"sigtron no answer",
       "SIGTRONFS345",
       nothing,
       0,
       {kSigtronPort, "DAR_LeIdent(49)", kSigtronAnswer, "dialog: Comando não executado!"},
       {},
       std::string(8, ' ')},
      {"sigtron short answer", "SIGTRONFS345", sigtron_answers({"#!1234"}), 1, kIdent, {}, "1234"},
      {"daruma",
       "DARUMA32",
       all({writes("Daruma_FI_NumeroSerie", 0, "DR0000000000001", 1), daruma_errors({"000"})}),
       1,
       cat({{buffer_call("Daruma_FI_NumeroSerie", 20)}, kDarumaStatus}),
       {},
       "DR0000000000001"},
      {"daruma error still written",
       "DARUMA32",
       daruma_errors({"050"}),
       0,
       cat({{buffer_call("Daruma_FI_NumeroSerie", 20)},
            kDarumaStatus,
            {"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel"}}),
       {},
       std::string(20, ' ')},
      {"digiarte",
       "DIGIARTE1E",
       ecf32m_answers({"0000COMANDO OK DG123"}),
       1,
       {"OpenCif()", "EcfPar(\"49\")", kEcf32mFetch, "CloseCif()"},
       {},
       "COMANDO OK DG123"},
      {"digiarte refused text still written",
       "DIGIARTE1E",
       ecf32m_answers({"ERRO22 cupom"}),
       0,
       {"OpenCif()", "EcfPar(\"49\")", kEcf32mFetch, "notice: (-22) Necessário abrir cupom fiscal", "CloseCif()"},
       {},
       "22 cupom"},
      {"digiarte short text",
       "DIGIARTE1E",
       returns("ObtemRetorno", -98),
       0,
       {"OpenCif()", "EcfPar(\"49\")", kEcf32mFetch, "CloseCif()"},
       {},
       ""},
      {"elgin",
       "ELGINFIT",
       driver_value("EL0123456789"),
       1,
       cat({usb_opening(), read_text(0, "NumeroSerieECF"), {read_back(0)}}),
       {},
       "EL0123456789"},
      {"elgin start refused",
       "ELGINFIT",
       returns("DLLG2_IniciaDriver", -3),
       0,
       cat({usb_opening(), {"notice: erro: -3"}}),
       {},
       kUntouched},
      {"elgin refused: the code as a number",
       "ELGINFIT",
       returns("DLLG2_ObtemCodErro", 11006),
       0,
       cat({usb_opening(), read_text(0, "NumeroSerieECF"), {"notice: 11006"}}),
       {},
       kUntouched},
      {"serial",
       "DATAREGISSERIAL",
       all({returns("DLLG2_IniciaDriver", 5), driver_value("DR9876")}),
       1,
       cat({usb_opening(),
            {"DLLG2_DefineTimeout(5, 10)"},
            read_text(5, "NumeroSerieECF"),
            {read_back(5), "DLLG2_EncerraDriver(5)"}}),
       {},
       "DR9876"},
      {"serial start retried",
       "DATAREGISSERIAL",
       all({returns("DLLG2_IniciaDriver", {-1, -2, 4}), driver_value("DR9876")}),
       1,
       cat({{"DLLG2_IniciaDriver(\"COM1\")", "Sleep(100)", "DLLG2_IniciaDriver(\"COM1\")", "Sleep(100)"},
            usb_opening(),
            {"DLLG2_DefineTimeout(4, 10)"},
            read_text(4, "NumeroSerieECF"),
            {read_back(4), "DLLG2_EncerraDriver(4)"}}),
       {},
       "DR9876"},
      {"serial not run",
       "DATAREGISSERIAL",
       all({returns("DLLG2_IniciaDriver", 5), returns("DLLG2_ObtemCodErro", 7003)}),
       0,
       cat({usb_opening(),
            {"DLLG2_DefineTimeout(5, 10)"},
            read_text(5, "NumeroSerieECF"),
            {"DLLG2_EncerraDriver(5)", "notice: Erro 2: 7003"}}),
       {},
       kUntouched},
      {"serial error code",
       "DATAREGISSERIAL",
       all({returns("DLLG2_IniciaDriver", 5), returns("DLLG2_ExecutaComando", 1), returns("DLLG2_ObtemCodErro", 7003)}),
       0,
       cat({usb_opening(),
            {"DLLG2_DefineTimeout(5, 10)"},
            read_text(5, "NumeroSerieECF"),
            {"DLLG2_EncerraDriver(5)", "notice: Erro 1: Impressora está sem papel para imprimir."}}),
       {},
       kUntouched},
  };
  run_query(rows, KALPO_MostraNumSerie);
}

// The refused serial start is tried for five seconds of the workstation's
// clock, counting the time the driver itself takes.
TEST(SerialNumberStart, GivesUpAfterFiveSeconds) {
  struct Case {
    uint64_t start_cost_ms;
    int starts;
  };
  // 75 ms per start: the 29th refusal comes at 4975 ms, and a 30th start
  // after the pause would begin past the five seconds.
  for (Case c : {Case{0, 51}, Case{2000, 3}, Case{6000, 1}, Case{75, 29}}) {
    Fake fake;
    fake.on("DLLG2_IniciaDriver", [&fake, c](Call &call) {
      fake.ticks += c.start_cost_ms;
      call.result = -1;
    });
    const char *out = kUntouched;
    EXPECT_EQ(KALPO_MostraNumSerie("DATAREGISSERIAL", &out), 0);
    EXPECT_EQ(out, kUntouched);
    Lines expected;
    for (int i = 0; i < c.starts; ++i) {
      expected.push_back("DLLG2_IniciaDriver(\"COM1\")");
      if (i + 1 < c.starts) expected.push_back("Sleep(100)");
    }
    expected.insert(expected.end(), {"DLLG2_SetaArquivoLog(\"dllg2.log\")", "notice: Erro -1"});
    EXPECT_EQ(fake.lines, expected) << "start cost " << c.start_cost_ms;
    EXPECT_EQ(frame::state().iHandleDllG2, -1);
  }
}

// ---- KALPO_FirmWare ----

const std::string kBemaVersion = buffer_call("Bematech_FI_VersaoFirmware", 10);

TEST(FirmWare, TranscriptPerModelAndPath) {
  const std::vector<Row> rows = {
      {"without printer", "ECFZANTRELLO", nothing, 1, {}, {}, kUntouched},
      {"epson", "EPSON", nothing, 0, {}, {}, kUntouched},
      {"mp20 untrimmed",
       "BEMATECHMP20",
       writes("Bematech_FI_VersaoFirmware", 0, " 01.02 ", 1),
       1,
       cat({{kBemaVersion}, {kBematechStatus}}),
       {},
       " 01.02 "},
      {"mfd full width",
       "BEMATECHMFD",
       writes("Bematech_FI_VersaoFirmware", 0, "0102030405", 1, false),
       1,
       cat({{kBemaVersion}, {kBematechStatus}}),
       {},
       "0102030405"},
      {"mfd failure still written",
       "BEMATECHMFD",
       returns("Bematech_FI_VersaoFirmware", 0),
       0,
       cat({{kBemaVersion}, kCommunicationError}),
       {},
       std::string(10, ' ')},
      {"sweda",
       "SWEDA7000",
       writes("ECF_VersaoFirmware", 0, "SW 1.0", 1),
       1,
       cat({{buffer_call("ECF_VersaoFirmware", 10)}, {kSwedaStatus}}),
       {},
       "SW 1.0"},
      {"sweda not executed",
       "SWEDA7000",
       all({writes("ECF_VersaoFirmware", 0, "SW 1.0", 1), not_executed("ECF_RetornoImpressoraMFD")}),
       0,
       cat({{buffer_call("ECF_VersaoFirmware", 10)}, {kSwedaStatus}, kBematechNotExecuted}),
       {},
       "SW 1.0"},
      {"sigtron trimmed", "SIGTRONFS345", sigtron_answers({kSigtronIdent}), 1, kIdent, {}, "12"},
      {"sigtron refused", "SIGTRONFS345", sigtron_answers({kSigtronError}), 0, kIdentRefused, {}, "GHIJ"},
      {"daruma",
       "DARUMA32",
       all({writes("Daruma_FI_VersaoFirmware", 0, "1.10", 1), daruma_errors({"000"})}),
       1,
       cat({{buffer_call("Daruma_FI_VersaoFirmware", 4)}, kDarumaStatus}),
       {},
       "1.10"},
      {"daruma error still written",
       "DARUMA32",
       all({writes("Daruma_FI_VersaoFirmware", 0, "1.10", 1), daruma_errors({"999"})}),
       0,
       cat({{buffer_call("Daruma_FI_VersaoFirmware", 4)},
            kDarumaStatus,
            {"BlockInput(FALSE)", "notice: Erro na ECF nº :999\\r\\nSem comunicação com a impressora"}}),
       {},
       "1.10"},
      {"digiarte",
       "DIGIARTE1E",
       ecf32m_answers({"0000COMANDO OK V2.3"}),
       1,
       {"OpenCif()", "EcfPar(\"47\")", kEcf32mFetch, "CloseCif()"},
       {},
       "COMANDO OK V2.3"},
      {"digiarte refused silently",
       "DIGIARTE1E",
       ecf32m_answers({"ERRO22 cupom"}),
       0,
       {"OpenCif()", "EcfPar(\"47\")", kEcf32mFetch, "CloseCif()"},
       {},
       "22 cupom"},
      {"quick",
       "DATAREGISQUICK",
       driver_value("01.00.05"),
       1,
       cat({usb_opening(), read_text(0, "VersaoSW"), {read_back(0)}}),
       {},
       "01.00.05"},
      {"serial",
       "DATAREGISSERIAL",
       all({returns("DLLG2_IniciaDriver", 2), driver_value("01.00.05")}),
       1,
       cat({usb_opening(),
            {"DLLG2_DefineTimeout(2, 10)"},
            read_text(2, "VersaoSW"),
            {read_back(2), "DLLG2_EncerraDriver(2)"}}),
       {},
       "01.00.05"},
      {"serial start refused once",
       "DATAREGISSERIAL",
       all({returns("DLLG2_IniciaDriver", {-1, 2})}),
       0,
       cat({usb_opening(), {"DLLG2_DefineTimeout(-1, 10)"}, read_text(-1, "VersaoSW"), {"notice: 0"}}),
       {},
       kUntouched},
  };
  run_query(rows, KALPO_FirmWare);
}

}  // namespace
}  // namespace kalpo::test
