#include "analysis/analysis.h"

namespace kalpo::analysis {
void analisa_texto_ret_ecf32m(std::string_view) {}
}  // namespace kalpo::analysis
