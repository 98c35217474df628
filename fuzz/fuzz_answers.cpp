// Fuzzes each maker's answer analysis with arbitrary answers through the
// seam: Bematech and Sweda status bytes and return codes, Sigtron answer
// texts and counts, Epson state texts, Daruma extended errors, ecf32m return
// texts and codes, command-driver codes and read-backs.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "frame/state.h"
#include "kalpo.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam.h"

using namespace kalpo;
using namespace kalpo::frame;

namespace {

int32_t KALPO_CALL any_button(void *, int32_t, const char *text, const char *, uint32_t) {
  if (!text) fuzz::violated("a message without text");
  return static_cast<int32_t>(std::strlen(text) % 2 ? KALPO_BTN_YES : KALPO_BTN_NO);
}

void analyse(FuzzedDataProvider &data) {
  const int32_t code = data.ConsumeIntegral<int32_t>();
  switch (data.ConsumeIntegralInRange<int>(0, 9)) {
    case 0: makers::analisa_iretorno(data.ConsumeBool() ? Model::BematechMP20 : Model::Sweda7000, code); break;
    case 1: makers::retorna_impressora(data.ConsumeBool() ? Model::BematechMFD : Model::Sweda7000); break;
    case 2: {
      // The caller's buffer: exactly the 100 bytes promised, unterminated.
      char answer[100];
      std::memset(answer, 'x', sizeof answer);
      int32_t count = 0;
      makers::analisa_ret_sigtron_fs345(code, answer, data.ConsumeIntegral<int32_t>(), &count);
      break;
    }
    case 3: {
      int32_t count = 0;
      makers::sigtron_judge_executed(code, data.ConsumeBool() ? &count : nullptr);
      break;
    }
    case 4: makers::epson_judge("EPSON_Fiscal_Vender_Item", code); break;
    case 5: makers::daruma_judge(code); break;
    case 6: makers::analisa_ret_ecf32m(code); break;
    case 7: makers::digiarte_judge_answer(); break;
    case 8: {
      std::string text;
      makers::texto_erro_dllg2(code, text);
      makers::dllg2::judge_showing_code_number(1, code);
      makers::dllg2::judge_showing_negative_answer(1, code);
      makers::dllg2::judge_showing_code_text(1, code);
      break;
    }
    default: {
      makers::dllg2::clear_read_back();
      const std::string &back = makers::dllg2::read_back(1, "ValorTexto");
      if (back.size() > 50 || back.find('\0') != std::string::npos) fuzz::violated("a read-back past 50 characters");
      makers::dllg2::read_text_register(1, "Identificacao");
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  fuzz::answer_from(data);
  reset_state();
  KALPO_DefineTratadorMensagens(&any_button, nullptr);
  while (data.remaining_bytes() > 0) analyse(data);
  return 0;
}
