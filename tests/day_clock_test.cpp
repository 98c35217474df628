// Opening the day, the daylight-saving switch and the date reading.
#include <gtest/gtest.h>

#include "frame/state.h"
#include "kalpo.h"
#include "support/transcripts.h"

using namespace kalpo::test;

namespace {

TEST(DayOpening, EveryModel) {
  const std::vector<Row> rows = {
      {"without printer", "ECFZANTRELLO", nothing, 1, {}},
      {"invoice", "NOTAFISCAL", nothing, 1, {}},
      {"Daruma has no opening", "DARUMA32", nothing, 0, {}},
      {"Elgin has no opening", "ELGINFIT", nothing, 0, {}},
      {"Bematech",
       "BEMATECHMP20",
       returns("Bematech_FI_AberturaDoDia", 1),
       1,
       {"Bematech_FI_AberturaDoDia(\"0\", \"-\")", kBematechStatus}},
      {"Bematech without communication", "BEMATECHMFD", nothing, 0,
       cat("Bematech_FI_AberturaDoDia(\"0\", \"-\")", kCommunicationError)},
      {"Epson",
       "EPSON",
       all({setting("PORTACOM", "COM10"), epson_clean}),
       1,
       {"EPSON_Serial_Abrir_Porta(38400, 10)", kEpsonState, "EPSON_RelatorioFiscal_Abrir_Dia()", kEpsonState,
        kEpsonClose}},
      {"Epson refusal", "EPSON", all({epson_clean, returns("EPSON_RelatorioFiscal_Abrir_Dia", 1)}), 0,
       cat(epson_opening(), "EPSON_RelatorioFiscal_Abrir_Dia()", kEpsonState, kEpsonCommunication, kEpsonClose)},
      {"Epson state unreadable: no opening of the day", "EPSON", returns("EPSON_Obter_Estado_Impressora", 1), 0,
       cat(epson_opening(), kEpsonCommunication)},
  };
  run(rows, [](const Row &r) { return int{KALPO_Abredia(r.model)}; });
}

TEST(DaylightSaving, EveryModel) {
  const std::string kNotPrepared =
      "dialog: Modelo de Impressora Fiscal não prepara ainda para o programa!\\r\\nPor favor, utilize o utilitário "
      "do fabricante!";
  auto command = [](const std::string &value) {
    return cat(serial_opening(4, false),
               kalpo::test::command(4, "AcertaHorarioVerao", {param(4, "EntradaHV", value, 9)}));
  };
  // args: the action (null where not given).
  const std::vector<Row> rows = {
      {"enter", "DATAREGISSERIAL", driver(1, 0, 4), 1, command("TRUE"), {"ENTRAR"}},
      {"other letter case leaves", "DATAREGISSERIAL", driver(1, 0, 4), 1, command("FALSE"), {"Entrar"}},
      {"any other word leaves", "DATAREGISSERIAL", driver(1, 0, 4), 1, command("FALSE"), {"SAIR"}},
      {"no action leaves", "DATAREGISSERIAL", driver(1, 0, 4), 1, command("FALSE")},
      {"error code",
       "DATAREGISSERIAL",
       driver(1, 8024, 4),
       0,
       cat(command("TRUE"), "notice: Já acertou horário de verão."),
       {"ENTRAR"}},
      {"command not run", "DATAREGISSERIAL", driver(0, 8092, 4), 0, cat(command("TRUE"), "notice: 8092"), {"ENTRAR"}},
      {"Elgin is not prepared", "ELGINFIT", nothing, 0, {kNotPrepared}, {"ENTRAR"}},
      {"without printer is not prepared either", "ECFZANTRELLO", nothing, 0, {kNotPrepared}, {"ENTRAR"}},
      {"unlisted", "xyz", nothing, 0, {kNotPrepared}, {"SAIR"}},
  };
  run(rows, [](const Row &r) { return int{KALPO_HorarioVerao(r.model, r.args.empty() ? nullptr : r.arg(0).c_str())}; });
}

// The serial opening of the switch reads speed and parity into the module
// state, but sets no time-out.
TEST(DaylightSaving, SerialSettings) {
  Fake fake;
  fake.config["VELOCIDADE"] = "9600";
  fake.config["PARIDADE"] = "O";
  fake.returns("DLLG2_IniciaDriver", 4);
  KALPO_HorarioVerao("DATAREGISSERIAL", "ENTRAR");
  EXPECT_EQ(kalpo::frame::state().iHandleDllG2, 4);
  EXPECT_EQ(kalpo::frame::state().iVelocidade, 9600);
  EXPECT_EQ(kalpo::frame::state().cParidade, 'o');
}

Script answer(const char *text) {
  return [text](Fake &f) {
    f.on("DLLG2_ObtemRetornos", [text](Call &c) {
      if (text)
        c.result_text = text;
      else
        c.null_result = true;
    });
  };
}

// A short date with a two-digit year, on 9 March 2031.
void two_digit_year(Fake &f) {
  f.settings.short_date = "yy-MM-dd";
  f.clock = {2031, 3, 9, 0, 0, 0};
}

TEST(DateReading, EveryModel) {
  const Lines serial_read = cat(serial_opening(5, false), command_run(5, "LeData", {param(5, "NomeData", "Data", 7)}),
                                "DLLG2_ObtemRetornos(5, \"\", 0)", "DLLG2_EncerraDriver(5)");
  const Lines usb_read = cat(usb_opening(), command_run(0, "LeData", {param(0, "NomeData", "Data", 7)}),
                             "DLLG2_ObtemRetornos(0, \"\", 0)");
  auto serial = [](Script values) { return all({driver(1, 0, 5), std::move(values)}); };
  auto usb = [](int32_t answer, int32_t code, Script values) { return all({driver(answer, code), std::move(values)}); };
  // out: the date handed back ("untouched" while the variable keeps its value).
  // clang-format off
  const std::vector<Row> rows = {
      {"serial: characters 12 to 21", "DATAREGISSERIAL", serial(answer("ValorData= 05/11/2026;Hora")), 0,
       serial_read, {}, "05/11/2026"},
      {"serial: a short text gives what there is", "DATAREGISSERIAL", serial(answer("ValorData= 05/1")), 0,
       serial_read, {}, "05/1"},
      {"serial: shorter than 12 gives an empty text", "DATAREGISSERIAL", serial(answer("ValorData=")), 0,
       serial_read, {}, ""},
      {"serial: no text at all", "DATAREGISSERIAL", serial(answer(nullptr)), 0, serial_read, {}, ""},
      {"serial: a failed command shows nothing", "DATAREGISSERIAL",
       all({driver(-3, 11010, 5), answer("ValorData= 05/11/2026")}), 0, serial_read, {}, "05/11/2026"},
      {"Elgin", "ELGINFIT", usb(1, 0, answer("ValorData= 30/06/2025")), 0,
       cat(usb_read, "DLLG2_ObtemCodErro(0)"), {}, "30/06/2025"},
      {"Elgin error code: the date all the same", "ELGINFIT", usb(1, 6000, answer("ValorData= 30/06/2025")), 0,
       cat(usb_read, "DLLG2_ObtemCodErro(0)", "notice: Relógio do ECF inconsistente."), {}, "30/06/2025"},
      {"Elgin answer 0: the code's text even for 0", "ELGINFIT", usb(0, 0, answer("")), 0,
       cat(usb_read, "DLLG2_ObtemCodErro(0)", "notice: Retorno OK."), {}, ""},
      {"Elgin negative answer: its own text, no code read", "ELGINFIT", usb(-8, 0, answer("x")), 0,
       cat(usb_read, "notice: Erro -8"), {}, ""},
      {"Elgin driver does not start", "ELGINFIT", driver(1, 0, -2), 0,
       cat(usb_opening(), "notice: Erro -2"), {}, kUntouched},
      {"Dataregis USB: the workstation's date", "DATAREGISQUICK", nothing, 0, {}, {}, "07/12/2026"},
      {"without printer: the workstation's date", "ECFZANTRELLO", nothing, 0, {}, {}, "07/12/2026"},
      {"regional format", "XYZ", united_states, 0, {}, {}, "12/7/2026"},
      {"regional format, two-digit year", "EPSON", two_digit_year, 0, {}, {}, "31-03-09"},
  };
  // clang-format on
  run(rows, [](const Row &r, std::string &out) {
    const char *date = kUntouched;
    KALPO_LeData(r.model, &date);
    out = date;
    return 0;
  });
}

}  // namespace
