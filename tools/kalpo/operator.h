// The operator's screen: every message KALPO shows, as on the workstation
// (form, caption and text, converted for the terminal), and the answer to a
// confirmation: asked y/n on a terminal, --yes/--no in scripts, otherwise No.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace kt {

enum class Answer { ask, yes, no };

struct Message {
  std::int32_t form = 0;
  std::optional<std::string> caption;  // UTF-8
  std::string text;                    // UTF-8
  std::uint32_t flags = 0;
  std::int32_t button = 0;
};

struct OperatorOptions {
  Answer answer = Answer::ask;
  bool echo = true;     // print each message as it comes (plain-text output)
  bool replay = false;  // every message, not only a confirmation, takes the next queued button
};

// Registers the tool's handler with KALPO.
void install_operator(const OperatorOptions &options);
// Answers for the next confirmations (in a replay, the next messages), before
// the policy: the recorded buttons of a trace.
void queue_answers(const std::vector<std::int32_t> &buttons);
// The messages shown since the last take.
std::vector<Message> take_messages();

std::string message_line(const Message &m);
nlohmann::json message_json(const Message &m);

}  // namespace kt
