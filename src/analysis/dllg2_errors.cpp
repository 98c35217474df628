#include "analysis/analysis.h"

namespace kalpo::analysis {
bool texto_erro_dllg2(int32_t, std::string &) { return false; }
}  // namespace kalpo::analysis
