#include <string>

#include "base/cp1252.h"
#include "frame/messages.h"
#include "makers/analysis.h"

namespace kalpo::makers {

void report_unreadable_answer(std::string_view answer) {
  msg::notice(std::string("Não foi possível ler a resposta da impressora: \""_cp) + std::string(answer) + "\"");
}

}  // namespace kalpo::makers
