// Opening the day, the daylight-saving switch and the date reading.
#include <gtest/gtest.h>

#include "frame/state.h"
#include "kalpo.h"
#include "support/transcripts.h"

using namespace kalpo::test;

namespace {

struct Row {
  std::string name;
  std::string model;
  Script script;
  bool result;
  Lines lines;
};

TEST(DayOpening, EveryModel) {
  const std::vector<Row> rows = {
      {"without printer", "ECFZANTRELLO", nullptr, true, {}},
      {"invoice", "NOTAFISCAL", nullptr, true, {}},
      {"Daruma has no opening", "DARUMA32", nullptr, false, {}},
      {"Elgin has no opening", "ELGINFIT", nullptr, false, {}},
      {"Bematech", "BEMATECHMP20", returns("Bematech_FI_AberturaDoDia", {1}), true,
       cat(Lines{"Bematech_FI_AberturaDoDia(\"0\", \"-\")"}, kBematechStatus)},
      {"Bematech without communication", "BEMATECHMFD", nullptr, false,
       cat(Lines{"Bematech_FI_AberturaDoDia(\"0\", \"-\")"}, kCommunicationError)},
      {"Epson", "EPSON", all({setting("PORTACOM", "COM10"), epson_clean}), true,
       cat(Lines{"EPSON_Serial_Abrir_Porta(38400, 10)"}, kEpsonState, Lines{"EPSON_RelatorioFiscal_Abrir_Dia()"},
           kEpsonState, Lines{"EPSON_Serial_Fechar_Porta()"})},
      {"Epson refusal", "EPSON", all({epson_clean, returns("EPSON_RelatorioFiscal_Abrir_Dia", {1})}), false,
       cat(Lines{"EPSON_Serial_Abrir_Porta(38400, 1)"}, kEpsonState, Lines{"EPSON_RelatorioFiscal_Abrir_Dia()"},
           kEpsonState, kEpsonCommunication, Lines{"EPSON_Serial_Fechar_Porta()"})},
      {"Epson state unreadable: no opening of the day", "EPSON", returns("EPSON_Obter_Estado_Impressora", {1}), false,
       cat(Lines{"EPSON_Serial_Abrir_Porta(38400, 1)"}, kEpsonState, kEpsonCommunication)},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    EXPECT_EQ(KALPO_Abredia(row.model.c_str()), row.result);
    EXPECT_EQ(fake.lines, row.lines);
  }
}

struct SwitchRow {
  std::string name;
  std::string model;
  const char *action;
  Script script;
  bool result;
  Lines lines;
};

TEST(DaylightSaving, EveryModel) {
  const std::string kNotPrepared =
      "dialog: Modelo de Impressora Fiscal não prepara ainda para o programa!\\r\\nPor favor, utilize o utilitário "
      "do fabricante!";
  auto command = [](const std::string &value) {
    return cat(serial_opening(4, false),
               Lines{"DLLG2_LimpaParams(4)", "DLLG2_AdicionaParam(4, \"EntradaHV\", \"" + value + "\", 9)",
                     "DLLG2_ExecutaComando(4, \"AcertaHorarioVerao\")", "DLLG2_ObtemCodErro(4)"});
  };
  const std::vector<SwitchRow> rows = {
      {"enter", "DATAREGISSERIAL", "ENTRAR", driver(1, 0, 4), true, command("TRUE")},
      {"other letter case leaves", "DATAREGISSERIAL", "Entrar", driver(1, 0, 4), true, command("FALSE")},
      {"any other word leaves", "DATAREGISSERIAL", "SAIR", driver(1, 0, 4), true, command("FALSE")},
      {"no action leaves", "DATAREGISSERIAL", nullptr, driver(1, 0, 4), true, command("FALSE")},
      {"error code", "DATAREGISSERIAL", "ENTRAR", driver(1, 8024, 4), false,
       cat(command("TRUE"), Lines{"notice: Já acertou horário de verão."})},
      {"command not run", "DATAREGISSERIAL", "ENTRAR", driver(0, 8092, 4), false,
       cat(command("TRUE"), Lines{"notice: 8092"})},
      {"Elgin is not prepared", "ELGINFIT", "ENTRAR", nullptr, false, {kNotPrepared}},
      {"without printer is not prepared either", "ECFZANTRELLO", "ENTRAR", nullptr, false, {kNotPrepared}},
      {"unlisted", "xyz", "SAIR", nullptr, false, {kNotPrepared}},
  };
  for (const SwitchRow &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    EXPECT_EQ(KALPO_HorarioVerao(row.model.c_str(), row.action), row.result);
    EXPECT_EQ(fake.lines, row.lines);
  }
}

// The serial opening of the switch reads speed and parity into the module
// state, but sets no time-out.
TEST(DaylightSaving, SerialSettings) {
  Fake fake;
  fake.config["VELOCIDADE"] = "9600";
  fake.config["PARIDADE"] = "O";
  fake.returns("DLLG2_IniciaDriver", 4);
  KALPO_HorarioVerao("DATAREGISSERIAL", "ENTRAR");
  EXPECT_EQ(kalpo::state().iHandleDllG2, 4);
  EXPECT_EQ(kalpo::state().iVelocidade, 9600);
  EXPECT_EQ(kalpo::state().cParidade, 'o');
}

struct DateRow {
  std::string name;
  std::string model;
  Script script;
  const char *date;  // nullptr: the caller's variable is left alone
  Lines lines;
};

Script returned_values(const char *text) {
  return [text](Fake &f) {
    f.on("DLLG2_ObtemRetornos", [text](Call &c) {
      if (text)
        c.result_text = text;
      else
        c.null_result = true;
    });
  };
}

TEST(DateReading, EveryModel) {
  const Lines serial_read =
      cat(serial_opening(5, false),
          Lines{"DLLG2_LimpaParams(5)", "DLLG2_AdicionaParam(5, \"NomeData\", \"Data\", 7)",
                "DLLG2_ExecutaComando(5, \"LeData\")", "DLLG2_ObtemRetornos(5, \"\", 0)", "DLLG2_EncerraDriver(5)"});
  const Lines usb_read =
      cat(usb_opening(), Lines{"DLLG2_LimpaParams(0)", "DLLG2_AdicionaParam(0, \"NomeData\", \"Data\", 7)",
                               "DLLG2_ExecutaComando(0, \"LeData\")", "DLLG2_ObtemRetornos(0, \"\", 0)"});
  auto serial = [](Script values) { return all({driver(1, 0, 5), std::move(values)}); };
  auto usb = [](int32_t answer, int32_t code, Script values) { return all({driver(answer, code), std::move(values)}); };
  const std::vector<DateRow> rows = {
      {"serial: positions 12 to 21", "DATAREGISSERIAL", serial(returned_values("ValorData= 05/11/2026;Hora")),
       "05/11/2026", serial_read},
      {"serial: a short text gives what there is", "DATAREGISSERIAL", serial(returned_values("ValorData= 05/1")),
       "05/1", serial_read},
      {"serial: shorter than 12 gives an empty text", "DATAREGISSERIAL", serial(returned_values("ValorData=")), "",
       serial_read},
      {"serial: no text at all", "DATAREGISSERIAL", serial(returned_values(nullptr)), "", serial_read},
      {"serial: a failed command shows nothing", "DATAREGISSERIAL",
       all({driver(-3, 11010, 5), returned_values("ValorData= 05/11/2026")}), "05/11/2026", serial_read},

      {"Elgin", "ELGINFIT", usb(1, 0, returned_values("ValorData= 30/06/2025")), "30/06/2025",
       cat(usb_read, Lines{"DLLG2_ObtemCodErro(0)"})},
      {"Elgin error code: the date all the same", "ELGINFIT", usb(1, 6000, returned_values("ValorData= 30/06/2025")),
       "30/06/2025", cat(usb_read, Lines{"DLLG2_ObtemCodErro(0)", "notice: Relógio do ECF inconsistente."})},
      {"Elgin answer 0: the code's text even for 0", "ELGINFIT", usb(0, 0, returned_values("")), "",
       cat(usb_read, Lines{"DLLG2_ObtemCodErro(0)", "notice: Retorno OK."})},
      {"Elgin negative answer: its own text, no code read", "ELGINFIT", usb(-8, 0, returned_values("x")), "",
       cat(usb_read, Lines{"notice: Erro -8"})},
      {"Elgin driver does not start", "ELGINFIT", driver(1, 0, -2), nullptr,
       cat(usb_opening(), Lines{"notice: Erro -2"})},

      {"Dataregis USB: the workstation's date", "DATAREGISQUICK", nullptr, "07/12/2026", {}},
      {"without printer: the workstation's date", "ECFZANTRELLO", nullptr, "07/12/2026", {}},
      {"regional format", "XYZ", [](Fake &f) { f.settings = Fake::united_states(); }, "12/7/2026", {}},
      {"regional format, two-digit year",
       "EPSON",
       [](Fake &f) {
         f.settings.short_date = "yy-MM-dd";
         f.clock = {2031, 3, 9, 0, 0, 0};
       },
       "31-03-09",
       {}},
  };
  for (const DateRow &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    const char *date = "untouched";
    KALPO_LeData(row.model.c_str(), &date);
    EXPECT_STREQ(date, row.date ? row.date : "untouched");
    EXPECT_EQ(fake.lines, row.lines);
  }
}

}  // namespace
