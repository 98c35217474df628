// Serial number and firmware queries: per model and path, the transcript of
// maker calls and operator messages, the result and the out text.
#include <gtest/gtest.h>

#include "frame/state.h"
#include "kalpo.h"
#include "support/transcripts.h"

namespace {

using kalpo::test::Call;
using kalpo::test::Fake;
using namespace kalpo::test;

struct Row {
  const char *name;
  const char *model;
  Script script;
  bool result;
  std::optional<std::string> out;  // nullopt: the caller's variable is untouched
  Lines transcript;
};

void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }

using Query = uint8_t(KALPO_CALL *)(const char *, const char **);

void run(Query query, const Row &row) {
  Fake fake;
  if (row.script) row.script(fake);
  const char *out = kUntouched;
  EXPECT_EQ(query(row.model, &out), row.result ? 1 : 0);
  EXPECT_EQ(out_text(out), row.out);
  EXPECT_EQ(fake.lines, row.transcript);
}

const std::string kSigtronIdent = "#!12345678 12 X";  // serial "12345678", version " 12 "
const std::string kSigtronError = "xE50ABCDEFGHIJ";   // "Sem papel"

Lines sigtron_error_notice(const std::string &answer) {
  return {"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel[ " + answer + " ]"};
}

// ---- KALPO_MostraNumSerie ----

class SerialNumber : public testing::TestWithParam<Row> {};

TEST_P(SerialNumber, Transcript) { run(KALPO_MostraNumSerie, GetParam()); }

const std::string kMp20 = buffer_call("Bematech_FI_NumeroSerie", 15);
const std::string kMfd = buffer_call("Bematech_FI_NumeroSerieMFD", 20);
const std::string kSweda = buffer_call("ECF_NumeroSerie", 30);

INSTANTIATE_TEST_SUITE_P(
    Models, SerialNumber,
    testing::Values(
        Row{"without_printer", "ECFZANTRELLO", nullptr, false, std::nullopt, {}},
        Row{"nota_fiscal", "NOTAFISCAL", nullptr, false, std::nullopt, {}},
        Row{"epson", "EPSON", nullptr, false, std::nullopt, {}},
        Row{"lower_case", "bematechmp20", nullptr, false, std::nullopt, {}},
        // Blanks and control characters around the number are cut; the maker
        // fills the whole width without a terminating zero.
        Row{"mp20_trimmed",
            "BEMATECHMP20",
            [](Fake &f) { f.on("Bematech_FI_NumeroSerie", [](Call &c) { c.write(0, "\t BE0512345678\r", false); c.result = 1; }); },
            true,
            "BE0512345678",
            cat({{kMp20}, {kBematechStatus}})},
        Row{"mp20_inner_blanks_kept",
            "BEMATECHMP20",
            [](Fake &f) { f.writes("Bematech_FI_NumeroSerie", 0, "BE 05 12", 1); },
            true,
            "BE 05 12",
            cat({{kMp20}, {kBematechStatus}})},
        Row{"mp20_communication_error",
            "BEMATECHMP20",
            [](Fake &f) { f.writes("Bematech_FI_NumeroSerie", 0, "BE0512345678", 0); },
            false,
            std::nullopt,
            cat({{kMp20}, kCommunicationError})},
        Row{"mp20_not_executed",
            "BEMATECHMP20",
            [](Fake &f) {
              f.writes("Bematech_FI_NumeroSerie", 0, "BE0512345678", 1);
              not_executed_status(f, "Bematech_FI_RetornoImpressora");
            },
            false,
            std::nullopt,
            cat({{kMp20}, {kBematechStatus}, kBematechNotExecuted})},
        // The MFD shows the number as received, whatever the result.
        Row{"mfd_shows_raw",
            "BEMATECHMFD",
            [](Fake &f) { f.writes("Bematech_FI_NumeroSerieMFD", 0, "  MFD0001  ", 1); },
            true,
            "MFD0001",
            cat({{kMfd, kBematechStatus}, {"notice:   MFD0001  "}})},
        Row{"mfd_full_width",
            "BEMATECHMFD",
            [](Fake &f) {
              f.on("Bematech_FI_NumeroSerieMFD", [](Call &c) { c.write(0, "ABCDEFGHIJKLMNOPQRST", false); c.result = 1; });
            },
            true,
            "ABCDEFGHIJKLMNOPQRST",
            cat({{kMfd, kBematechStatus}, {"notice: ABCDEFGHIJKLMNOPQRST"}})},
        Row{"mfd_failure_still_shown",
            "BEMATECHMFD",
            [](Fake &f) { f.returns("Bematech_FI_NumeroSerieMFD", 0); },
            false,
            std::nullopt,
            cat({{kMfd}, kCommunicationError, {"notice: " + std::string(20, ' ')}})},
        Row{"sweda_trimmed",
            "SWEDA7000",
            [](Fake &f) { f.writes("ECF_NumeroSerie", 0, " SW7000-99   ", 1); },
            true,
            "SW7000-99",
            cat({{kSweda}, {kSwedaStatus}})},
        Row{"sweda_not_executed",
            "SWEDA7000",
            [](Fake &f) {
              f.writes("ECF_NumeroSerie", 0, "SW7000-99", 1);
              not_executed_status(f, "ECF_RetornoImpressoraMFD");
            },
            false,
            std::nullopt,
            cat({{kSweda}, {kSwedaStatus}, kBematechNotExecuted})},
        Row{"sigtron",
            "SIGTRONFS345",
            [](Fake &f) { sigtron_answers({kSigtronIdent})(f); },
            true,
            "12345678",
            {kSigtronPort, "DAR_LeIdent(49)", kSigtronAnswer}},
        // A refused answer still hands back its characters 3 to 10.
        Row{"sigtron_refused",
            "SIGTRONFS345",
            [](Fake &f) { sigtron_answers({kSigtronError})(f); },
            false,
            "50ABCDEF",
            cat({{kSigtronPort, "DAR_LeIdent(49)", kSigtronAnswer}, sigtron_error_notice(kSigtronError),
                  {"dialog: Comando não executado!"}})},
        Row{"sigtron_no_answer",
            "SIGTRONFS345",
            [](Fake &f) { f.config["PORTACOM"] = "COM3:9600,n,8,1"; },
            false,
            std::string(8, ' '),
            {"DAR_AbreSerial(\"COM3:9600,n,8,1\")", "DAR_LeIdent(49)", kSigtronAnswer,
             "dialog: Comando não executado!"}},
        Row{"sigtron_short_answer",
            "SIGTRONFS345",
            [](Fake &f) { sigtron_answers({"#!1234"})(f); },
            true,
            "1234",
            {kSigtronPort, "DAR_LeIdent(49)", kSigtronAnswer}},
        Row{"daruma",
            "DARUMA32",
            [](Fake &f) {
              f.writes("Daruma_FI_NumeroSerie", 0, "DR0000000000001", 1);
              daruma_errors({"000"})(f);
            },
            true,
            "DR0000000000001",
            cat({{buffer_call("Daruma_FI_NumeroSerie", 20)}, kDarumaStatus})},
        Row{"daruma_error_still_written",
            "DARUMA32",
            [](Fake &f) { daruma_errors({"050"})(f); },
            false,
            std::string(20, ' '),
            cat({{buffer_call("Daruma_FI_NumeroSerie", 20)}, kDarumaStatus,
                  {"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel"}})},
        Row{"digiarte",
            "DIGIARTE1E",
            [](Fake &f) { ecf32m_answers({"0000COMANDO OK DG123"})(f); },
            true,
            "COMANDO OK DG123",
            {"OpenCif()", "EcfPar(\"49\")", kEcf32mFetch, "CloseCif()"}},
        Row{"digiarte_refused_text_still_written",
            "DIGIARTE1E",
            [](Fake &f) { ecf32m_answers({"ERRO22 cupom"})(f); },
            false,
            "22 cupom",
            {"OpenCif()", "EcfPar(\"49\")", kEcf32mFetch, "notice: (-22) Necessário abrir cupom fiscal",
             "CloseCif()"}},
        Row{"digiarte_short_text",
            "DIGIARTE1E",
            [](Fake &f) { f.returns("ObtemRetorno", -98); },
            false,
            "",
            {"OpenCif()", "EcfPar(\"49\")", kEcf32mFetch, "CloseCif()"}},
        Row{"digiarte_open_refused",
            "DIGIARTE1E",
            [](Fake &f) { f.returns("OpenCif", -99); },
            false,
            std::nullopt,
            {"OpenCif()", "notice: Time out na execução do comando do ECF!"}},
        Row{"elgin",
            "ELGINFIT",
            [](Fake &f) { driver_value(f, "EL0123456789"); },
            true,
            "EL0123456789",
            cat({usb_opening(), read_text(0, "NumeroSerieECF"), {read_back(0)}})},
        // The read-back fills its 50 characters without a terminating zero.
        Row{"quick_full_read_back",
            "DATAREGISQUICK",
            [](Fake &f) {
              f.config["PORTACOM"] = "COM2:19200,e,8,1";
              driver_value(f, std::string(50, '7'), false);
            },
            true,
            std::string(50, '7'),
            cat({usb_opening("COM2"), read_text(0, "NumeroSerieECF"), {read_back(0)}})},
        Row{"elgin_start_refused",
            "ELGINFIT",
            [](Fake &f) { f.returns("DLLG2_IniciaDriver", -3); },
            false,
            std::nullopt,
            cat({usb_opening(), {"notice: erro: -3"}})},
        Row{"elgin_not_run",
            "ELGINFIT",
            [](Fake &f) { f.returns("DLLG2_ObtemCodErro", 11006); },
            false,
            std::nullopt,
            cat({usb_opening(), read_text(0, "NumeroSerieECF"), {"notice: 11006"}})},
        Row{"quick_error_code",
            "DATAREGISQUICK",
            [](Fake &f) {
              f.returns("DLLG2_ExecutaComando", 1);
              f.returns("DLLG2_ObtemCodErro", 11006);
            },
            false,
            std::nullopt,
            cat({usb_opening(), read_text(0, "NumeroSerieECF"), {"notice: Não existe o comando no protocolo."}})},
        Row{"serial",
            "DATAREGISSERIAL",
            [](Fake &f) {
              f.returns("DLLG2_IniciaDriver", 5);
              driver_value(f, "DR9876");
            },
            true,
            "DR9876",
            cat({usb_opening(), {"DLLG2_DefineTimeout(5, 10)"}, read_text(5, "NumeroSerieECF"),
                  {read_back(5), "DLLG2_EncerraDriver(5)"}})},
        // A refused start is tried again after a short pause.
        Row{"serial_start_retried",
            "DATAREGISSERIAL",
            [](Fake &f) {
              f.returns("DLLG2_IniciaDriver", {-1, -2, 4});
              driver_value(f, "DR9876");
            },
            true,
            "DR9876",
            cat({{"DLLG2_IniciaDriver(\"COM1\")", "Sleep(100)", "DLLG2_IniciaDriver(\"COM1\")", "Sleep(100)"},
                  usb_opening(),
                  {"DLLG2_DefineTimeout(4, 10)"},
                  read_text(4, "NumeroSerieECF"),
                  {read_back(4), "DLLG2_EncerraDriver(4)"}})},
        // The driver is ended before the message.
        Row{"serial_not_run",
            "DATAREGISSERIAL",
            [](Fake &f) {
              f.returns("DLLG2_IniciaDriver", 5);
              f.returns("DLLG2_ObtemCodErro", 7003);
            },
            false,
            std::nullopt,
            cat({usb_opening(), {"DLLG2_DefineTimeout(5, 10)"}, read_text(5, "NumeroSerieECF"),
                  {"DLLG2_EncerraDriver(5)", "notice: Erro 2: 7003"}})},
        Row{"serial_error_code",
            "DATAREGISSERIAL",
            [](Fake &f) {
              f.returns("DLLG2_IniciaDriver", 5);
              f.returns("DLLG2_ExecutaComando", 1);
              f.returns("DLLG2_ObtemCodErro", 7003);
            },
            false,
            std::nullopt,
            cat({usb_opening(), {"DLLG2_DefineTimeout(5, 10)"}, read_text(5, "NumeroSerieECF"),
                  {"DLLG2_EncerraDriver(5)", "notice: Erro 1: Impressora está sem papel para imprimir."}})}),
    [](const testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

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
    EXPECT_EQ(kalpo::state().iHandleDllG2, -1);
  }
}

// ---- KALPO_FirmWare ----

class Firmware : public testing::TestWithParam<Row> {};

TEST_P(Firmware, Transcript) { run(KALPO_FirmWare, GetParam()); }

const std::string kBemaVersion = buffer_call("Bematech_FI_VersaoFirmware", 10);

INSTANTIATE_TEST_SUITE_P(
    Models, Firmware,
    testing::Values(
        Row{"without_printer", "ECFZANTRELLO", nullptr, true, std::nullopt, {}},
        Row{"nota_fiscal", "NOTAFISCAL", nullptr, true, std::nullopt, {}},
        Row{"epson", "EPSON", nullptr, false, std::nullopt, {}},
        Row{"trailing_blank", "BEMATECHMP20 ", nullptr, false, std::nullopt, {}},
        // The version keeps its blanks.
        Row{"mp20_untrimmed",
            "BEMATECHMP20",
            [](Fake &f) { f.writes("Bematech_FI_VersaoFirmware", 0, " 01.02 ", 1); },
            true,
            " 01.02 ",
            cat({{kBemaVersion}, {kBematechStatus}})},
        Row{"mfd_full_width",
            "BEMATECHMFD",
            [](Fake &f) {
              f.on("Bematech_FI_VersaoFirmware", [](Call &c) { c.write(0, "0102030405", false); c.result = 1; });
            },
            true,
            "0102030405",
            cat({{kBemaVersion}, {kBematechStatus}})},
        Row{"mfd_failure_still_written",
            "BEMATECHMFD",
            [](Fake &f) { f.returns("Bematech_FI_VersaoFirmware", 0); },
            false,
            std::string(10, ' '),
            cat({{kBemaVersion}, kCommunicationError})},
        Row{"sweda",
            "SWEDA7000",
            [](Fake &f) { f.writes("ECF_VersaoFirmware", 0, "SW 1.0", 1); },
            true,
            "SW 1.0",
            cat({{buffer_call("ECF_VersaoFirmware", 10)}, {kSwedaStatus}})},
        Row{"sweda_not_executed",
            "SWEDA7000",
            [](Fake &f) {
              f.writes("ECF_VersaoFirmware", 0, "SW 1.0", 1);
              not_executed_status(f, "ECF_RetornoImpressoraMFD");
            },
            false,
            "SW 1.0",
            cat({{buffer_call("ECF_VersaoFirmware", 10)}, {kSwedaStatus}, kBematechNotExecuted})},
        Row{"sigtron_trimmed",
            "SIGTRONFS345",
            [](Fake &f) { sigtron_answers({kSigtronIdent})(f); },
            true,
            "12",
            {kSigtronPort, "DAR_LeIdent(49)", kSigtronAnswer}},
        Row{"sigtron_refused",
            "SIGTRONFS345",
            [](Fake &f) { sigtron_answers({kSigtronError})(f); },
            false,
            "GHIJ",
            cat({{kSigtronPort, "DAR_LeIdent(49)", kSigtronAnswer}, sigtron_error_notice(kSigtronError),
                  {"dialog: Comando não executado!"}})},
        Row{"sigtron_vendor_error",
            "SIGTRONFS345",
            [](Fake &f) {
              f.returns("DAR_LeIdent", -1);
              f.returns("DAR_Erro", 536870912 + 4);
            },
            false,
            "",
            {kSigtronPort, "DAR_LeIdent(49)", "DAR_Erro()", kSigtronAnswer, "BlockInput(FALSE)",
             "notice: Erro na ECF nº :4\\r\\nErro no relógio interno da IF[ " + std::string(70, ' ') + " ]",
             "dialog: Comando não executado!"}},
        Row{"daruma",
            "DARUMA32",
            [](Fake &f) {
              f.writes("Daruma_FI_VersaoFirmware", 0, "1.10", 1);
              daruma_errors({"000"})(f);
            },
            true,
            "1.10",
            cat({{buffer_call("Daruma_FI_VersaoFirmware", 4)}, kDarumaStatus})},
        Row{"daruma_error_still_written",
            "DARUMA32",
            [](Fake &f) {
              f.writes("Daruma_FI_VersaoFirmware", 0, "1.10", 1);
              daruma_errors({"999"})(f);
            },
            false,
            "1.10",
            cat({{buffer_call("Daruma_FI_VersaoFirmware", 4)}, kDarumaStatus,
                  {"BlockInput(FALSE)", "notice: Erro na ECF nº :999\\r\\nSem comunicação com a impressora"}})},
        Row{"digiarte",
            "DIGIARTE1E",
            [](Fake &f) { ecf32m_answers({"0000COMANDO OK V2.3"})(f); },
            true,
            "COMANDO OK V2.3",
            {"OpenCif()", "EcfPar(\"47\")", kEcf32mFetch, "CloseCif()"}},
        // A refused version answer fails without explaining its code.
        Row{"digiarte_refused_silently",
            "DIGIARTE1E",
            [](Fake &f) { ecf32m_answers({"ERRO22 cupom"})(f); },
            false,
            "22 cupom",
            {"OpenCif()", "EcfPar(\"47\")", kEcf32mFetch, "CloseCif()"}},
        Row{"digiarte_open_refused",
            "DIGIARTE1E",
            [](Fake &f) { f.returns("OpenCif", -86); },
            false,
            std::nullopt,
            {"OpenCif()", "notice: Falha do arquivo CIF.INI!\\r\\nO mesmo deve se encontrar na pasta c:\\windows"}},
        Row{"quick",
            "DATAREGISQUICK",
            [](Fake &f) { driver_value(f, "01.00.05"); },
            true,
            "01.00.05",
            cat({usb_opening(), read_text(0, "VersaoSW"), {read_back(0)}})},
        Row{"elgin_start_refused",
            "ELGINFIT",
            [](Fake &f) { f.returns("DLLG2_IniciaDriver", -12); },
            false,
            std::nullopt,
            cat({usb_opening(), {"notice: erro: -12"}})},
        Row{"elgin_error_code",
            "ELGINFIT",
            [](Fake &f) {
              f.returns("DLLG2_ExecutaComando", 3);
              f.returns("DLLG2_ObtemCodErro", 8046);
            },
            false,
            std::nullopt,
            cat({usb_opening(), read_text(0, "VersaoSW"), {"notice: Percentual do desconto ultrapassou 100%."}})},
        // The serial start is not tested; the driver is ended only on success.
        Row{"serial",
            "DATAREGISSERIAL",
            [](Fake &f) {
              f.returns("DLLG2_IniciaDriver", 2);
              driver_value(f, "01.00.05");
            },
            true,
            "01.00.05",
            cat({usb_opening(), {"DLLG2_DefineTimeout(2, 10)"}, read_text(2, "VersaoSW"),
                  {read_back(2), "DLLG2_EncerraDriver(2)"}})},
        Row{"serial_start_refused_once",
            "DATAREGISSERIAL",
            [](Fake &f) { f.returns("DLLG2_IniciaDriver", {-1, 2}); },
            false,
            std::nullopt,
            cat({usb_opening(), {"DLLG2_DefineTimeout(-1, 10)"}, read_text(-1, "VersaoSW"), {"notice: 0"}})},
        Row{"serial_error_code",
            "DATAREGISSERIAL",
            [](Fake &f) {
              f.returns("DLLG2_IniciaDriver", 2);
              f.returns("DLLG2_ExecutaComando", 1);
              f.returns("DLLG2_ObtemCodErro", 2000);
            },
            false,
            std::nullopt,
            cat({usb_opening(), {"DLLG2_DefineTimeout(2, 10)"}, read_text(2, "VersaoSW"),
                  {"notice: Erro de leitura no dispositivo físico."}})}),
    [](const testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

}  // namespace
