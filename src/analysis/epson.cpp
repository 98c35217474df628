#include "analysis/analysis.h"
#include "frame/state.h"

namespace kalpo::analysis {
bool analisa_ret_epson(std::string_view) { return state().iRetornoEpson == 0; }
}  // namespace kalpo::analysis
