#include "analysis/analysis.h"

namespace kalpo::analysis {
bool analisa_ret_ecf32m(int32_t code) { return code == 0; }
std::string obtem_ret_ecf32m() { return "Sem retorno"; }
}  // namespace kalpo::analysis
