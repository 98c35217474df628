// DIGIARTE1E (ecf32m): OpenCif, a command judged by the return text the
// printer sends after it, CloseCif.
#include "makers/sessions.h"

#include <string>

#include "makers/analysis.h"
#include "seam/seam.h"

namespace kalpo::makers {

bool digiarte_open() { return analisa_ret_ecf32m(seam::api().OpenCif()); }

void digiarte_close() { seam::api().CloseCif(); }

bool digiarte_judge_answer(std::string &text) {
  text = obtem_ret_ecf32m();
  if (text.find("COMANDO OK") != std::string::npos) return true;
  analisa_texto_ret_ecf32m(text);
  return false;
}

bool digiarte_judge_answer() {
  std::string text;
  return digiarte_judge_answer(text);
}

}  // namespace kalpo::makers
