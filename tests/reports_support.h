// Shared pieces of the day-report and fiscal-memory transcripts: the status
// calls that each maker's analysis makes after a command, and scripts for
// the answers of a healthy printer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/fake.h"

namespace kalpo::test::reports {

using Lines = std::vector<std::string>;

inline Lines operator+(Lines a, const Lines &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

using Script = std::function<void(Fake &)>;

// Runs every script in order.
inline Script all(std::vector<Script> scripts) {
  return [scripts](Fake &f) {
    for (const Script &s : scripts) s(f);
  };
}

inline Script config(std::string key, std::string value) {
  return [key, value](Fake &f) { f.config[key] = value; };
}

inline Script returns(std::string name, std::vector<int32_t> values) {
  return [name, values](Fake &f) { f.returns(name, values); };
}

// ---- Bematech and Sweda ----
inline const Lines kBematechStatus = {"Bematech_FI_RetornoImpressora(&0, &0, &0)"};
inline const Lines kSwedaStatus = {"ECF_RetornoImpressoraMFD(&0, &0, &0, &0)"};
// A vendor return of 0: the generic dialog, then the box of the code.
inline const Lines kBematechNoCommunication = {
    "BlockInput(FALSE)", "dialog: Comando não executado!\\r\\nFavor verificar a ECF!", "BlockInput(FALSE)",
    "box[Erro/16]: Erro de Comunicação !"};

// ---- Sigtron ----
inline const Lines kSigtronAnswer = {"DAR_Resposta(\"" + std::string(100, ' ') + "\", 99)"};
// The printer answers with `answer`, whose length becomes the answer count.
inline Script sigtron_answer(std::string answer) {
  return [answer](Fake &f) { f.writes("DAR_Resposta", 0, answer, static_cast<int32_t>(answer.size())); };
}

// ---- Daruma ----
inline const Lines kDarumaStatus = {"Daruma_FI_RetornoImpressora(&0, &0, &0)",
                                    "Daruma_FI_RetornaErroExtendido(\"    \")"};
inline Script daruma_error(std::string number) {
  return [number](Fake &f) { f.writes("Daruma_FI_RetornaErroExtendido", 0, number, 0); };
}

// ---- ecf32m ----
inline const Lines kEcf32mAnswer = {"ObtemRetorno(\"\vSem retorno\")"};
// The return text as the library writes it: a length byte, then the text.
inline Script ecf32m_answer(std::string text) {
  return [text](Fake &f) {
    f.writes("ObtemRetorno", 0, std::string(1, static_cast<char>(text.size())) + text, 0);
  };
}

// ---- Epson ----
inline const Lines kEpsonState = {"EPSON_Obter_Estado_Impressora(\"" + std::string(20, ' ') + "\")"};
// A state without any field, status or command error.
inline Script epson_clean() {
  return [](Fake &f) { f.writes("EPSON_Obter_Estado_Impressora", 0, "000000000000C0800000", 0); };
}
inline const Lines kEpsonNoCommunication = {"notice: Erro de comunicação. Verifique a Impressora!"};

// ---- Command driver ----
inline Lines usb_opening(const std::string &port = "COM1") {
  return {"DLLG2_IniciaDriver(\"" + port + "\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"};
}
inline Lines serial_opening(int32_t handle, bool timeout) {
  Lines lines = {"DLLG2_IniciaDriver(\"COM1\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"};
  if (timeout) lines.push_back("DLLG2_DefineTimeout(" + std::to_string(handle) + ", 10)");
  return lines;
}
// The command ran (answer) and the driver reports error code `code`.
inline Script driver(int32_t answer, int32_t code, int32_t handle = 0) {
  return [=](Fake &f) {
    f.returns("DLLG2_IniciaDriver", handle);
    f.returns("DLLG2_ExecutaComando", answer);
    f.returns("DLLG2_ObtemCodErro", code);
  };
}

}  // namespace kalpo::test::reports
