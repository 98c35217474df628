// Shared pieces of the query tests: expected transcript fragments and the
// out-text check.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/fake.h"

namespace kalpo::test::queries {

using Lines = std::vector<std::string>;
using Script = std::function<void(Fake &)>;

inline Lines join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines &p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A maker call whose buffer argument is shown as written at call time.
inline std::string buffer_call(const std::string &name, std::size_t width) {
  return name + "(\"" + std::string(width, ' ') + "\")";
}

// The buffers that the analysis routines hand to the makers are theirs to
// prepare; the transcripts compare those calls by name.
inline Lines masked(Lines lines) {
  for (std::string &line : lines) {
    for (const char *name : {"ObtemRetorno(", "Daruma_FI_RetornaErroExtendido("}) {
      if (line.rfind(name, 0) == 0) line = std::string(name) + "...)";
    }
  }
  return lines;
}

// ---- Bematech and Sweda analysis ----
inline const Lines kBematechStatus = {"Bematech_FI_RetornoImpressora(&0, &0, &0)"};
inline const Lines kSwedaStatus = {"ECF_RetornoImpressoraMFD(&0, &0, &0, &0)"};
inline const Lines kNotExecuted = {"BlockInput(FALSE)", "dialog: Comando não executado!\\r\\nFavor verificar a ECF!"};
inline const Lines kCommunicationError = join(
    {kNotExecuted, {"BlockInput(FALSE)", "box[Erro/16]: Erro de Comunicação !"}});
// Status answer of an acknowledged command that the printer did not execute.
inline void not_executed_status(Fake &f, const std::string &status_call) {
  f.on(status_call, [](Call &c) {
    c.set_int(0, 6);
    c.set_int(2, 1);
  });
}

// ---- Sigtron ----
inline const std::string kSigtronOpen = "DAR_AbreSerial(\"COM1:9600,n,8,1\")";
inline const std::string kSigtronAnswer = "DAR_Resposta(\"" + std::string(100, ' ') + "\", 99)";
inline void sigtron_answers(Fake &f, const std::string &answer) {
  f.on("DAR_Resposta", [answer](Call &c) {
    c.write(0, answer);
    c.result = static_cast<int32_t>(answer.size());
  });
}

// ---- Daruma ----
inline const Lines kDarumaAnalysis = {"Daruma_FI_RetornoImpressora(&0, &0, &0)", "Daruma_FI_RetornaErroExtendido(...)"};
inline void daruma_error(Fake &f, const std::string &number) { f.writes("Daruma_FI_RetornaErroExtendido", 0, number, 1); }

// ---- ecf32m ----
inline void ecf32m_returns(Fake &f, const std::string &text) {
  f.on("ObtemRetorno", [text](Call &c) { c.write(0, std::string(1, static_cast<char>(text.size())) + text); });
}

// ---- Command driver ----
inline Lines usb_start(const std::string &port = "COM1") {
  return {"DLLG2_IniciaDriver(\"" + port + "\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"};
}
inline Lines read_text(int handle, const std::string &register_name) {
  std::string h = std::to_string(handle);
  return {"DLLG2_LimpaParams(" + h + ")", "DLLG2_AdicionaParam(" + h + ", \"NomeTexto\", \"" + register_name + "\", 7)",
          "DLLG2_ExecutaComando(" + h + ", \"LeTexto\")", "DLLG2_ObtemCodErro(" + h + ")"};
}
inline std::string read_back(int handle) {
  return "DLLG2_Retorno(" + std::to_string(handle) + ", 0, \"ValorTexto\", 4000, \"" + std::string(50, ' ') +
         "\", 50)";
}
inline void driver_value(Fake &f, const std::string &value, bool terminate = true) {
  f.returns("DLLG2_ExecutaComando", 1);
  f.on("DLLG2_Retorno", [value, terminate](Call &c) { c.write(4, value, terminate); });
}

// The out text as the caller sees it: nullopt while the variable keeps the
// value it held before the call.
inline constexpr char kUntouched[] = "untouched";
inline std::optional<std::string> out_text(const char *variable) {
  if (variable == kUntouched) return std::nullopt;
  return variable ? std::optional<std::string>(variable) : std::optional<std::string>("<null>");
}

}  // namespace kalpo::test::queries
