#include <string>

#include "base/cp1252.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "makers/analysis.h"

namespace kalpo::makers {

void report_unreadable_answer(std::string_view answer) {
  msg::notice(std::string(own::kUnreadableAnswer.text) + std::string(answer) + "\"");
}

}  // namespace kalpo::makers
