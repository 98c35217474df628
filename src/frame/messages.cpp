#include "frame/messages.h"

#include <string>

#include "frame/state.h"
#include "kalpo.h"
#include "platform/platform.h"

namespace kalpo::frame::msg {
namespace {

Listener listener = nullptr;

int32_t show(int32_t form, std::string_view text, const char *caption, uint32_t flags) {
  const ModuleState &s = state();
  int32_t button = 0;
  if (s.handler) {
    std::string copy(text);
    button = s.handler(s.handler_context, form, copy.c_str(), caption, flags);
  } else {
    button = platform::get().show_message(form, text, caption, flags);
  }
  if (listener) listener(form, text, caption, flags, button);
  return button;
}

}  // namespace

void notice(std::string_view text) { show(KALPO_MSG_NOTICE, text, nullptr, 0); }

void info(std::string_view text) { show(KALPO_MSG_DIALOG, text, nullptr, kInformation); }

bool confirm(std::string_view text) { return show(KALPO_MSG_DIALOG, text, nullptr, kQuestionYesNo) == KALPO_BTN_YES; }

void box(std::string_view text, std::string_view caption, uint32_t flags) {
  std::string c(caption);
  show(KALPO_MSG_BOX, text, c.c_str(), flags);
}

void release_input() { platform::get().release_input_block(); }

void listen(Listener l) { listener = l; }

}  // namespace kalpo::frame::msg
