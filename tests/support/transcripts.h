// Building blocks of the operation tests: expected transcript pieces, the
// lines that the makers' return analyses add, scripts for the fake makers,
// the caller's text control and a runner for tables of rows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "kalpo.h"
#include "support/fake.h"

namespace kalpo::test {

using Lines = std::vector<std::string>;
using Script = std::function<void(Fake &)>;

inline const Lines kNone = {};

// ---- joining transcript pieces ----

inline void append(Lines &out, const std::string &line) { out.push_back(line); }
inline void append(Lines &out, const char *line) { out.emplace_back(line); }
inline void append(Lines &out, const Lines &lines) { out.insert(out.end(), lines.begin(), lines.end()); }

// Lines and line sequences, in order: cat(a, "line", b) or cat({a, {"line"}, b}).
template <typename... Parts>
Lines cat(const Parts &...parts) {
  Lines out;
  (append(out, parts), ...);
  return out;
}
inline Lines cat(std::initializer_list<Lines> parts) {
  Lines out;
  for (const Lines &p : parts) append(out, p);
  return out;
}

// An expected line ending in '*' matches any line starting with the text
// before the star (for arguments the analysis chooses itself).
inline bool line_matches(const std::string &expected, const std::string &actual) {
  if (!expected.empty() && expected.back() == '*') return actual.rfind(expected.substr(0, expected.size() - 1), 0) == 0;
  return expected == actual;
}

inline void expect_transcript(const Lines &actual, const Lines &expected) {
  bool same = actual.size() == expected.size();
  for (std::size_t i = 0; same && i < actual.size(); ++i) same = line_matches(expected[i], actual[i]);
  if (same) return;
  std::string report = "expected:\n";
  for (const std::string &l : expected) report += "  " + l + "\n";
  report += "actual:\n";
  for (const std::string &l : actual) report += "  " + l + "\n";
  ADD_FAILURE() << report;
}

// A maker call whose buffer argument is shown as written at call time.
inline std::string buffer_call(const std::string &name, std::size_t width) {
  return name + "(\"" + std::string(width, ' ') + "\")";
}

// ---- operator messages ----

inline const std::string kNotExecuted = "dialog: Comando não executado!";
inline const std::string kNotExecutedCheck = "dialog: Comando não executado!\\r\\nFavor verificar a ECF!";

// ---- Bematech and Sweda ----

// The status call after a return of 1.
inline const std::string kBematechStatus = "Bematech_FI_RetornoImpressora(&0, &0, &0)";
inline const std::string kSwedaStatus = "ECF_RetornoImpressoraMFD(&0, &0, &0, &0)";
// A refused return code: the generic dialog, then the code's own box.
inline Lines refused(const std::string &box) {
  return {"BlockInput(FALSE)", kNotExecutedCheck, "BlockInput(FALSE)", box};
}
// A maker return of 0.
inline const Lines kCommunicationError = refused("box[Erro/16]: Erro de Comunicação !");
// Return 1 with a NAK status.
inline const Lines kBematechNak = {kBematechStatus, "BlockInput(FALSE)",
                                   "notice: Atenção!!!\\r\\nA Impressora retornou NAK.", "BlockInput(FALSE)",
                                   kNotExecutedCheck};
// Acknowledged, but the printer did not execute the command.
inline const Lines kBematechNotExecuted = {"BlockInput(FALSE)", kNotExecutedCheck};

inline Script bematech_status(int32_t ack, int32_t st1, int32_t st2) {
  return [=](Fake &f) {
    f.on("Bematech_FI_RetornoImpressora", [=](Call &c) {
      c.set_int(0, ack);
      c.set_int(1, st1);
      c.set_int(2, st2);
      c.result = 1;
    });
  };
}
// The status answer of an acknowledged command that the printer did not execute.
inline void not_executed_status(Fake &f, const std::string &status_call) {
  f.on(status_call, [](Call &c) {
    c.set_int(0, 6);
    c.set_int(2, 1);
  });
}

// ---- Sigtron ----

inline const std::string kSigtronPort = "DAR_AbreSerial(\"COM1:9600,n,8,1\")";
// The answer fetched into a buffer of 100 blanks.
inline const std::string kSigtronAnswer = "DAR_Resposta(\"" + std::string(100, ' ') + "\", 99)";
// The printer's successive answers (the last repeats); each answer's length
// is its count.
inline Script sigtron_answers(std::vector<std::string> answers) {
  return [answers](Fake &f) {
    f.on("DAR_Resposta", [answers](Call &c) {
      const std::string &a = answers.at(std::min<std::size_t>(static_cast<std::size_t>(c.calls), answers.size() - 1));
      c.write(0, a);
      c.result = static_cast<int32_t>(a.size());
    });
  };
}

// ---- Daruma ----

// The status and the extended error after every call.
inline const Lines kDarumaStatus = {"Daruma_FI_RetornoImpressora(&0, &0, &0)",
                                    "Daruma_FI_RetornaErroExtendido(\"    \")"};
// The same, whatever the extended-error buffer held (matched by expect_transcript).
inline const Lines kDarumaStatusAnyBuffer = {"Daruma_FI_RetornoImpressora(&0, &0, &0)",
                                             "Daruma_FI_RetornaErroExtendido(*"};
inline Lines daruma_refused(const std::string &notice) {
  return cat(kDarumaStatusAnyBuffer, "BlockInput(FALSE)", "notice: " + notice);
}
inline const Lines kDarumaNoPaper = {"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel"};
// The extended errors the printer reports after each call ("000" for none),
// in turn (the last repeats).
inline Script daruma_errors(std::vector<std::string> codes) {
  return [codes](Fake &f) {
    f.on("Daruma_FI_RetornaErroExtendido", [codes](Call &c) {
      c.write(0, codes.at(std::min<std::size_t>(static_cast<std::size_t>(c.calls), codes.size() - 1)));
    });
  };
}

// ---- ecf32m ----

inline const std::string kEcf32mFetch =
    "ObtemRetorno(\"\x0b"
    "Sem retorno\")";
inline const std::string kDigiarteNotOpen = "notice: (-22) Necessário abrir cupom fiscal";
inline const std::string kDigiarteTimeOut = "notice: Time out na execução do comando do ECF!";
// The return texts of the successive fetches (the last repeats), each
// length-prefixed as the library writes it; `terminate` adds a zero after it.
inline Script ecf32m_answers(std::vector<std::string> texts, bool terminate = true) {
  return [texts, terminate](Fake &f) {
    f.on("ObtemRetorno", [texts, terminate](Call &c) {
      const std::string &text = texts.at(std::min<std::size_t>(static_cast<std::size_t>(c.calls), texts.size() - 1));
      c.write(0, std::string(1, static_cast<char>(text.size())) + text, terminate);
      c.result = 0;
    });
  };
}

// ---- Epson ----

inline const std::string kEpsonOpen = "EPSON_Serial_Abrir_Porta(38400, 1)";
inline const std::string kEpsonClose = "EPSON_Serial_Fechar_Porta()";
inline const std::string kEpsonState = "EPSON_Obter_Estado_Impressora(\"" + std::string(20, ' ') + "\")";
inline const std::string kEpsonCommunication = "notice: Erro de comunicação. Verifique a Impressora!";
// A state without any problem: fiscal status C080 (port open, fiscal day
// open), everything else zero.
inline void epson_clean(Fake &fake) { fake.writes("EPSON_Obter_Estado_Impressora", 0, "000000000000C0800000", 0); }
inline Lines epson_opening() { return {kEpsonOpen, kEpsonState}; }

// ---- command driver ----

inline Lines usb_opening(const std::string &port = "COM1") {
  return {"DLLG2_IniciaDriver(\"" + port + "\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"};
}
// The serial driver instance answers `handle`; the timeout is set on it.
inline Lines serial_opening(int32_t handle, bool timeout = true, const std::string &port = "COM1") {
  Lines l = {"DLLG2_IniciaDriver(\"" + port + "\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"};
  if (timeout) l.push_back("DLLG2_DefineTimeout(" + std::to_string(handle) + ", 10)");
  return l;
}
inline std::string param(int32_t handle, const std::string &name, const std::string &value, int32_t type) {
  return "DLLG2_AdicionaParam(" + std::to_string(handle) + ", \"" + name + "\", \"" + value + "\", " +
         std::to_string(type) + ")";
}
// One command: its parameters and the execution; `command` adds the error
// code read after it.
inline Lines command_run(int32_t handle, const std::string &name, const Lines &params = {}) {
  std::string h = std::to_string(handle);
  return cat("DLLG2_LimpaParams(" + h + ")", params, "DLLG2_ExecutaComando(" + h + ", \"" + name + "\")");
}
inline Lines command(int32_t handle, const std::string &name, const Lines &params = {}) {
  return cat(command_run(handle, name, params), "DLLG2_ObtemCodErro(" + std::to_string(handle) + ")");
}
inline std::string paper_cut(int32_t handle = 0) {
  return "DLLG2_ExecutaComando(" + std::to_string(handle) + ", \"CortaPapel;TipoCorte=1\")";
}
// Reading a text register back.
inline Lines read_text(int handle, const std::string &register_name) {
  return command(handle, "LeTexto", {param(handle, "NomeTexto", register_name, 7)});
}
inline std::string read_back(int handle) {
  return "DLLG2_Retorno(" + std::to_string(handle) + ", 0, \"ValorTexto\", 4000, \"" + std::string(50, ' ') + "\", 50)";
}

// ---- scripts ----

inline void nothing(Fake &) {}
inline Script all(std::vector<Script> scripts) {
  return [scripts](Fake &f) {
    for (const Script &s : scripts) s(f);
  };
}
inline Script returns(std::string name, int32_t value) {
  return [name, value](Fake &f) { f.returns(name, value); };
}
inline Script returns(std::string name, std::vector<int32_t> values) {
  return [name, values](Fake &f) { f.returns(name, values); };
}
// The call writes text into argument i (with a terminating zero when
// `terminate`) and returns result.
inline Script writes(std::string name, std::size_t i, std::string text, int32_t result = 1, bool terminate = true) {
  return [=](Fake &f) {
    f.on(name, [=](Call &c) {
      c.write(i, text, terminate);
      c.result = result;
    });
  };
}
inline Script not_executed(std::string status_call) {
  return [status_call](Fake &f) { not_executed_status(f, status_call); };
}
inline Script setting(std::string key, std::string value) {
  return [key, value](Fake &f) { f.config[key] = value; };
}
inline Script cut_on() { return setting("DESATIVAFACA", "S"); }
inline void united_states(Fake &f) { f.settings = Fake::united_states(); }
// The driver's start handle, the commands' answers and error codes, in turn
// (the last repeats).
inline Script driver(std::vector<int32_t> answers, std::vector<int32_t> codes, int32_t handle = 0) {
  return [=](Fake &f) {
    f.returns("DLLG2_IniciaDriver", handle);
    f.returns("DLLG2_ExecutaComando", answers);
    f.returns("DLLG2_ObtemCodErro", codes);
  };
}
inline Script driver(int32_t answer, int32_t code, int32_t handle = 0) {
  return driver(std::vector<int32_t>{answer}, std::vector<int32_t>{code}, handle);
}
// The value that the driver reads back.
inline void driver_value(Fake &f, const std::string &value, bool terminate = true) {
  f.returns("DLLG2_ExecutaComando", 1);
  f.on("DLLG2_Retorno", [value, terminate](Call &c) { c.write(4, value, terminate); });
}
inline Script driver_value(std::string value) {
  return [value](Fake &f) { driver_value(f, value); };
}

// ---- the caller's texts ----

// A caller's text control; a read-only one offers no way to write back.
struct TextControl {
  std::string text;  // Windows-1252
  int writes = 0;
  KALPO_TextControl control{this, &get, &set};

  explicit TextControl(std::string initial = {}, bool writable = true) : text(std::move(initial)) {
    if (!writable) control.set_text = nullptr;
  }
  TextControl(const TextControl &) = delete;
  TextControl &operator=(const TextControl &) = delete;

  static const char *KALPO_CALL get(void *self) { return static_cast<TextControl *>(self)->text.c_str(); }
  static void KALPO_CALL set(void *self, const char *t) {
    auto *c = static_cast<TextControl *>(self);
    c->text = t ? t : "";
    ++c->writes;
  }
};

// The out text as the caller sees it: nullopt while the variable keeps the
// value it held before the call.
inline constexpr char kUntouched[] = "untouched";
inline std::optional<std::string> out_text(const char *variable) {
  if (variable == kUntouched) return std::nullopt;
  return variable ? std::optional<std::string>(variable) : std::optional<std::string>("<null>");
}

// ---- running a table ----

struct Row {
  std::string name;  // readable: it names the row in every failure
  const char *model;
  Script script;
  int result;
  Lines lines;                          // the whole transcript, nothing filtered out
  Lines args = {};                      // the row's own arguments, where the table uses them
  std::optional<std::string> out = {};  // the text the call hands back, where the table checks one

  // Argument i, or `fallback` where the row gives none.
  std::string arg(std::size_t i = 0, std::string fallback = {}) const { return i < args.size() ? args[i] : fallback; }
};

// A decimal argument ("1.5").
inline double decimal(const std::string &text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

inline void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }

// Runs every row against a fresh fake: call(row, out) makes the call, returns
// its result and hands back its text in out (checked where the row has one).
inline void run(const std::vector<Row> &rows, const std::function<int(const Row &, std::string &)> &call) {
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    std::string out;
    EXPECT_EQ(call(row, out), row.result);
    if (row.out) {
      EXPECT_EQ(out, *row.out);
    }
    expect_transcript(fake.lines, row.lines);
  }
}

// The same for calls without an out text.
inline void run(const std::vector<Row> &rows, const std::function<int(const Row &)> &call) {
  run(rows, [&](const Row &row, std::string &) { return call(row); });
}

}  // namespace kalpo::test
