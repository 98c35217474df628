// Building blocks for tables of expected transcripts: line sequences, the
// lines the makers' return analysis adds, and scripts for the fake makers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "kalpo.h"
#include "support/fake.h"

namespace kalpo::test::table {

using Lines = std::vector<std::string>;
using Script = std::function<void(Fake &)>;

inline void append(Lines &out, const std::string &line) { out.push_back(line); }
inline void append(Lines &out, const char *line) { out.emplace_back(line); }
inline void append(Lines &out, const Lines &lines) { out.insert(out.end(), lines.begin(), lines.end()); }

// Lines and line sequences, in order.
template <typename... Parts>
Lines seq(const Parts &...parts) {
  Lines out;
  (append(out, parts), ...);
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

// ---- what the return analysis adds ----

inline const std::string kNotExecuted = "dialog: Comando não executado!\\r\\nFavor verificar a ECF!";

// Bematech and Sweda: the status call after a return of 1.
inline const Lines kBematechStatus = {"Bematech_FI_RetornoImpressora(&0, &0, &0)"};
inline const Lines kSwedaStatus = {"ECF_RetornoImpressoraMFD(&0, &0, &0, &0)"};
// A refused return code: the generic dialog, then the code's own box.
inline Lines refused(const std::string &box) { return {"BlockInput(FALSE)", kNotExecuted, "BlockInput(FALSE)", box}; }
inline const Lines kCommunicationError = refused("box[Erro/16]: Erro de Comunicação !");
// Return 1 with a NAK status.
inline const Lines kBematechNak = {"Bematech_FI_RetornoImpressora(&0, &0, &0)", "BlockInput(FALSE)",
                                   "notice: Atenção!!!\\r\\nA Impressora retornou NAK.", "BlockInput(FALSE)",
                                   kNotExecuted};

// Sigtron: the answer fetched into a buffer of 100 blanks.
inline const std::string kSigtronAnswer = "DAR_Resposta(\"" + std::string(100, ' ') + "\", 99)";

// Daruma: the status and the extended error after every call.
inline const Lines kDarumaStatus = {"Daruma_FI_RetornoImpressora(&0, &0, &0)", "Daruma_FI_RetornaErroExtendido(*"};
inline Lines daruma_refused(const std::string &notice) {
  return seq(kDarumaStatus, "BlockInput(FALSE)", "notice: " + notice);
}

// ---- command driver ----

inline Lines usb_start(const std::string &port = "COM1") {
  return {"DLLG2_IniciaDriver(\"" + port + "\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"};
}
inline Lines serial_start(int32_t handle, const std::string &port = "COM1") {
  return {"DLLG2_IniciaDriver(\"" + port + "\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")",
          "DLLG2_DefineTimeout(" + std::to_string(handle) + ", 10)"};
}
inline std::string param(int32_t handle, const std::string &name, const std::string &value, int32_t type) {
  return "DLLG2_AdicionaParam(" + std::to_string(handle) + ", \"" + name + "\", \"" + value + "\", " +
         std::to_string(type) + ")";
}
// One command: its parameters, the execution and the error code.
inline Lines command(int32_t handle, const std::string &name, const Lines &params = {}) {
  std::string h = std::to_string(handle);
  return seq("DLLG2_LimpaParams(" + h + ")", params, "DLLG2_ExecutaComando(" + h + ", \"" + name + "\")",
             "DLLG2_ObtemCodErro(" + h + ")");
}
inline std::string paper_cut(int32_t handle = 0) {
  return "DLLG2_ExecutaComando(" + std::to_string(handle) + ", \"CortaPapel;TipoCorte=1\")";
}

// ---- scripts ----

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
inline Script setting(std::string key, std::string value) {
  return [key, value](Fake &f) { f.config[key] = value; };
}
inline Script cut_on() { return setting("DESATIVAFACA", "S"); }
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
// The Sigtron answer text; its length is the answer count.
inline Script sigtron_answer(std::string text) {
  return [text](Fake &f) { f.writes("DAR_Resposta", 0, text, static_cast<int32_t>(text.size())); };
}
// Successive Daruma extended errors; the last one repeats.
inline Script daruma_errors(std::vector<std::string> codes) {
  return [codes](Fake &f) {
    f.on("Daruma_FI_RetornaErroExtendido", [codes](Call &c) {
      c.write(0, codes.at(std::min<std::size_t>(static_cast<std::size_t>(c.calls), codes.size() - 1)));
    });
  };
}
// The driver's start handle, command answer and error code.
inline Script driver(int32_t answer, int32_t code, int32_t handle = 0) {
  return all({returns("DLLG2_IniciaDriver", handle), returns("DLLG2_ExecutaComando", answer),
              returns("DLLG2_ObtemCodErro", code)});
}

// ---- running a table ----

struct Row {
  std::string name;
  const char *model;
  Script script;
  uint8_t result;
  Lines lines;
  std::string arg = {};  // the row's own argument, where the table uses one
};

// Runs every row against a fresh fake: call(row) makes the export call.
inline void run(const std::vector<Row> &rows, const std::function<uint8_t(const Row &)> &call) {
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    if (row.script) row.script(fake);
    EXPECT_EQ(call(row), row.result);
    expect_transcript(fake.lines, row.lines);
  }
}

// A caller's text control holding a fixed text.
struct Control {
  std::string text;
  KALPO_TextControl control{this, &Control::get, nullptr};
  explicit Control(std::string t) : text(std::move(t)) {}
  Control(const Control &) = delete;
  Control &operator=(const Control &) = delete;
  static const char *KALPO_CALL get(void *context) { return static_cast<Control *>(context)->text.c_str(); }
};

}  // namespace kalpo::test::table
