// Scripts for the makers' status answers and the transcript lines that their
// return analysis adds, shared by the operation tests.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "kalpo.h"
#include "support/fake.h"

namespace kalpo::test {

using Lines = std::vector<std::string>;

// The transcripts given, one after the other.
inline Lines cat(std::initializer_list<Lines> parts) {
  Lines out;
  for (const Lines &p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// ---- Bematech and Sweda ----
inline const std::string kBematechStatus = "Bematech_FI_RetornoImpressora(&0, &0, &0)";
inline const std::string kSwedaStatus = "ECF_RetornoImpressoraMFD(&0, &0, &0, &0)";
// A vendor return of 0: the generic dialog, then the box of the code.
inline const Lines kIRetornoZero = {"BlockInput(FALSE)", "dialog: Comando não executado!\\r\\nFavor verificar a ECF!",
                                    "BlockInput(FALSE)", "box[Erro/16]: Erro de Comunicação !"};

// ---- Sigtron ----
inline const std::string kSigtronAnswer = "DAR_Resposta(\"" + std::string(100, ' ') + "\", 99)";
// The printer answers text (zero-terminated); the count is its length.
inline void sigtron_answers(Fake &fake, const std::string &text) {
  fake.writes("DAR_Resposta", 0, text, static_cast<int32_t>(text.size()));
}
inline const std::string kNotDone = "dialog: Comando não executado!";

// ---- Epson ----
inline const std::string kEpsonState = "EPSON_Obter_Estado_Impressora(\"" + std::string(20, ' ') + "\")";
inline const std::string kEpsonCommunication = "notice: Erro de comunicação. Verifique a Impressora!";
// A state without any problem: fiscal status C080, everything else zero.
inline void epson_clean(Fake &fake) {
  fake.writes("EPSON_Obter_Estado_Impressora", 0, "000000000000C0800000", 0);
}
inline Lines epson_opening() { return {"EPSON_Serial_Abrir_Porta(38400, 1)", kEpsonState}; }

// ---- Daruma ----
inline const Lines kDarumaAnalysis = {"Daruma_FI_RetornoImpressora(&0, &0, &0)",
                                      "Daruma_FI_RetornaErroExtendido(\"    \")"};
// The extended error the printer reports ("000" for none).
inline void daruma_error(Fake &fake, const std::string &code) {
  fake.writes("Daruma_FI_RetornaErroExtendido", 0, code, 0);
}

// ---- ecf32m ----
inline const std::string kEcf32mFetch = "ObtemRetorno(\"\x0b" "Sem retorno\")";
// The return text that ObtemRetorno delivers, length-prefixed.
inline void ecf32m_returns(Fake &fake, const std::string &text) {
  fake.writes("ObtemRetorno", 0, std::string(1, static_cast<char>(text.size())) + text, 0);
}

// ---- Command driver ----
inline Lines usb_opening(const std::string &port = "COM1") {
  return {"DLLG2_IniciaDriver(\"" + port + "\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"};
}
// Serial opening whose driver answers handle 3.
inline Lines serial_opening(bool timeout) {
  Lines l = {"DLLG2_IniciaDriver(\"COM1\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"};
  if (timeout) l.push_back("DLLG2_DefineTimeout(3, 10)");
  return l;
}

// ---- The caller's text control ----
struct TestControl {
  std::string text;  // Windows-1252
  int writes = 0;
  KALPO_TextControl control{this, &get, &set};

  explicit TestControl(std::string initial = {}) : text(std::move(initial)) {}
  TestControl(const TestControl &) = delete;
  TestControl &operator=(const TestControl &) = delete;

  static const char *KALPO_CALL get(void *self) { return static_cast<TestControl *>(self)->text.c_str(); }
  static void KALPO_CALL set(void *self, const char *t) {
    auto *c = static_cast<TestControl *>(self);
    c->text = t ? t : "";
    ++c->writes;
  }
};

}  // namespace kalpo::test
