#include "analysis/analysis.h"

namespace kalpo::analysis {
bool retorna_impressora(Model) { return true; }
bool analisa_iretorno(Model model, int32_t code) { return code == 1 && retorna_impressora(model); }
}  // namespace kalpo::analysis
