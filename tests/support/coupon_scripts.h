// Scripted printers and transcript pieces shared by the coupon-cycle tests.
//
// The transcripts compared there are the operation's own: its maker calls and
// every operator message.  The status and answer calls that the makers'
// return analyses make for themselves are left out; the analyses' tests check
// those.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "support/fake.h"

namespace kalpo::test::coupon {

using Lines = std::vector<std::string>;

inline Lines operation_lines(const Fake &fake) {
  static const char *const kAnalysisCalls[] = {
      "Bematech_FI_RetornoImpressora(", "ECF_RetornoImpressoraMFD(", "DAR_Erro(",
      "DAR_Resposta(",                  "Daruma_FI_RetornoImpressora(", "Daruma_FI_RetornaErroExtendido(",
      "EPSON_Obter_Estado_Impressora(", "ObtemRetorno("};
  Lines out;
  for (const std::string &line : fake.lines) {
    bool analysis = std::any_of(std::begin(kAnalysisCalls), std::end(kAnalysisCalls),
                                [&](const char *prefix) { return line.rfind(prefix, 0) == 0; });
    if (!analysis) out.push_back(line);
  }
  return out;
}

inline Lines join(std::initializer_list<Lines> parts) {
  Lines out;
  for (const Lines &part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// ---- printers that answer as scripted ----

// Sigtron: the printer's answer and its length.
inline void sigtron_answers(Fake &fake, std::string answer, int32_t count) {
  fake.on("DAR_Resposta", [answer, count](Call &c) {
    c.write(0, answer);
    c.result = count;
  });
}

// Daruma: the extended error after each call, in turn (the last repeats).
inline void daruma_errors(Fake &fake, std::vector<std::string> errors) {
  fake.on("Daruma_FI_RetornaErroExtendido", [errors](Call &c) {
    c.write(0, errors.at(std::min<std::size_t>(static_cast<std::size_t>(c.calls), errors.size() - 1)));
  });
}

// Epson: a clean printer state (no field error, port open, fiscal day open).
inline void epson_clean_state(Fake &fake) { fake.writes("EPSON_Obter_Estado_Impressora", 0, "000000000000C0800000", 0); }

// ecf32m: the return texts of the successive fetches (the last repeats).
inline void digiarte_returns(Fake &fake, std::vector<std::string> texts) {
  fake.on("ObtemRetorno", [texts](Call &c) {
    const std::string &text = texts.at(std::min<std::size_t>(static_cast<std::size_t>(c.calls), texts.size() - 1));
    c.write(0, std::string(1, static_cast<char>(text.size())) + text, false);
    c.result = 0;
  });
}

// Command driver: answers of the commands and their error codes, in turn.
inline void driver_answers(Fake &fake, int32_t handle, std::vector<int32_t> answers, std::vector<int32_t> codes) {
  fake.returns("DLLG2_IniciaDriver", handle);
  fake.returns("DLLG2_ExecutaComando", std::move(answers));
  fake.returns("DLLG2_ObtemCodErro", std::move(codes));
}

// ---- transcript pieces ----

inline const Lines kSigtronOpen = {"DAR_AbreSerial(\"COM1:9600,n,8,1\")"};
inline const Lines kUsbOpen = {"DLLG2_IniciaDriver(\"COM1\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")"};
// The serial driver instance answers with handle 3.
inline const Lines kSerialOpen = {"DLLG2_IniciaDriver(\"COM1\")", "DLLG2_SetaArquivoLog(\"dllg2.log\")",
                                  "DLLG2_DefineTimeout(3, 10)"};
inline const Lines kEpsonOpen = {"EPSON_Serial_Abrir_Porta(38400, 1)"};
inline const Lines kEpsonClose = {"EPSON_Serial_Fechar_Porta()"};

inline const std::string kNotExecuted = "dialog: Comando não executado!";
inline const Lines kBematechRefusal = {"BlockInput(FALSE)", "dialog: Comando não executado!\\r\\nFavor verificar a ECF!",
                                       "BlockInput(FALSE)", "box[Erro/16]: Erro de Comunicação !"};
inline const Lines kDarumaNoPaper = {"BlockInput(FALSE)", "notice: Erro na ECF nº :50\\r\\nSem papel"};
inline const std::string kEpsonCommunication = "notice: Erro de comunicação. Verifique a Impressora!";
inline const std::string kDigiarteNotOpen = "notice: (-22) Necessário abrir cupom fiscal";
inline const std::string kDigiarteTimeOut = "notice: Time out na execução do comando do ECF!";

}  // namespace kalpo::test::coupon
