#include "analysis/analysis.h"

namespace kalpo::analysis {
bool analisa_ret_daruma() { return true; }
}  // namespace kalpo::analysis
