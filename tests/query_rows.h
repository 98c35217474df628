// Pieces of the query tests beyond the shared printer scripts: buffer calls,
// command-driver read-backs and the out-text check.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/fake.h"
#include "support/printer_scripts.h"

namespace kalpo::test::queries {

using Script = std::function<void(Fake &)>;

// A maker call whose buffer argument is shown as written at call time.
inline std::string buffer_call(const std::string &name, std::size_t width) {
  return name + "(\"" + std::string(width, ' ') + "\")";
}

// ---- Bematech and Sweda analysis ----
inline const Lines kNotExecuted = {"BlockInput(FALSE)", "dialog: Comando não executado!\\r\\nFavor verificar a ECF!"};
// Status answer of an acknowledged command that the printer did not execute.
inline void not_executed_status(Fake &f, const std::string &status_call) {
  f.on(status_call, [](Call &c) {
    c.set_int(0, 6);
    c.set_int(2, 1);
  });
}

// ---- Sigtron ----
inline const std::string kSigtronOpen = "DAR_AbreSerial(\"COM1:9600,n,8,1\")";

// ---- Command driver ----
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
