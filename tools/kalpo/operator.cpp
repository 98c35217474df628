#include "operator.h"

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/cp1252.h"
#include "base/message_codes.h"
#include "host.h"
#include "kalpo.h"
#include "library.h"
#include "makers/message_code.h"

namespace kt {

using kalpo::base::cp1252::to_utf8;
namespace {

OperatorOptions g_options;
std::deque<std::int32_t> g_queued;
std::vector<Message> g_messages;

constexpr std::uint32_t kQuestion = 0x24;

// Line breaks of the message (CR LF, CR or LF) continue on an indented line.
std::string indented(const std::string &text, const char *indent) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += std::string("\n") + indent;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::int32_t queued() {
  const std::int32_t button = g_queued.front();
  g_queued.pop_front();
  return button;
}

std::int32_t confirmation(const Message &m) {
  if (!g_queued.empty()) return queued();
  if (g_options.answer == Answer::yes) return KALPO_BTN_YES;
  if (g_options.answer == Answer::no || !input_is_terminal()) return KALPO_BTN_NO;
  // The message's own language: s(im) or n(ão); y is taken too.
  for (;;) {
    std::cerr << "      " << indented(m.text, "      ") << " [s/n] " << std::flush;
    std::string reply;
    if (!std::getline(std::cin, reply)) return KALPO_BTN_NO;
    if (!reply.empty() && reply.back() == '\r') reply.pop_back();
    if (reply == "s" || reply == "S" || reply == "y" || reply == "Y") return KALPO_BTN_YES;
    if (reply == "n" || reply == "N") return KALPO_BTN_NO;
  }
}

std::int32_t KALPO_CALL screen(void *, std::int32_t form, const char *text, const char *caption, std::uint32_t flags) {
  Message m;
  m.form = form;
  m.text = to_utf8(text ? text : "");
  if (caption) m.caption = to_utf8(caption);
  m.flags = flags;
  m.button = g_options.replay && !g_queued.empty() ? queued() : flags == kQuestion ? confirmation(m) : KALPO_BTN_OK;
  if (g_options.echo) std::cout << "    " << message_line(m) << '\n' << std::flush;
  g_messages.push_back(m);
  return m.button;
}

const char *form_name(std::int32_t form) {
  return form == KALPO_MSG_NOTICE ? "notice" : form == KALPO_MSG_DIALOG ? "dialog" : "box";
}

const char *icon_name(std::uint32_t flags) {
  return flags == kQuestion ? "question" : flags == 0x10 ? "stop" : flags == 0x40 ? "information" : nullptr;
}

const char *button_name(std::int32_t button) {
  return button == KALPO_BTN_YES ? "Yes" : button == KALPO_BTN_NO ? "No" : "OK";
}

}  // namespace

void install_operator(const OperatorOptions &options) {
  g_options = options;
  // Registered when a command first loads libkalpo, not before.
  when_library_loaded([] {
    library_export<decltype(&KALPO_DefineTratadorMensagens)>("KALPO_DefineTratadorMensagens")(screen, nullptr);
  });
}

void queue_answers(const std::vector<std::int32_t> &buttons) { g_queued.assign(buttons.begin(), buttons.end()); }

std::vector<Message> take_messages() { return std::exchange(g_messages, {}); }

std::string message_line(const Message &m) {
  std::string out = std::string("[") + form_name(m.form);
  if (m.caption) out += " \"" + *m.caption + "\"";
  if (const char *icon = icon_name(m.flags)) out += std::string(", ") + icon;
  out += "] " + indented(m.text, "        ");
  if (m.flags == kQuestion) out += std::string("  -> ") + button_name(m.button);
  return out;
}

nlohmann::json message_json(const Message &m) {
  return {{"form", form_name(m.form)},
          {"caption", m.caption ? nlohmann::json(*m.caption) : nlohmann::json()},
          {"text", m.text},
          {"code", kalpo::base::code_name(kalpo::makers::message_code(kalpo::base::cp1252::from_utf8(m.text)))},
          {"flags", m.flags},
          {"button", button_name(m.button)}};
}

}  // namespace kt
