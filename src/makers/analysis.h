// The makers' return analysis: each routine turns a maker's answer into a
// result and the operator's messages.  The routines keep the names they are
// known by (KALPO_Analisa_iRetorno, Analisa_RetEpson, Texto_ErroDllG2, ...);
// the session helpers that hand them a call's return are named
// <family>_judge (sessions.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/model.h"

namespace kalpo::makers {

// The makers speak the frame's vocabulary: models, argument kinds, answer
// buffers, operator messages, the module state and the configuration.
using namespace frame;

// Bematech and Sweda (exported as KALPO_Analisa_iRetorno and
// KALPO_retorna_impressora).
bool analisa_iretorno(Model model, int32_t code);
bool retorna_impressora(Model model);

// Sigtron (exported as KALPO_Analisa_RetSigtronFS345).  answer is the caller's
// buffer of at least 100 bytes; count receives the answer's length.
bool analisa_ret_sigtron_fs345(int32_t code, char *answer, int32_t length, int32_t *count);

// Epson: the state after the call named by function_name; reads iRetornoEpson.
bool analisa_ret_epson(std::string_view function_name);

// Daruma: the extended error after the last call.
bool analisa_ret_daruma();

// ecf32m: an integer code; the return text (polled); the text's minus code.
bool analisa_ret_ecf32m(int32_t code);
std::string obtem_ret_ecf32m();
void analisa_texto_ret_ecf32m(std::string_view text);

// Command driver: the text of an error code.  On a hit text is replaced and
// the result is true; on a miss text is left as it was.
bool texto_erro_dllg2(int32_t code, std::string &text);

// Reports a conversion of a printer answer that failed: one notice quoting
// the answer.
void report_unreadable_answer(std::string_view answer);

}  // namespace kalpo::makers
